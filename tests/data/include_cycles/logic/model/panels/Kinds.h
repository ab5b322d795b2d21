#include "logic/model/panels/Controls.h"
