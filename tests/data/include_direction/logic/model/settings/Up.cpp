// The model reaching up into a window.
#include "ui/MainWindow.h"
