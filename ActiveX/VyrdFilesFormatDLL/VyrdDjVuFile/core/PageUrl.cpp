#include "PageUrl.h"

#include "Directory.h"

#include <string>

namespace vyrd {

int ResolvePageUrl(std::u16string_view url, const CDjVuDirectory* directory, int pageCount) {
    if (url.empty() || url.front() != u'#') {
        // Another document, or the web: a link that leaves this document.
        return -1;
    }
    const std::u16string_view rest = url.substr(1);
    bool allDigits = true;
    for (const char16_t c : rest) {
        if (c < u'0' || c > u'9') {
            allDigits = false;
            break;
        }
    }
    if (allDigits) {
        // Accumulated with a ceiling, so that a long run of digits cannot
        // overflow: anything above the page count names no page anyway.
        long long number = 0;
        for (const char16_t c : rest) {
            number = number * 10 + (c - u'0');
            if (number > pageCount) {
                return -1;
            }
        }
        return number >= 1 ? static_cast<int>(number - 1) : -1;
    }
    if (directory == nullptr) {
        return -1;
    }
    // Page components are matched by identifier only, never by name or title.
    const int position = directory->Pages().Find(std::u16string(rest));
    return position < pageCount ? position : -1;
}

}  // namespace vyrd
