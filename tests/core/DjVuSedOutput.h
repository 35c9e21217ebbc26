#pragma once
// Reads what DjVuLibre's djvused prints (print-merged-ant, print-outline, ls,
// size) and works out from it, independently of the reader, which links and
// bookmarks the reader should report. Plain standard C++: the Windows tests
// read the same listings from files written at build time.
//
// The files come from tests/fixtures/make-link-fixtures.sh: for a document
// NAME.djvu, NAME.ls, NAME.size, NAME.pN.ant (1-based N) and NAME.outline.

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace djvused {

// One element of the printed expressions: a symbol or number, a string, or a
// list.
struct Node {
    enum Kind { kAtom, kString, kList } kind = kAtom;
    std::string text;  // atoms and strings (UTF-8, escapes resolved)
    std::vector<Node> items;

    bool IsList(const char* head) const {
        return kind == kList && !items.empty() && items[0].kind == kAtom && items[0].text == head;
    }
};

class Reader {
public:
    explicit Reader(std::string text) : s_(std::move(text)) {}

    // Every top-level list of the text.
    std::vector<Node> All() {
        std::vector<Node> nodes;
        for (;;) {
            Skip();
            if (i_ >= s_.size()) {
                return nodes;
            }
            nodes.push_back(Read());
        }
    }

private:
    void Skip() {
        while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) {
            ++i_;
        }
    }
    Node Read() {
        Node n;
        if (s_[i_] == '(') {
            n.kind = Node::kList;
            ++i_;
            for (;;) {
                Skip();
                if (i_ >= s_.size()) {
                    return n;
                }
                if (s_[i_] == ')') {
                    ++i_;
                    return n;
                }
                n.items.push_back(Read());
            }
        }
        if (s_[i_] == '"') {
            n.kind = Node::kString;
            for (++i_; i_ < s_.size() && s_[i_] != '"'; ++i_) {
                if (s_[i_] == '\\' && i_ + 1 < s_.size()) {
                    ++i_;
                    if (s_[i_] >= '0' && s_[i_] <= '7') {
                        int value = 0;
                        for (int k = 0; k < 3 && s_[i_] >= '0' && s_[i_] <= '7'; ++k, ++i_) {
                            value = value * 8 + (s_[i_] - '0');
                        }
                        --i_;
                        n.text.push_back(static_cast<char>(value));
                        continue;
                    }
                }
                n.text.push_back(s_[i_]);
            }
            ++i_;
            return n;
        }
        while (i_ < s_.size() && !std::isspace(static_cast<unsigned char>(s_[i_])) &&
               s_[i_] != '(' && s_[i_] != ')') {
            n.text.push_back(s_[i_++]);
        }
        return n;
    }

    std::string s_;
    std::size_t i_ = 0;
};

inline std::optional<std::string> ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The page component identifiers in page order, from `ls`: page lines read
// "NUMBER P SIZE ID".
inline std::vector<std::string> PageIds(const std::string& ls) {
    std::vector<std::string> ids;
    std::istringstream lines(ls);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string number, kind, size, id;
        if (words >> number >> kind >> size >> id && kind == "P") {
            ids.push_back(id);
        }
    }
    return ids;
}

// Page heights from `size`: lines "width=W height=H [rotation=R]".
inline std::vector<int> PageHeights(const std::string& size) {
    std::vector<int> heights;
    std::istringstream lines(size);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t at = line.find("height=");
        if (at != std::string::npos) {
            heights.push_back(std::atoi(line.c_str() + at + 7));
        }
    }
    return heights;
}

// The page a URL leads to: "#N" with 1 <= N <= the page count is page N - 1,
// "#ID" the position of a page component with that identifier; anything else
// leads nowhere (-1).
inline int Destination(const std::string& url, const std::vector<std::string>& ids) {
    if (url.size() < 2 || url[0] != '#') {
        return -1;
    }
    const std::string rest = url.substr(1);
    if (rest.find_first_not_of("0123456789") == std::string::npos) {
        const long n = rest.size() > 9 ? 0 : std::atol(rest.c_str());
        return n >= 1 && n <= long(ids.size()) ? int(n - 1) : -1;
    }
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (ids[i] == rest) {
            return int(i);
        }
    }
    return -1;
}

struct Link {
    int left, top, right, bottom, page;
    bool operator==(const Link&) const = default;
};

// The rect map areas of a page's annotations, turned top-down over the page
// height: a rectangle x y w h spans x..x+w and, from the top, H-y-h..H-y.
inline std::vector<Link> ExpectedLinks(const std::string& ant, int height,
                                       const std::vector<std::string>& ids) {
    std::vector<Link> links;
    for (const Node& n : Reader(ant).All()) {
        if (!n.IsList("maparea") || n.items.size() < 4) {
            continue;
        }
        const Node& url = n.items[1];
        std::string href = url.kind == Node::kString ? url.text : "";
        if (url.IsList("url") && url.items.size() > 1) {
            href = url.items[1].text;
        }
        const Node& shape = n.items[3];
        if (!shape.IsList("rect") || shape.items.size() != 5) {
            continue;
        }
        const int x = std::atoi(shape.items[1].text.c_str());
        const int y = std::atoi(shape.items[2].text.c_str());
        const int w = std::atoi(shape.items[3].text.c_str());
        const int h = std::atoi(shape.items[4].text.c_str());
        links.push_back({x, height - y - h, x + w, height - y, Destination(href, ids)});
    }
    return links;
}

struct Bookmark {
    int depth;
    std::string title;
    int page;
    bool operator==(const Bookmark&) const = default;
};

// The bookmarks of print-outline, depth-first (top level at depth 0).
inline std::vector<Bookmark> ExpectedOutline(const std::string& outline,
                                             const std::vector<std::string>& ids) {
    std::vector<Bookmark> out;
    struct Walker {
        const std::vector<std::string>& ids;
        std::vector<Bookmark>& out;
        void Walk(const Node& entry, int depth) {
            if (entry.kind != Node::kList || entry.items.size() < 2) {
                return;
            }
            out.push_back({depth, entry.items[0].text, Destination(entry.items[1].text, ids)});
            for (std::size_t i = 2; i < entry.items.size(); ++i) {
                Walk(entry.items[i], depth + 1);
            }
        }
    } walker{ids, out};
    for (const Node& n : Reader(outline).All()) {
        if (n.IsList("bookmarks")) {
            for (std::size_t i = 1; i < n.items.size(); ++i) {
                walker.Walk(n.items[i], 0);
            }
        }
    }
    return out;
}

// One document of the fixture folder with everything djvused said of it.
struct Listing {
    std::filesystem::path document;
    std::vector<std::string> ids;
    std::vector<int> heights;
    std::filesystem::path folder;
    std::string name;

    int PageCount() const { return int(ids.size()); }
    std::vector<Link> Links(int pageIndex) const {
        const auto ant = ReadFile(folder / (name + ".p" + std::to_string(pageIndex + 1) + ".ant"));
        const int height = pageIndex < int(heights.size()) ? heights[pageIndex] : 0;
        return ant ? ExpectedLinks(*ant, height, ids) : std::vector<Link>{};
    }
    std::vector<Bookmark> Outline() const {
        const auto text = ReadFile(folder / (name + ".outline"));
        return text ? ExpectedOutline(*text, ids) : std::vector<Bookmark>{};
    }
};

// The listing of NAME in `folder`, or nothing when the files are not there.
inline std::optional<Listing> Load(const std::filesystem::path& folder, const std::string& name) {
    const auto ls = ReadFile(folder / (name + ".ls"));
    const auto size = ReadFile(folder / (name + ".size"));
    std::error_code ec;
    if (!ls || !size || !std::filesystem::exists(folder / (name + ".djvu"), ec)) {
        return std::nullopt;
    }
    Listing listing;
    listing.document = folder / (name + ".djvu");
    listing.ids = PageIds(*ls);
    listing.heights = PageHeights(*size);
    listing.folder = folder;
    listing.name = name;
    return listing;
}

}  // namespace djvused
