#include "ui/platform/OutputFile.h"

#include "logic/io/FileIo.h"
#include "ui/platform/Platform.h"

namespace corvane {

bool MayWriteOutput(Platform& platform, QWidget* parent, const OutputGuard* guard, const std::string& path,
                    const OutputKind& kind, const std::vector<GuardedFile>& own, const std::string& self) {
    const auto file = guard ? guard->overwritten(path, own, self) : OverwrittenFile(path, own);
    if (!file) return true;
    platform.message(parent, MessageKind::Error,
                     kind.output + " cannot be written over " + file->what + ":\r" + path + "\rChoose another name for " +
                         kind.noun + ".");
    return false;
}

bool WriteOutput(Platform& platform, QWidget* parent, const OutputGuard* guard, const std::string& path,
                 const std::string& bytes, const OutputKind& kind, const std::vector<GuardedFile>& own) {
    if (!MayWriteOutput(platform, parent, guard, path, kind, own)) return false;
    if (const auto failure = WriteFileAtomically(path, bytes)) {
        platform.message(parent, MessageKind::Error, FileErrorText(*failure));
        return false;
    }
    return true;
}

}  // namespace corvane
