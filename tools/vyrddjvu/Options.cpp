#include "Options.h"

#include <algorithm>

namespace vyrddjvu {

namespace {

// A number of at most 9 digits (no sign, no overflow), at least 1.
bool ParsePositiveNumber(std::u16string_view text, int& number) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    int value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') {
            return false;
        }
        value = value * 10 + (c - u'0');
    }
    number = value;
    return value >= 1;
}

}  // namespace

bool ParseOptions(const Arguments& args, std::initializer_list<std::u16string_view> accepted,
                  CommandOptions& parsed) {
    for (const std::u16string& arg : args) {
        const std::u16string_view text(arg);
        if (text.size() < 2 || text.substr(0, 2) != u"--") {
            parsed.positional.push_back(arg);
            continue;
        }
        const std::size_t equals = text.find(u'=');
        const std::u16string_view name = text.substr(0, equals);
        const std::u16string_view value =
            equals == std::u16string_view::npos ? std::u16string_view() : text.substr(equals + 1);
        if (std::find(accepted.begin(), accepted.end(), name) == accepted.end()) {
            PrintError("unknown option: ", arg);
            return false;
        }
        bool ok = true;
        if (name == u"--page") {
            parsed.allPages = value == u"all";
            ok = parsed.allPages || ParsePositiveNumber(value, parsed.page);
        } else if (name == u"--repeat") {
            ok = ParsePositiveNumber(value, parsed.repeat);
        } else if (name == u"--bzz") {
            parsed.bzz = true;
            ok = equals == std::u16string_view::npos;
        } else if (name == u"--text") {
            parsed.text = true;
            ok = equals == std::u16string_view::npos;
        } else if (name == u"--layer") {
            parsed.layer = value;
            ok = !value.empty();
        }
        if (!ok) {
            PrintError("bad option: ", arg);
            return false;
        }
    }
    return true;
}

}  // namespace vyrddjvu
