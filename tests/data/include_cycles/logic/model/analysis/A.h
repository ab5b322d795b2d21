// A cycle of three headers: A, B, C and back to A.
#include "logic/model/analysis/B.h"
