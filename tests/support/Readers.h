#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <exception>
#include <span>
#include <string>
#include <vector>

// Checks shared by the tests of everything that reads files and streams.
namespace thorn::test {

// The message of the Error read() throws, or "(no error)"; an exception of
// another kind goes on to fail the test.
template <typename Error = std::exception, typename Read>
std::string MessageOf(Read&& read) {
    try {
        read();
    } catch (const Error& error) {
        return error.what();
    }
    return "(no error)";
}

// Hands every proper prefix of the bytes to refused(prefix), which answers
// whether the reader refused it cleanly; names the first length it did not.
template <typename Refused>
void ExpectEveryCutRefused(std::span<const uint8_t> bytes, Refused&& refused) {
    for (size_t n = 0; n < bytes.size(); ++n) {
        const std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
        if (!refused(std::span<const uint8_t>(prefix))) {
            ADD_FAILURE() << "the first " << n << " of " << bytes.size() << " bytes were not refused";
            return;
        }
    }
}

}  // namespace thorn::test
