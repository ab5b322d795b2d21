// A panel save as the window's save command makes it, for the tests that
// kill the saving process at every system call:
//   corvane_save_probe FROM.PWn TO
// loads FROM into its panel and saves the panel to TO.  Exit status 0
// saved, 1 FROM refused, 2 the save failed (the message on stderr).

#include <iostream>

#include "logic/io/FileIo.h"
#include "logic/model/panels/PanelFile.h"
#include "logic/model/panels/PanelModel.h"

int main(int argc, char** argv) {
    using namespace corvane;
    if (argc != 3) {
        std::cerr << "usage: corvane_save_probe FROM.PWn TO\n";
        return 2;
    }
    const PanelFileBytes from = ReadPanelFile(argv[1]);
    const auto kind = from.bytes ? PanelKindOfHeader(PanelFileReader(*from.bytes).next()) : std::nullopt;
    if (!kind) {
        std::cerr << argv[1] << ": " << (from.bytes ? kNotValidFileText : from.message) << "\n";
        return 1;
    }
    PanelModel panel(*kind, DotLocale());
    if (LoadPanelFile(panel, *from.bytes)) return 1;
    if (const auto failure = WriteFileAtomically(argv[2], SavePanelFile(panel))) {
        std::cerr << FileProblem(*failure) << "\n";
        return 2;
    }
    return 0;
}
