#include <vector>

#include "logic/engine/Low.h"
#include "logic/model/analysis/A.h"
#include "ui/Top.h"
