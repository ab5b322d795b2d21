// Text reaching sideways into the engine.
#include "logic/engine/Units.h"
