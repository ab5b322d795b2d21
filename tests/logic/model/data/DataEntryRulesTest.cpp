// What an entry of the fluid, pipe and pump data bases must be: one table,
// run through the fluid and pipe dialogs' models and the pump library.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "logic/model/data/DataEntryRules.h"
#include "logic/model/data/FluidDatabaseModel.h"
#include "logic/model/data/PipeDatabaseModel.h"
#include "logic/model/pumps/PumpLibrary.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

enum class Base { Fluid, Pipe, Pump };

struct EntryCase {
    Base base;
    std::array<std::string, 4> fields;  // a pump has its name only
    std::string refusal;               // empty: added
};

const std::string k100(100, 'n');
const std::string kControls = "The %s cannot hold a TAB, a line break, another control character or a character "
                              "outside Windows-1252.";

std::string Text(std::string pattern, const std::string& what) { return pattern.replace(pattern.find("%s"), 2, what); }

const EntryCase kCases[] = {
    {Base::Fluid, {"Oil", "15C", "46", "0.87"}, ""},
    {Base::Fluid, {"", "15C", "46", "0.87"}, "The fluid name cannot be empty."},
    {Base::Fluid, {"   ", "15C", "46", "0.87"}, "The fluid name cannot be empty."},
    {Base::Fluid, {"Oil 2", "", "46", "0.87"}, "The temperature cannot be empty."},
    {Base::Fluid, {k100, "15C", "46", "0.87"}, ""},
    {Base::Fluid, {k100 + "n", "15C", "46", "0.87"}, "The fluid name is too long: it may hold at most 100 characters."},
    {Base::Fluid, {std::string(50, 'x') + [] { std::string s; for (int i = 0; i < 50; ++i) s += "\u00e9"; return s; }(),
                   "15C", "46", "0.87"}, ""},  // characters, not bytes
    {Base::Fluid, {"A\x01" "B", "15C", "46", "0.87"}, Text(kControls, "fluid name")},
    {Base::Fluid, {"A\x1a", "15C", "46", "0.87"}, Text(kControls, "fluid name")},
    {Base::Fluid, {"A\x7f", "15C", "46", "0.87"}, Text(kControls, "fluid name")},
    // The code points Windows-1252 leaves undefined are C1 controls.
    {Base::Fluid, {"A\u0081", "15C", "46", "0.87"}, Text(kControls, "fluid name")},
    {Base::Fluid, {"Oil 3", "\u009d" "C", "46", "0.87"}, Text(kControls, "temperature")},
    {Base::Pipe, {"P\u008fVC", "1/2", "13.1", "0.516"}, Text(kControls, "pipe type")},
    {Base::Fluid, {"Oil 3", "15\x1b" "C", "46", "0.87"}, Text(kControls, "temperature")},
    {Base::Fluid, {"Oil 4", "15C", "0.000001", "0.87"}, ""},
    {Base::Fluid, {"Oil 5", "15C", "0.0000009", "0.87"},
     "The viscosity must be at least 0.000001, the smallest value the data file holds (6 decimals)."},
    {Base::Fluid, {"Oil 5", "15C", "0", "0.87"},
     "The viscosity must be at least 0.000001, the smallest value the data file holds (6 decimals)."},
    {Base::Fluid, {"Oil 5", "15C", "-1", "0.87"}, "The viscosity cannot be negative."},
    {Base::Fluid, {"Oil 5", "15C", "?", "0.87"}, "The viscosity must be a number such as 1.5, not '?'."},
    {Base::Fluid, {"Oil 5", "15C", "4", "1e3"}, "The density must be a number such as 1.5, not '1e3'."},
    {Base::Fluid, {"Oil 6", "15C", "999999999.9999999", "0.87"}, ""},
    // A liquid's density is relative to water's, as a run file takes it.
    {Base::Fluid, {"Oil 8", "15C", "30", "30"}, ""},
    {Base::Fluid, {"Oil 9", "15C", "30", "880"},
     "880 is a relative density: water is 1.\rA liquid's relative density is above 0 and at most 30; only a gas's "
     "density is in kg/m\u00b3."},
    {Base::Fluid, {"Oil 7", "15C", "46", "1000000000"},
     "The density is too large: the data file holds at most 999999999.999999."},
    {Base::Pipe, {"PVC", "1/2", "13.1", "0.516"}, ""},
    {Base::Pipe, {"PVC", "", "13.1", "0.516"}, "The nominal diameter cannot be empty."},
    {Base::Pipe, {"P\x1a" "VC", "1/2", "13.1", "0.516"}, Text(kControls, "pipe type")},
    {Base::Pipe, {"PVC", "3/4", "0.0001", "0.000"},
     "The internal diameter in mm must be at least 0.001, the smallest value the data file holds (3 decimals)."},
    {Base::Pipe, {"PVC", "3/4", "99999999999999999999", "3.937"},
     "The internal diameter in mm is too large: the data file holds at most 999999999999.999."},
    {Base::Pipe, {"PVC", "3/4", "0.02", "0.0007"},
     "The internal diameter in inches must be at least 0.001, the smallest value the data file holds (3 decimals)."},
    {Base::Pump, {"Pump A"}, ""},
    {Base::Pump, {""}, "The pump's name cannot be empty."},
    {Base::Pump, {"Tab\there"}, Text(kControls, "pump's name")},
    {Base::Pump, {"Cyrillic \u0416"}, Text(kControls, "pump's name")},
    {Base::Pump, {k100 + "n"}, "The pump's name is too long: it may hold at most 100 characters."},
};

TEST(DataEntryRules, EveryDataBaseTakesOnlyWhatItCanListUseAndRemove) {
    const fs::path dir = fs::temp_directory_path() / ("corvane-entries-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    FluidDatabaseModel fluids(DataFiles(dir.string(), kFluidStockFile, kFluidUserFile, kFluidBackupFile), Locale{});
    PipeDatabaseModel pipes(DataFiles(dir.string(), kPipeStockFile, kPipeUserFile, kPipeBackupFile), Locale{});
    PumpLibrary pumps(PumpFiles(dir.string(), dir.string()));
    fluids.show();
    pipes.show();
    for (const EntryCase& c : kCases) {
        SCOPED_TRACE(c.fields[0].substr(0, 20) + " " + c.fields[2] + " " + c.fields[3]);
        std::optional<Refusal> refusal;
        if (c.base == Base::Fluid) {
            for (int f = 0; f < 4; ++f) fluids.setField(static_cast<FluidDatabaseModel::Field>(f), c.fields[f]);
            refusal = fluids.add();
        } else if (c.base == Base::Pipe) {
            for (int f = 0; f < 4; ++f) pipes.setField(static_cast<PipeDatabaseModel::Field>(f), c.fields[f]);
            refusal = pipes.add();
        } else {
            refusal = pumps.add({c.fields[0], {{100, 10}}});
        }
        EXPECT_EQ(refusal ? refusal->text : "", c.refusal);
        if (refusal) EXPECT_EQ(refusal->kind, MessageKind::Warning);
    }
    fs::remove_all(dir);
}

// The last slot taken, an addition is refused and says how many rows fit.
TEST(DataEntryRules, AFullTableIsSaid) {
    const fs::path dir = fs::temp_directory_path() / ("corvane-full-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    {
        std::ofstream stock(dir / kPipeStockFile, std::ios::binary);
        for (std::size_t i = 0; i < kPipeSlots; ++i) stock << "10\tSteel\t" << i << "\t1.000\t1.000\r\n";
    }
    PipeDatabaseModel pipes(DataFiles(dir.string(), kPipeStockFile, kPipeUserFile, kPipeBackupFile), Locale{});
    pipes.load();
    pipes.show();
    pipes.setField(PipeDatabaseModel::Field::Type, "PVC");
    EXPECT_EQ(pipes.add(), TableFull("pipes", kPipeSlots));
    EXPECT_EQ(TableFull("pipes", kPipeSlots).text,
              "The list is full: it holds at most 501 pipes, stock and user entries together.\r"
              "Remove a user entry to make room.");
    EXPECT_FALSE(fs::exists(dir / kPipeUserFile));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace corvane
