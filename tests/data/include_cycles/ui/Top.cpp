// Two ways down to the same file, and a generated header the tree lacks.
#include "ui/Top.h"

#include "logic/io/Other.h"
#include "logic/text/Middle.h"
#include "ui_Top.h"
