// The file layer reaching up into the model.
#include "logic/model/panels/PanelFile.h"
