#include "logic/model/analysis/C.h"
