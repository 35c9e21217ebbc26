#pragma once
// The commands of vyrddjvu. Each takes the arguments after the command name,
// writes its result to standard output or files and its complaints to standard
// error, and returns the process exit status.

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

// Standard error, with UTF-16 pieces written as UTF-8.
void PrintError(const std::string& message);
void PrintError(const std::string& message, const std::u16string& path);

}  // namespace vyrddjvu
