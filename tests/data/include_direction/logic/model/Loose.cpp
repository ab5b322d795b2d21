// A model file in none of the model's folders.
#include "logic/engine/Units.h"
