#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "logic/text/LocaleNames.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const corvane::Locale locale = corvane::LocaleFromEnvironment([](const char* name) { return std::getenv(name); });
    // The data commands find the stock files beside the program, as the
    // window does.
    corvane::DataCommandPlace place;
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    place.programFolder = error ? std::string(".") : self.parent_path().string();
    place.environment = [](const char* name) -> const char* { return std::getenv(name); };
    return static_cast<int>(corvane::RunCli(args, std::cout, std::cerr, locale, place));
}
