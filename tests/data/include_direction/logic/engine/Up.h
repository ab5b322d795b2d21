// An engine file reaching up into the model.
#include "logic/model/PanelModel.h"
