// A widget reaching up into a dialog.
#include "ui/dialogs/FittingsDialog.h"
