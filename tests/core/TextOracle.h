#pragma once
// Reads the zone tree that `djvused -e 'select N; print-txt'` prints, and
// turns it into the rectangles the reader holds, so that tests compare our
// zones with DjVuLibre's. Plain C++: the Windows tests use it on files that
// the build wrote natively.
//
// print-txt writes one S-expression: (TYPE XMIN YMIN XMAX YMAX CHILD...) or,
// for a zone without children, (TYPE XMIN YMIN XMAX YMAX "TEXT"), in the
// layer's own bottom-up coordinates with exclusive maxima.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace textoracle {

struct OracleZone {
    int type = 0;  // 1 page ... 7 char; 0 for a name we do not know
    int xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    bool leaf = false;
    std::string text;  // leaves only, escapes resolved
    std::vector<OracleZone> children;
};

// One zone as the reader lists it: depth, type and the inclusive rectangle.
struct FlatZone {
    int depth = 0;
    int type = 0;
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    std::string text;  // leaves only

    friend bool operator==(const FlatZone& a, const FlatZone& b) {
        return a.depth == b.depth && a.type == b.type && a.left == b.left && a.top == b.top &&
               a.right == b.right && a.bottom == b.bottom;
    }
};

inline int ZoneTypeNumber(std::string_view name) {
    constexpr std::string_view kNames[] = {"page", "column", "region", "para",
                                           "line", "word",   "char"};
    for (int i = 0; i < 7; ++i) {
        if (name == kNames[i]) {
            return i + 1;
        }
    }
    return 0;
}

class PrintTxtParser {
public:
    explicit PrintTxtParser(std::string_view text) : s_(text) {}

    // The root zone, or nothing when the text is empty or malformed.
    std::optional<OracleZone> Parse() {
        SkipSpace();
        if (pos_ >= s_.size()) {
            return std::nullopt;
        }
        OracleZone root;
        if (!Zone(root)) {
            return std::nullopt;
        }
        return root;
    }

private:
    void SkipSpace() {
        while (pos_ < s_.size() &&
               (s_[pos_] == ' ' || s_[pos_] == '\n' || s_[pos_] == '\t' || s_[pos_] == '\r')) {
            ++pos_;
        }
    }
    bool Atom(std::string& out) {
        SkipSpace();
        const std::size_t start = pos_;
        while (pos_ < s_.size() && s_[pos_] != ' ' && s_[pos_] != '\n' && s_[pos_] != ')' &&
               s_[pos_] != '(' && s_[pos_] != '"') {
            ++pos_;
        }
        out.assign(s_.substr(start, pos_ - start));
        return !out.empty();
    }
    bool Number(int& out) {
        std::string atom;
        if (!Atom(atom)) {
            return false;
        }
        try {
            out = std::stoi(atom);
        } catch (...) {
            return false;
        }
        return true;
    }
    bool String(std::string& out) {
        ++pos_;  // opening quote
        while (pos_ < s_.size() && s_[pos_] != '"') {
            char c = s_[pos_++];
            if (c == '\\' && pos_ < s_.size()) {
                c = s_[pos_++];
                if (c >= '0' && c <= '7') {
                    int value = c - '0';
                    for (int k = 0; k < 2 && pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '7';
                         ++k) {
                        value = value * 8 + (s_[pos_++] - '0');
                    }
                    c = static_cast<char>(value);
                } else if (c == 'n') {
                    c = '\n';
                } else if (c == 't') {
                    c = '\t';
                } else if (c == 'r') {
                    c = '\r';
                } else if (c == 'f') {
                    c = '\f';
                } else if (c == 'v') {
                    c = '\v';
                } else if (c == 'b') {
                    c = '\b';
                } else if (c == 'a') {
                    c = '\a';
                }
            }
            out.push_back(c);
        }
        if (pos_ >= s_.size()) {
            return false;
        }
        ++pos_;  // closing quote
        return true;
    }
    bool Zone(OracleZone& zone) {
        SkipSpace();
        if (pos_ >= s_.size() || s_[pos_] != '(') {
            return false;
        }
        ++pos_;
        std::string name;
        if (!Atom(name) || !Number(zone.xmin) || !Number(zone.ymin) || !Number(zone.xmax) ||
            !Number(zone.ymax)) {
            return false;
        }
        zone.type = ZoneTypeNumber(name);
        for (;;) {
            SkipSpace();
            if (pos_ >= s_.size()) {
                return false;
            }
            if (s_[pos_] == ')') {
                ++pos_;
                return true;
            }
            if (s_[pos_] == '"') {
                zone.leaf = true;
                if (!String(zone.text)) {
                    return false;
                }
                continue;
            }
            zone.children.emplace_back();
            if (!Zone(zone.children.back())) {
                return false;
            }
        }
    }

    std::string_view s_;
    std::size_t pos_ = 0;
};

// The zones depth-first, as the reader holds them: top-down (y from the top of
// a page `pageHeight` high) or left in the layer's bottom-up system, right
// and bottom inclusive. A leaf with empty text that repeats its previous
// sibling's type and box is left out, as the reader drops such duplicates.
inline void Flatten(const OracleZone& zone, int depth, int pageHeight, bool topDown,
                    std::vector<FlatZone>& out) {
    FlatZone flat;
    flat.depth = depth;
    flat.type = zone.type;
    flat.left = zone.xmin;
    flat.right = zone.xmax - 1;
    flat.top = topDown ? pageHeight - zone.ymax : zone.ymin;
    flat.bottom = topDown ? pageHeight - zone.ymin - 1 : zone.ymax - 1;
    flat.text = zone.text;
    out.push_back(flat);
    const OracleZone* previous = nullptr;
    for (const OracleZone& child : zone.children) {
        const bool duplicate = previous && child.leaf && previous->leaf && child.text.empty() &&
                               previous->text.empty() && child.type == previous->type &&
                               child.xmin == previous->xmin && child.ymin == previous->ymin &&
                               child.xmax == previous->xmax && child.ymax == previous->ymax;
        if (!duplicate) {
            Flatten(child, depth + 1, pageHeight, topDown, out);
            previous = &child;
        }
    }
}

inline std::vector<FlatZone> Flatten(const OracleZone& root, int pageHeight, bool topDown) {
    std::vector<FlatZone> out;
    Flatten(root, 0, pageHeight, topDown, out);
    return out;
}

}  // namespace textoracle
