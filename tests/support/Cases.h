#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>

namespace thorn::test {

// A test name made of a case's description: its words capitalised and joined.
inline std::string CaseName(std::string_view what) {
    std::string name;
    bool start = true;
    for (char c : what) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            start = true;
            continue;
        }
        name += start ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
        start = false;
    }
    return name;
}

// Names the instances of a value-parameterised test by the cases' `what`.
struct ByWhat {
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
        return CaseName(info.param.what);
    }
};

}  // namespace thorn::test
