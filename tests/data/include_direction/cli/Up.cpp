// The batch tool reaching into the views.
#include "ui/CalcPanel.h"
