#include <cstring>
#include <filesystem>
#include <unistd.h>

#include "cli/Cli.h"

// corvane-cli.  A calculation sheet (--sheet) is drawn by the program
// beside it, which has the views; without that program, or where it cannot
// be started, --sheet is refused as not built with them.
int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--sheet") == 0) {
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
