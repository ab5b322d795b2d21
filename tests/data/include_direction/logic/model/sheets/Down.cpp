// Includes that go down: none of these is reported.
#include <vector>

#include "logic/engine/Units.h"
#include "logic/io/FileIo.h"
#include "logic/model/panels/PanelModel.h"
#include "logic/model/runs/RunCalculation.h"
#include "logic/model/sheets/CalculationSheet.h"
#include "logic/text/NumberText.h"
#include "Local.h"
