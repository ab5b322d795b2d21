// The run's editor reaching up into the sheets, which read the run.
#include "logic/model/sheets/RunSheet.h"
