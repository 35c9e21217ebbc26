#pragma once
// Options shared by the commands of vyrddjvu.

#include "Commands.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace vyrddjvu {

struct CommandOptions {
    std::vector<std::u16string> positional;
    bool allPages = false;  // --page=all
    int page = 1;           // --page=N, 1-based
    int repeat = 1;         // --repeat=K
    bool bzz = false;       // --bzz
    bool text = false;      // --text
    std::u16string layer;   // --layer=NAME
};

// Splits `args` into positional arguments and the options named in `accepted`
// ("--page", "--repeat", "--bzz", "--text", "--layer"). Reports the first bad
// or unknown option on standard error and returns false.
bool ParseOptions(const Arguments& args, std::initializer_list<std::u16string_view> accepted,
                  CommandOptions& parsed);

}  // namespace vyrddjvu
