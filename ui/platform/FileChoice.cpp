#include "logic/model/settings/UserChoices.h"
#include "ui/platform/Platform.h"

namespace corvane {

std::optional<std::string> ChooseFile(Platform& platform, QWidget* parent, FileChooser chooser, bool save,
                                      UserChoices* choices, FileKind kind) {
    if (choices) {
        const ChooserStart start = choices->start(kind, chooser.name);
        chooser.folder = start.folder;
        chooser.name = start.name;
    }
    auto path = save ? platform.chooseSaveFile(parent, chooser) : platform.chooseOpenFile(parent, chooser);
    if (path && choices) choices->chosen(kind, *path);
    return path;
}

}  // namespace corvane
