#include "logic/model/pumps/DataBaseFiles.h"

#include "logic/model/data/FluidDatabaseModel.h"
#include "logic/model/data/PipeDatabaseModel.h"
#include "logic/model/pumps/PumpLibrary.h"

namespace corvane {

std::vector<GuardedFile> DataBaseFiles(const std::string& programFolder, const std::string& userFolder) {
    const std::pair<std::string, DataFiles> bases[] = {
        {"fluid", DataFiles(programFolder, userFolder, kFluidStockFile, kFluidUserFile, kFluidBackupFile)},
        {"pipe", DataFiles(programFolder, userFolder, kPipeStockFile, kPipeUserFile, kPipeBackupFile)},
        {"pump", PumpFiles(programFolder, userFolder)},
    };
    std::vector<GuardedFile> files;
    for (const auto& [noun, f] : bases) {
        files.push_back({f.stockPath(), "the stock " + noun + " file"});
        if (!f.sharedUserPath().empty()) files.push_back({f.sharedUserPath(), "the shared user " + noun + " file"});
        files.push_back({f.userPath(), "the user " + noun + " file"});
        files.push_back({f.backupPath(), "the " + noun + " backup file"});
    }
    return files;
}

}  // namespace corvane
