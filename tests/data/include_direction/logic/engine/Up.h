// An engine file reaching up into the model.
#include "logic/model/panels/PanelModel.h"
