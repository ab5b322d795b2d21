// A panel reaching up into the runs that are built on it.
#include "logic/model/runs/RunEditor.h"
