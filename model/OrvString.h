#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace Orv {

// The model's counted string of single-byte (Windows-1252) characters.
// It never holds a NUL character, and its length fits in 16 bits: at most
// 65534 characters, so that the text and its terminating NUL can be counted
// in a u16 wherever it is stored.
class CString {
public:
    static constexpr size_t kMaxLength = 65534;

    CString() = default;
    CString(std::string_view s) { Assign(s); }

    // Inserts s (up to its first NUL) before position pos (clamped to the
    // length). Answers false and changes nothing when the result would be
    // longer than kMaxLength.
    bool Insert(size_t pos, std::string_view s);
    // Replaces the text with s (up to its first NUL); false when s is too long.
    bool Assign(std::string_view s);
    void Clear() { text_.clear(); }

    uint16_t Length() const { return static_cast<uint16_t>(text_.size()); }
    bool IsEmpty() const { return text_.empty(); }
    const char* c_str() const { return text_.c_str(); }
    std::string_view View() const { return text_; }
    const std::string& Str() const { return text_; }

    bool operator==(const CString& other) const = default;
    bool operator==(std::string_view other) const { return text_ == other; }

private:
    std::string text_;
};

}  // namespace Orv
