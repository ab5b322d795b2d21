#include "logic/engine/Low.h"
