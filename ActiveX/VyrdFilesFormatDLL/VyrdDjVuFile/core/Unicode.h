#pragma once
// Conversions between UTF-8 and UTF-16, the same on every platform.

#include <cstddef>
#include <string>
#include <string_view>

namespace vyrd {

// Decodes UTF-8. Each maximal ill-formed subsequence (a stray continuation
// byte, a truncated sequence, an overlong form, a surrogate or a value above
// U+10FFFF) becomes one U+FFFD. Code points above U+FFFF become surrogate pairs.
std::u16string Utf8ToUtf16(std::string_view text);

// The length of Utf8ToUtf16(text) in UTF-16 code units, without building it.
std::size_t Utf16Length(std::string_view text);

// Encodes UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace vyrd
