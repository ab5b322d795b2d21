#include <cstring>
#include <filesystem>
#include <unistd.h>

#include "cli/Cli.h"

// corvane-cli.  A calculation sheet (--sheet) is drawn by the program
// beside it, which has the views; without that program, or where it cannot
// be started, --sheet is refused as not built with them.
namespace {

// Whether the command line asks for a sheet: --sheet first, or a run's or
// a valve's --sheet before a "--".
bool AsksForSheet(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--sheet") == 0) return true;
    if (argc < 2 || (std::strcmp(argv[1], "run") != 0 && std::strcmp(argv[1], "valve") != 0)) return false;
    for (int i = 2; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
        if (std::strcmp(argv[i], "--sheet") == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (AsksForSheet(argc, argv)) {
        std::error_code error;
        const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
        if (!error) {
            const std::string sheet = (self.parent_path() / corvane::kSheetProgram).string();
            argv[0] = const_cast<char*>(sheet.c_str());
            ::execv(sheet.c_str(), argv);  // returns only where it could not start
        }
    }
    return corvane::CliMain(argc, argv, {});
}
