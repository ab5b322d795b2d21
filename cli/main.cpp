#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "logic/text/LocaleNames.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const corvane::Locale locale = corvane::LocaleFromEnvironment([](const char* name) { return std::getenv(name); });
    return static_cast<int>(corvane::RunCli(args, std::cout, std::cerr, locale));
}
