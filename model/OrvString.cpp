#include "model/OrvString.h"

#include <algorithm>

namespace Orv {
namespace {

std::string_view UpToNul(std::string_view s) {
    return s.substr(0, std::min(s.size(), s.find('\0')));
}

}  // namespace

bool CString::Insert(size_t pos, std::string_view s) {
    s = UpToNul(s);
    if (s.empty()) return true;
    if (text_.size() + s.size() > kMaxLength) return false;
    text_.insert(std::min(pos, text_.size()), s);
    return true;
}

bool CString::Assign(std::string_view s) {
    s = UpToNul(s);
    if (s.size() > kMaxLength) return false;
    text_.assign(s.data(), s.size());  // safe when s points into text_
    return true;
}

}  // namespace Orv
