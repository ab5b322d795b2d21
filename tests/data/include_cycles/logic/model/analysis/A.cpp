#include "logic/model/analysis/A.h"
