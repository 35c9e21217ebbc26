#include "MapArea.h"

#include "Unicode.h"

#include <limits>

namespace vyrd {

namespace {

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == u'\v';
}

// The position just after the string that starts with the quote at `open`, or
// npos when the string is not closed. A backslash escapes the next character,
// so an escaped quote does not end the string.
std::size_t SkipString(std::u16string_view text, std::size_t open) {
    for (std::size_t i = open + 1; i < text.size(); ++i) {
        if (text[i] == u'\\') {
            ++i;
        } else if (text[i] == u'"') {
            return i + 1;
        }
    }
    return std::u16string_view::npos;
}

void AppendUtf8(std::string& out, char16_t c) {
    out += Utf16ToUtf8(std::u16string_view(&c, 1));
}

// Reads one expression from the front to the back, giving up at the first
// thing that does not fit.
class Cursor {
public:
    explicit Cursor(std::u16string_view text) : text_(text) {}

    void SkipSpace() {
        while (pos_ < text_.size() && IsSpace(text_[pos_])) {
            ++pos_;
        }
    }

    bool Consume(char16_t c) {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    bool Peek(char16_t c) const { return pos_ < text_.size() && text_[pos_] == c; }

    // A symbol that ends at white space, a parenthesis, a quote or the end.
    bool ConsumeSymbol(std::u16string_view symbol) {
        if (text_.substr(pos_, symbol.size()) != symbol) {
            return false;
        }
        const std::size_t end = pos_ + symbol.size();
        if (end < text_.size() && !IsDelimiter(text_[end])) {
            return false;
        }
        pos_ = end;
        return true;
    }

    // A run of characters up to the next delimiter; empty when there is none.
    std::u16string_view Atom() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !IsDelimiter(text_[pos_])) {
            ++pos_;
        }
        return text_.substr(start, pos_ - start);
    }

    // A double-quoted string with its escapes resolved. Octal escapes stand
    // for bytes of UTF-8, so the text is collected as UTF-8 and converted once.
    bool String(std::u16string& out) {
        if (!Peek(u'"')) {
            return false;
        }
        const std::size_t end = SkipString(text_, pos_);
        if (end == std::u16string_view::npos) {
            return false;
        }
        std::string bytes;
        for (std::size_t i = pos_ + 1; i + 1 < end; ++i) {
            const char16_t c = text_[i];
            if (c != u'\\') {
                AppendUtf8(bytes, c);
                continue;
            }
            const char16_t e = text_[++i];
            if (e >= u'0' && e <= u'7') {
                unsigned value = 0;
                std::size_t digits = 0;
                while (digits < 3 && i + 1 < end && text_[i] >= u'0' && text_[i] <= u'7') {
                    value = value * 8 + (text_[i] - u'0');
                    ++i;
                    ++digits;
                }
                --i;
                bytes.push_back(static_cast<char>(value & 0xFF));
            } else {
                AppendUtf8(bytes, e == u'n' ? u'\n' : e == u't' ? u'\t' : e == u'r' ? u'\r' : e);
            }
        }
        out = Utf8ToUtf16(bytes);
        pos_ = end;
        return true;
    }

private:
    static bool IsDelimiter(char16_t c) {
        return IsSpace(c) || c == u'(' || c == u')' || c == u'"';
    }

    std::u16string_view text_;
    std::size_t pos_ = 0;
};

// Like atoi: optional sign, then the leading digits; 0 without digits.
// Saturates instead of overflowing.
int32_t AtoiSaturating(std::u16string_view atom) {
    std::size_t i = 0;
    bool negative = false;
    if (i < atom.size() && (atom[i] == u'+' || atom[i] == u'-')) {
        negative = atom[i] == u'-';
        ++i;
    }
    constexpr long long kLimit = std::numeric_limits<int32_t>::max();
    long long value = 0;
    for (; i < atom.size() && atom[i] >= u'0' && atom[i] <= u'9'; ++i) {
        value = value * 10 + (atom[i] - u'0');
        if (value > kLimit + 1) {
            value = kLimit + 1;
        }
    }
    if (negative) {
        return static_cast<int32_t>(-value);
    }
    return static_cast<int32_t>(value > kLimit ? kLimit : value);
}

// The URL of a map area: a string, or (url "href" "target") whose target
// window is of no use to a viewer that shows one document per tab.
bool ReadUrl(Cursor& cursor, std::u16string& url) {
    if (cursor.String(url)) {
        return true;
    }
    if (!cursor.Consume(u'(')) {
        return false;
    }
    cursor.SkipSpace();
    if (!cursor.ConsumeSymbol(u"url")) {
        return false;
    }
    cursor.SkipSpace();
    if (!cursor.String(url)) {
        return false;
    }
    cursor.SkipSpace();
    std::u16string target;
    cursor.String(target);
    cursor.SkipSpace();
    return cursor.Consume(u')');
}

}  // namespace

std::vector<std::u16string_view> SplitTopLevelExpressions(std::u16string_view text) {
    std::vector<std::u16string_view> expressions;
    std::size_t i = 0;
    while (i < text.size()) {
        // Find the next opening parenthesis outside strings.
        if (text[i] == u'"') {
            i = SkipString(text, i);
            if (i == std::u16string_view::npos) {
                break;
            }
            continue;
        }
        if (text[i] != u'(') {
            ++i;
            continue;
        }
        const std::size_t open = i;
        std::size_t depth = 0;
        bool closed = false;
        while (i < text.size()) {
            const char16_t c = text[i];
            if (c == u'"') {
                i = SkipString(text, i);
                if (i == std::u16string_view::npos) {
                    return expressions;
                }
                continue;
            }
            ++i;
            if (c == u'(') {
                ++depth;
            } else if (c == u')' && --depth == 0) {
                closed = true;
                break;
            }
        }
        if (!closed) {
            break;
        }
        expressions.push_back(text.substr(open + 1, i - open - 2));
    }
    return expressions;
}

std::optional<CMapAreaRect> ParseMapAreaRect(std::u16string_view expression) {
    Cursor cursor(expression);
    CMapAreaRect area;
    cursor.SkipSpace();
    if (!cursor.ConsumeSymbol(u"maparea")) {
        return std::nullopt;
    }
    cursor.SkipSpace();
    if (!ReadUrl(cursor, area.url)) {
        return std::nullopt;
    }
    // The comment is required by the syntax; a viewer has no use for it.
    cursor.SkipSpace();
    std::u16string comment;
    if (!cursor.String(comment)) {
        return std::nullopt;
    }
    cursor.SkipSpace();
    if (!cursor.Consume(u'(')) {
        return std::nullopt;
    }
    cursor.SkipSpace();
    if (!cursor.ConsumeSymbol(u"rect")) {
        return std::nullopt;
    }
    int32_t* const numbers[] = {&area.x, &area.y, &area.w, &area.h};
    for (int32_t* number : numbers) {
        cursor.SkipSpace();
        const std::u16string_view atom = cursor.Atom();
        if (atom.empty()) {
            return std::nullopt;
        }
        *number = AtoiSaturating(atom);
    }
    // Options after the shape (border, highlight, xor...) do not matter here.
    return area;
}

}  // namespace vyrd
