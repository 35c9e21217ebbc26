// vyrddjvu: command-line access to the portable DjVu core.

#include "Commands.h"
#include "ToolPlatform.h"
#include "HResultError.h"
#include "Unicode.h"

#include <cstdio>
#include <exception>
#include <new>

namespace vyrddjvu {

namespace {

struct Command {
    const char16_t* name;
    int (*run)(const Arguments& args);
};

// One command a line.
// clang-format off
constexpr Command kCommands[] = {
    {u"info", RunInfo},
    {u"render", RunRender},
    {u"links", RunLinks},
    {u"outline", RunOutline},
    {u"bzz", RunBzz},
    {u"bench", RunBench},
    {u"text", RunText},    // TextCommand.cpp
    {u"zones", RunZones},  // TextCommand.cpp
};
// clang-format on

void PrintUsage() {
    std::fputs(
        "usage: vyrddjvu info FILE\n"
        "       vyrddjvu render FILE OUT [--page=N|all]   (OUT needs %d with --page=all)\n"
        "       vyrddjvu links FILE [--page=N|all]\n"
        "       vyrddjvu outline FILE\n"
        "       vyrddjvu bzz FILE OUT\n"
        "       vyrddjvu bench FILE [--repeat=K]   (FILE: a raw BZZ stream)\n"
        "       vyrddjvu bench FILE --text [--page=N] [--repeat=K]\n"
        "       vyrddjvu text FILE [--page=N|all]\n"
        "       vyrddjvu zones FILE [--page=N]\n",
        stderr);
}

int Dispatch(const Arguments& all) {
    if (all.size() < 2) {
        PrintUsage();
        return kExitUsage;
    }
    for (const Command& command : kCommands) {
        if (all[1] == command.name) {
            return command.run(Arguments(all.begin() + 2, all.end()));
        }
    }
    PrintError("unknown command: ", all[1]);
    PrintUsage();
    return kExitUsage;
}

}  // namespace

vyrd::RefPtr<vyrd::CDjVuContainer> OpenDocumentOrComplain(const std::u16string& path) {
    vyrd::RefPtr<vyrd::CDjVuContainer> document = vyrd::MakeRef<vyrd::CDjVuContainer>();
    try {
        if (document->OpenDocument(path)) {
            return document;
        }
        PrintError("cannot open DjVu document: ", path);
    } catch (const vyrd::HResultError&) {
        PrintError("broken document directory: ", path);
    }
    return nullptr;
}

void PrintError(const std::string& message) {
    std::fprintf(stderr, "vyrddjvu: %s\n", message.c_str());
}

void PrintError(const std::string& message, const std::u16string& path) {
    PrintError(message + vyrd::Utf16ToUtf8(path));
}

}  // namespace vyrddjvu

int main(int argc, char** argv) {
    try {
        return vyrddjvu::Dispatch(vyrddjvu::CommandLineArguments(argc, argv));
    } catch (const std::bad_alloc&) {
        vyrddjvu::PrintError("out of memory");
    } catch (const std::exception& e) {
        vyrddjvu::PrintError(e.what());
    }
    return vyrddjvu::kExitFailure;
}
