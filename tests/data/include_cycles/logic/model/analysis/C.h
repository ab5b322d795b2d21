// Back to A, named from its own folder.
#include "A.h"
