#pragma once
// The commands of vyrddjvu. Each takes the arguments after the command name,
// writes its result to standard output or files and its complaints to standard
// error, and returns the process exit status.

#include "Container.h"

#include <string>
#include <vector>

namespace vyrddjvu {

using Arguments = std::vector<std::u16string>;

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// info FILE: the page count, then per page "N WIDTH HEIGHT DPI CHUNK..." or
// "N unavailable".
int RunInfo(const Arguments& args);

// render FILE OUT [--page=N|all]: the composed page as binary PNM.
int RunRender(const Arguments& args);

// links FILE [--page=N|all]: the link records of a page.
int RunLinks(const Arguments& args);

// outline FILE: the bookmarks of the document outline, depth-first.
int RunOutline(const Arguments& args);

// bzz FILE OUT: a raw BZZ stream decompressed.
int RunBzz(const Arguments& args);

// bench FILE [--repeat=K]: decompression time of a raw BZZ stream.
int RunBench(const Arguments& args);

// text FILE [--page=N|all]: the page text, as UTF-8; zones FILE [--page=N]:
// one line per text zone (TextCommand.cpp).
int RunText(const Arguments& args);
int RunZones(const Arguments& args);
// bench FILE --text: the whole-document text search and repeated selection
// queries on one page, timed (reached through RunBench).
struct CommandOptions;
int BenchText(const CommandOptions& options);

// Opens a DjVu document, or says on standard error why not and returns null.
vyrd::RefPtr<vyrd::CDjVuContainer> OpenDocumentOrComplain(const std::u16string& path);

// The whole content of a file, or says why not and returns false.
bool ReadWholeFile(const std::u16string& path, std::vector<uint8_t>& bytes);

// Standard error, with UTF-16 pieces written as UTF-8.
void PrintError(const std::string& message);
void PrintError(const std::string& message, const std::u16string& path);

}  // namespace vyrddjvu
