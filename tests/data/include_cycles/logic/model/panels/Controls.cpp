#include "logic/model/panels/Controls.h"

#include "logic/model/panels/Kinds.h"
