#include "logic/io/Outputs.h"

#include <sys/stat.h>

namespace corvane {

std::optional<GuardedFile> OverwrittenFile(const std::string& output, const std::vector<GuardedFile>& guarded) {
    struct stat out {};
    if (output.empty() || ::stat(output.c_str(), &out) != 0) return std::nullopt;
    for (const GuardedFile& g : guarded) {
        struct stat st {};
        if (!g.path.empty() && ::stat(g.path.c_str(), &st) == 0 && st.st_dev == out.st_dev && st.st_ino == out.st_ino)
            return g;
    }
    return std::nullopt;
}

std::optional<GuardedFile> OutputGuard::overwritten(const std::string& output, const std::vector<GuardedFile>& own,
                                                    const std::string& self) const {
    if (auto file = OverwrittenFile(output, own)) return file;
    if (auto file = OverwrittenFile(output, kept_)) return file;
    if (!documents_) return std::nullopt;
    std::vector<GuardedFile> others;
    for (GuardedFile& d : documents_())
        if (self.empty() || !OverwrittenFile(self, {d})) others.push_back(std::move(d));
    return OverwrittenFile(output, others);
}

}  // namespace corvane
