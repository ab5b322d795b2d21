// Includes a cycle's file without being on the cycle.
#include "logic/model/panels/Kinds.h"
