#include "logic/model/data/FluidDatabaseModel.h"

#include <algorithm>
#include <cctype>

#include "logic/model/data/DataEntryRules.h"
#include "logic/model/data/GasPropertiesModel.h"
#include "logic/text/Cp1252.h"
#include "logic/text/NumberText.h"

namespace corvane {
namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

FluidDatabaseModel::FluidDatabaseModel(DataFiles files, const Locale& locale)
    : files_(std::move(files)), locale_(locale) {
    fields_ = {"Water", "20\u00b0C (68\u00b0F)", FixDecimalSeparator("1.020000", locale_),
               FixDecimalSeparator("0.998000", locale_)};
}

std::optional<std::string> FluidDatabaseModel::load() {
    std::optional<std::string> problem = files_.recover();
    // The stock fluids, then the user's.
    if (auto error = files_.fill(table_, locale_, true, false)) problem = problem ? *problem + "\r" + *error : *error;
    return problem;
}

int FluidDatabaseModel::groupCode(bool user) const {
    FluidCode code = user ? FluidCode::UserGas : FluidCode::StockGas;
    if (group_ == FluidGroup::Liquids) code = user ? FluidCode::UserLiquid : FluidCode::StockLiquid;
    return static_cast<int>(code);
}

std::string FluidDatabaseModel::listHeading() const {
    return group_ == FluidGroup::Liquids ? "Fluid data" : "Fluid data @ 0.000 barg";
}

void FluidDatabaseModel::fillList() {
    rows_.clear();
    for (const DataRecord& r : table_.records()) {
        if (r.code != groupCode(false) && r.code != groupCode(true)) continue;
        rows_.push_back(r.f2 + "\t" + r.f3 + "\t" + PadNumberText(r.f4, locale_.decimalSeparator, 8) + "\t" +
                        PadNumberText(r.f5, locale_.decimalSeparator, 8));
    }
    // The list keeps its rows in alphabetical order, ignoring case.
    std::stable_sort(rows_.begin(), rows_.end(),
                     [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
    selected_ = -1;
}

bool FluidDatabaseModel::isUserLine(const std::string& normalised) const {
    return files_.hasUserLine(normalised);
}

void FluidDatabaseModel::rowSelection() {
    if (selected_ < 0 || selected_ >= static_cast<int>(rows_.size())) return;
    remembered_[static_cast<std::size_t>(group_)] = selected_;
    const std::string& row = rows_[static_cast<std::size_t>(selected_)];
    removeEnabled_ = isUserLine(NormaliseRowLine(std::to_string(groupCode(true)) + "\t" + row));
    const auto f = SplitRow(row);
    clearLiquid();
    fields_[0] = f[0];
    fields_[1] = f[1];
    fields_[2] = StripLeadingBlanks(f[2]);
    fields_[3] = StripLeadingBlanks(f[3]);
}

void FluidDatabaseModel::groupChange() {
    fillList();
    const int remembered = remembered_[static_cast<std::size_t>(group_)];
    if (remembered == -1) {
        if (group_ == FluidGroup::Liquids) waterDefaults();
        else airDefaults();
    } else {
        selected_ = remembered < static_cast<int>(rows_.size()) ? remembered : -1;
    }
    rowSelection();
}

void FluidDatabaseModel::setGroup(FluidGroup g) {
    if (g == group_) return;
    group_ = g;
    groupChange();
}

void FluidDatabaseModel::show() {
    if (!firstShown_) {
        firstShown_ = true;
        groupChange();
        if (group_ == FluidGroup::Liquids) waterDefaults();
        else airDefaults();
    }
    dataUsed_ = false;
}

void FluidDatabaseModel::selectRow(int index) {
    if (index < 0 || index >= static_cast<int>(rows_.size())) return;
    selected_ = index;
    rowSelection();
}

void FluidDatabaseModel::defaults(FluidGroup g, const char* name, const char* viscosity, const char* density) {
    if (group_ != g) {
        group_ = g;
        groupChange();
    }
    fields_ = {name, "20\u00b0C (68\u00b0F)", FixDecimalSeparator(viscosity, locale_),
               FixDecimalSeparator(density, locale_)};
    clearLiquid();
    const std::string key = BlankFree(fields_[0] + "\t" + fields_[1] + "\t" + fields_[2] + "\t" + fields_[3]);
    selected_ = -1;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (BlankFree(rows_[i]).compare(0, key.size(), key) == 0) {
            selected_ = static_cast<int>(i);
            break;
        }
    remembered_[static_cast<std::size_t>(g)] = selected_;
}

void FluidDatabaseModel::waterDefaults() { defaults(FluidGroup::Liquids, "Water", "1.004000", "0.998000"); }

void FluidDatabaseModel::airDefaults() { defaults(FluidGroup::Gases, "Air", "15.100000", "1.204700"); }

void FluidDatabaseModel::setField(Field f, const std::string& text) {
    fields_[static_cast<std::size_t>(f)] = DataFieldText(text);
    clearLiquid();
}

bool FluidDatabaseModel::keyPress(Field f, char32_t& key) {
    if (f == Field::Name || f == Field::Temperature) return IsAllowedTextKey(key);
    return IsAllowedEntryKey(field(f), key, locale_);
}

bool FluidDatabaseModel::leave(Field f) {
    if (f == Field::Name || f == Field::Temperature) return true;
    return LeaveNumberField(fields_[static_cast<std::size_t>(f)], locale_);
}

std::optional<std::string> FluidDatabaseModel::reread() {
    const std::string row = RowAt(rows_, selected_);
    const auto problem = files_.refill(table_, locale_, true, false);
    fillList();
    if (!row.empty()) selected_ = IndexOfRow(rows_, row);  // kept where it is still listed
    return problem;
}

std::optional<Refusal> FluidDatabaseModel::add() {
    if (auto refusal =
            CheckEntryFields(fields_, {"fluid name", "temperature", "viscosity", "density"}, kFluidDecimals, locale_))
        return refusal;
    if (group_ == FluidGroup::Liquids)
        if (auto refusal = LiquidDensityRefusal(fields_[3], locale_)) return refusal;
    // Decided on what the file holds now, with the rows that other programs
    // added, while no other program may change it.
    DataFiles::Hold held;
    if (auto problem = files_.hold(held)) return Refusal{MessageKind::Error, kAddFailedText + *problem};
    if (auto problem = reread()) return Refusal{MessageKind::Error, kAddFailedText + *problem};
    if (IsListed(rows_, fields_, kFluidDecimals, locale_))
        return Refusal{MessageKind::Information, kEntryExistsText};
    if (table_.used() >= kFluidSlots) return TableFull("fluids", kFluidSlots);

    const DataRecord r = UserRecord(groupCode(true), fields_, kFluidDecimals, locale_.decimalSeparator);
    const std::string line = JoinDataLine(r);
    if (auto problem = files_.append(line))
        return Refusal{MessageKind::Error, kAddFailedText + *problem};
    table_.add(r);
    fillList();
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (NormaliseRowLine(std::to_string(r.code) + "\t" + rows_[i]) == line) {
            selected_ = static_cast<int>(i);
            rowSelection();
            break;
        }
    return std::nullopt;
}

std::optional<Refusal> FluidDatabaseModel::remove() {
    if (!removeEnabled_ || selected_ < 0 || selected_ >= static_cast<int>(rows_.size()))
        return std::nullopt;
    const std::string key = NormaliseRowLine(std::to_string(groupCode(true)) + "\t" + rows_[static_cast<std::size_t>(selected_)]);
    const int index = selected_;
    DataFiles::Hold held;
    if (auto problem = files_.hold(held)) return Refusal{MessageKind::Error, kRemoveFailedText + *problem};
    bool removed = false;
    if (auto problem = files_.removeFirst(key, {}, &removed))
        return Refusal{MessageKind::Error, kRemoveFailedText + *problem};
    // The list as the file is now: without the row, with what other
    // programs changed.
    reread();
    removeEnabled_ = false;
    if (!removed) return Refusal{MessageKind::Information, kEntryGoneText};
    selected_ = index < static_cast<int>(rows_.size()) ? index : (rows_.empty() ? -1 : 0);
    rowSelection();
    removeEnabled_ = false;
    return std::nullopt;
}

std::variant<int, Refusal> FluidDatabaseModel::changeTemp() const {
    if (auto gas = GasPropertiesModel::FindGas(fields_[0])) return *gas;
    return Refusal{MessageKind::Information, "Data for chosen gas not available."};
}

void FluidDatabaseModel::takeGasData(const std::string& name, const std::string& temperature,
                                     const std::string& viscosity, const std::string& density) {
    selected_ = -1;
    fields_ = {name, temperature, viscosity, density};
    clearLiquid();
}

std::optional<Refusal> FluidDatabaseModel::useData() {
    if (group_ == FluidGroup::Liquids) {
        const std::string row = selected_ >= 0 ? fields_[0] + " " + fields_[1] : std::string();
        if (auto refusal = LiquidDensityRefusal(fields_[3], locale_, row)) return refusal;
    }
    dataUsed_ = true;
    gasChosen_ = group_ == FluidGroup::Gases;
    return std::nullopt;
}

std::optional<Refusal> FluidDatabaseModel::doubleClick(int index) {
    selectRow(index);
    return useData();
}

FluidChoice FluidDatabaseModel::choice() const {
    return {fields_[0], fields_[1], fields_[2], fields_[3], gasChosen_};
}

void FluidDatabaseModel::clearLiquid() {
    vapourPressure_.clear();
    method_.clear();
}

void FluidDatabaseModel::setLiquidTemperature(const std::string& text) { liquidTemperature_ = text; }

bool FluidDatabaseModel::keyPressLiquidTemperature(char32_t& key) const {
    // Below 0 degC too: one minus sign.
    if (key == U'-' && liquidTemperature_.find('-') == std::string::npos) return true;
    return IsAllowedEntryKey(liquidTemperature_, key, locale_);
}

std::optional<Refusal> FluidDatabaseModel::takeLiquid(const LiquidAnswer& answer) {
    if (const auto* refusal = std::get_if<Refusal>(&answer)) return *refusal;
    const auto& liquid = std::get<LiquidAtTemperature>(answer);
    selected_ = -1;
    removeEnabled_ = false;  // no row is selected to remove
    fields_ = {liquid.name, liquid.temperature, liquid.viscosity, liquid.density};
    vapourPressure_ = liquid.vapourPressure;
    method_ = liquid.method;
    return std::nullopt;
}

std::optional<Refusal> FluidDatabaseModel::useWater() {
    const auto celsius = ReadTemperature(liquidTemperature_, locale_);
    if (const auto* refusal = std::get_if<Refusal>(&celsius)) return *refusal;
    const LiquidAnswer water = WaterAtTemperature(std::get<double>(celsius), std::nullopt, locale_);
    if (std::holds_alternative<Refusal>(water)) return std::get<Refusal>(water);
    setGroup(FluidGroup::Liquids);
    return takeLiquid(water);
}

std::optional<Refusal> FluidDatabaseModel::interpolateRows() {
    if (!interpolateShown())
        return Refusal{MessageKind::Information,
                       "Rows are interpolated for liquids only: for a gas, \"Change temp.\" works it out."};
    const auto celsius = ReadTemperature(liquidTemperature_, locale_);
    if (const auto* refusal = std::get_if<Refusal>(&celsius)) return *refusal;
    return takeLiquid(InterpolatedLiquid(table_, fields_[0], std::get<double>(celsius), locale_));
}

}  // namespace corvane
