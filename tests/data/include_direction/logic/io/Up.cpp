// The file layer reaching up into the model.
#include "logic/model/PanelFile.h"
