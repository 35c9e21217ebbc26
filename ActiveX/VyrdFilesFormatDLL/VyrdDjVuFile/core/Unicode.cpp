#include "Unicode.h"

#include <cstdint>

namespace vyrd {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Walks UTF-8 text and hands each decoded code point to `emit`: the one
// decoding loop behind both the conversion and the length count, so the two
// always agree on where replacement characters go.
template <class Emit>
void DecodeUtf8(std::string_view text, Emit emit) {
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const uint8_t lead = static_cast<uint8_t>(text[i]);
        if (lead < 0x80) {
            emit(char32_t{lead});
            ++i;
            continue;
        }
        // The lead byte fixes how many continuation bytes follow and, to rule
        // out overlong forms, surrogates and values above U+10FFFF, the range
        // the first of them must fall in. Later continuation bytes are 80..BF.
        int need = 0;
        uint8_t lo = 0x80;
        uint8_t hi = 0xBF;
        char32_t cp = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            need = 1;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            need = 2;
            cp = lead & 0x0F;
            if (lead == 0xE0) {
                lo = 0xA0;
            } else if (lead == 0xED) {
                hi = 0x9F;
            }
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            need = 3;
            cp = lead & 0x07;
            if (lead == 0xF0) {
                lo = 0x90;
            } else if (lead == 0xF4) {
                hi = 0x8F;
            }
        } else {
            emit(kReplacement);
            ++i;
            continue;
        }
        ++i;
        bool ok = true;
        for (int k = 0; k < need; ++k) {
            const uint8_t b = i < n ? static_cast<uint8_t>(text[i]) : 0;
            if (i >= n || b < lo || b > hi) {
                // The bytes read so far form one ill-formed subsequence; the
                // offending byte starts the next one.
                ok = false;
                break;
            }
            cp = (cp << 6) | (b & 0x3F);
            ++i;
            lo = 0x80;
            hi = 0xBF;
        }
        emit(ok ? cp : kReplacement);
    }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    DecodeUtf8(text, [&](char32_t cp) { AppendUtf16(out, cp); });
    return out;
}

std::size_t Utf16Length(std::string_view text) {
    std::size_t units = 0;
    DecodeUtf8(text, [&](char32_t cp) { units += cp < 0x10000 ? 1 : 2; });
    return units;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

}  // namespace vyrd
