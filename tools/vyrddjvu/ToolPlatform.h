#pragma once
// What the command-line tool needs from the operating system beyond the core.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vyrddjvu {

// The program's arguments as UTF-16, program name first. On Windows they come
// from the wide command line, so paths outside the ANSI code page survive;
// elsewhere argv is taken as UTF-8.
std::vector<std::u16string> CommandLineArguments(int argc, char** argv);

// Opens `path` for writing or reading in binary mode; null on failure.
std::FILE* OpenForWriting(const std::u16string& path);
std::FILE* OpenForReading(const std::u16string& path);

// The most memory the process has held at once, in bytes.
uint64_t PeakMemoryBytes();

}  // namespace vyrddjvu
