#pragma once
// Which page of the document a link or bookmark URL leads to.

#include <string_view>

namespace vyrd {

class CDjVuDirectory;

// The 0-based page index named by `url`, or -1 when it names no page of this
// document. Only URLs that start with a number sign lead inside the document:
// "#N" (all decimal digits) is page N counted from 1, anything else after the
// sign is a component identifier looked up in the directory's page list (no
// directory: not found). Numbers of 0 and beyond `pageCount` name no page.
// Never fails.
int ResolvePageUrl(std::u16string_view url, const CDjVuDirectory* directory, int pageCount);

}  // namespace vyrd
