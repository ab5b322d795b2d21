#pragma once
// logic/model/data: the models of the data-base dialogs - fluids, pipe
// diameters, gas properties, fittings, velocity/flow/diameter - with the
// rules of a data-base entry and a liquid at a temperature.  Includes
// panels and shared below it.
//
// The fluid data base: a table of 1501 fluids loaded from the stock file
// and the user file, listed by group (liquids, gases), with the fields the
// dialog shows, adding and removing user entries, and the data it hands to
// a panel.

#include <array>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "logic/io/DataFiles.h"
#include "logic/io/DataTable.h"
#include "logic/model/data/LiquidAtTemperature.h"
#include "logic/model/panels/PanelControls.h"
#include "logic/text/Locale.h"

namespace corvane {

inline constexpr std::size_t kFluidSlots = 1501;
inline constexpr const char* kFluidStockFile = "CorvaneFluidsO.dat";
inline constexpr const char* kFluidUserFile = "CorvaneUserFluids.dat";
inline constexpr const char* kFluidBackupFile = "CorvaneUserFluids.bak";

// The two groups the list shows.
enum class FluidGroup { Liquids = 0, Gases = 1 };


class FluidDatabaseModel {
public:
    enum class Field { Name, Temperature, Viscosity, Density };

    FluidDatabaseModel(DataFiles files, const Locale& locale);

    // Start-up load: an interrupted removal is merged back first.  The
    // problem, if a file could not be read or recovered.
    std::optional<std::string> load();
    const DataTable& table() const { return table_; }

    // ---- what the dialog shows
    FluidGroup group() const { return group_; }
    const std::vector<std::string>& rows() const { return rows_; }
    int selected() const { return selected_; }
    const std::string& field(Field f) const { return fields_[static_cast<std::size_t>(f)]; }
    bool removeEnabled() const { return removeEnabled_; }
    bool liquidUnitShown() const { return group_ == FluidGroup::Liquids; }  // "x 10" and "-3"
    bool changeTempShown() const { return group_ == FluidGroup::Gases; }
    std::string listHeading() const;
    bool dataUsed() const { return dataUsed_; }
    bool gasChosen() const { return gasChosen_; }
    int rememberedRow(FluidGroup g) const { return remembered_[static_cast<std::size_t>(g)]; }

    // ---- what the user does
    void show();                        // each showing of the dialog
    void setGroup(FluidGroup g);        // the group change when it differs
    void selectRow(int index);          // a click on the list
    void waterDefaults();
    void airDefaults();
    void setField(Field f, const std::string& text);
    bool keyPress(Field f, char32_t& key);  // number fields: the entry rule
    bool leave(Field f);                    // number fields: false keeps the focus
    std::optional<Refusal> add();
    std::optional<Refusal> remove();
    // "Change temp.": the gas of the calculator to open, or the refusal.
    std::variant<int, Refusal> changeTemp() const;
    // The calculator closed with its data.
    void takeGasData(const std::string& name, const std::string& temperature, const std::string& viscosity,
                     const std::string& density);
    // "Use this data" and a double click: the dialog closes with the data,
    // except for a liquid whose density is no relative density a pipe can
    // carry (DensityRefusal): then the refusal, and the dialog stays.
    std::optional<Refusal> useData();
    std::optional<Refusal> doubleClick(int index);

    // What "Use this data" hands to a panel.
    FluidChoice choice() const;

    // ---- a liquid at the temperature typed (degC): "Water (IAPWS)" and
    // "Interpolate between rows" fill the four fields as a row does and
    // select no row; the vapour pressure (bar a) and the method show beside
    // them until the fields change.
    const std::string& liquidTemperature() const { return liquidTemperature_; }
    void setLiquidTemperature(const std::string& text);
    bool keyPressLiquidTemperature(char32_t& key) const;
    std::optional<Refusal> useWater();
    std::optional<Refusal> interpolateRows();
    bool interpolateShown() const { return group_ == FluidGroup::Liquids; }  // enabled for liquids
    const std::string& vapourPressure() const { return vapourPressure_; }
    const std::string& method() const { return method_; }

private:
    void fillList();
    void groupChange();
    void rowSelection();
    void defaults(FluidGroup g, const char* name, const char* viscosity, const char* density);
    int groupCode(bool user) const;
    bool isUserLine(const std::string& normalised) const;
    std::optional<Refusal> takeLiquid(const LiquidAnswer& answer);
    void clearLiquid();
    // The files read again and the group listed, the selected row kept;
    // the problem of a file that cannot be read.
    std::optional<std::string> reread();

    DataFiles files_;
    Locale locale_;
    DataTable table_{kFluidSlots};
    FluidGroup group_ = FluidGroup::Liquids;
    std::vector<std::string> rows_;
    int selected_ = -1;
    std::array<int, 2> remembered_{-1, -1};
    std::array<std::string, 4> fields_;
    bool removeEnabled_ = false;
    bool firstShown_ = false;
    bool dataUsed_ = false;
    bool gasChosen_ = false;
    std::string liquidTemperature_ = "20";
    std::string vapourPressure_;
    std::string method_;
};

inline constexpr const char* kEntryExistsText = "Entry already exists.";
inline constexpr const char* kAddFailedText = "The entry could not be added to the user data file.\r";
inline constexpr const char* kRemoveFailedText = "The entry could not be removed from the user data file.\r";
inline constexpr const char* kEntryGoneText =
    "This entry is no longer in the user data file: another program removed it.\rThe list shows the file as it is now.";

}  // namespace corvane
