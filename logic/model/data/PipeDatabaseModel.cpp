#include "logic/model/data/PipeDatabaseModel.h"

#include <algorithm>

#include "logic/model/data/DataEntryRules.h"
#include "logic/model/data/FluidDatabaseModel.h"
#include "logic/text/Cp1252.h"
#include "logic/text/NumberText.h"

namespace corvane {
namespace {

const std::string kUserCode = std::to_string(static_cast<int>(PipeCode::User));

}  // namespace

bool IsPipeRecord(const DataRecord& r) {
    return r.code == static_cast<int>(PipeCode::Stock) || r.code == static_cast<int>(PipeCode::User);
}

PipeDatabaseModel::PipeDatabaseModel(DataFiles files, const Locale& locale)
    : files_(std::move(files)), locale_(locale) {
    fields_ = {"Pipe type", "Nominal diameter", FixDecimalSeparator("25.400", locale_),
               FixDecimalSeparator("1.000", locale_)};
}

std::optional<std::string> PipeDatabaseModel::load() {
    std::optional<std::string> problem = files_.recover();
    // The user's pipes first, then the stock ones.
    if (auto error = files_.fill(table_, locale_, false, true)) problem = problem ? *problem + "\r" + *error : *error;
    return problem;
}

void PipeDatabaseModel::fillList() {
    rows_.clear();
    for (const DataRecord& r : table_.records()) {
        if (!IsPipeRecord(r)) continue;
        rows_.push_back(r.f2 + "\t" + r.f3 + "\t" + PadNumberText(r.f4, locale_.decimalSeparator, 10) + "\t" +
                        PadNumberText(r.f5, locale_.decimalSeparator, 10));
    }
    selected_ = -1;
}

void PipeDatabaseModel::fillTypes() {
    types_.clear();
    for (const DataRecord& r : table_.records()) {
        if (!IsPipeRecord(r)) continue;
        if (std::find(types_.begin(), types_.end(), r.f2) == types_.end()) types_.push_back(r.f2);
    }
    selectedType_ = -1;
}

bool PipeDatabaseModel::isUserLine(const std::string& normalised) const {
    return files_.hasUserLine(normalised);
}

void PipeDatabaseModel::rowSelection(Source source) {
    if (selected_ < 0 || selected_ >= static_cast<int>(rows_.size())) return;
    const std::string& row = rows_[static_cast<std::size_t>(selected_)];
    removeEnabled_ = isUserLine(NormaliseRowLine(kUserCode + "\t" + row));
    const auto f = SplitRow(row);
    fields_ = {f[0], f[1], StripLeadingBlanks(f[2]), StripLeadingBlanks(f[3])};
    if (source != Source::List) return;
    const auto type = std::find(types_.begin(), types_.end(), f[0]);
    if (type == types_.end()) return;
    selectedType_ = static_cast<int>(type - types_.begin());
    chooseType(selectedType_, Source::List);
    const auto nominal = std::find(nominals_.begin(), nominals_.end(), f[1]);
    if (nominal != nominals_.end()) selectedNominal_ = static_cast<int>(nominal - nominals_.begin());
}

void PipeDatabaseModel::selectRow(int index, Source source) {
    if (index < 0 || index >= static_cast<int>(rows_.size())) return;
    selected_ = index;
    rowSelection(source);
}

void PipeDatabaseModel::chooseType(int index, Source source) {
    if (index < 0 || index >= static_cast<int>(types_.size())) return;
    selectedType_ = index;
    const std::string& type = types_[static_cast<std::size_t>(index)];
    if (source != Source::List) {
        for (std::size_t i = 0; i < rows_.size(); ++i)
            if (SplitRow(rows_[i])[0] == type) {
                selected_ = static_cast<int>(i);
                break;
            }
    }
    nominals_.clear();
    for (const std::string& row : rows_) {
        const auto f = SplitRow(row);
        if (f[0] == type) nominals_.push_back(f[1]);
    }
    selectedNominal_ = -1;
    if (source == Source::TypeList && !nominals_.empty()) selectedNominal_ = 0;
    nominalChoice(source);
}

void PipeDatabaseModel::chooseNominal(int index, Source source) {
    if (index < 0 || index >= static_cast<int>(nominals_.size())) return;
    selectedNominal_ = index;
    nominalChoice(source);
}

void PipeDatabaseModel::nominalChoice(Source source) {
    if (source == Source::List) return;
    if (selectedType_ < 0 || selectedNominal_ < 0) return;
    const std::string& type = types_[static_cast<std::size_t>(selectedType_)];
    const std::string& nominal = nominals_[static_cast<std::size_t>(selectedNominal_)];
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const auto f = SplitRow(rows_[i]);
        if (f[0] == type && f[1] == nominal) {
            selected_ = static_cast<int>(i);
            rowSelection(source);
            return;
        }
    }
}

void PipeDatabaseModel::show() {
    if (!firstShown_) {
        firstShown_ = true;
        fillList();
        selectRow(0, Source::Dialog);
        fillTypes();
        if (!types_.empty()) {
            selectedType_ = 0;
            chooseType(0, Source::Dialog);
        }
        if (!nominals_.empty()) selectedNominal_ = 0;
    }
    dataUsed_ = false;
}

void PipeDatabaseModel::setField(Field f, const std::string& text) {
    fields_[static_cast<std::size_t>(f)] = DataFieldText(text);
}

bool PipeDatabaseModel::keyPress(Field f, char32_t& key) {
    if (f == Field::Type || f == Field::Nominal) return IsAllowedTextKey(key);
    return IsAllowedEntryKey(field(f), key, locale_);
}

bool PipeDatabaseModel::leave(Field f) {
    if (f == Field::Type || f == Field::Nominal) return true;
    return LeaveNumberField(fields_[static_cast<std::size_t>(f)], locale_);
}

std::optional<std::string> PipeDatabaseModel::reread() {
    const std::string row = RowAt(rows_, selected_);
    const auto problem = files_.refill(table_, locale_, false, true);
    fillList();
    if (!row.empty()) selected_ = IndexOfRow(rows_, row);  // kept where it is still listed
    return problem;
}

std::optional<Refusal> PipeDatabaseModel::add() {
    if (auto refusal = CheckEntryFields(
            fields_, {"pipe type", "nominal diameter", "internal diameter in mm", "internal diameter in inches"},
            kPipeDecimals, locale_))
        return refusal;
    // Decided on what the file holds now, while no other program may
    // change it.
    DataFiles::Hold held;
    if (auto problem = files_.hold(held)) return Refusal{MessageKind::Error, kAddFailedText + *problem};
    if (auto problem = reread()) return Refusal{MessageKind::Error, kAddFailedText + *problem};
    if (IsListed(rows_, fields_, kPipeDecimals, locale_))
        return Refusal{MessageKind::Information, kEntryExistsText};
    if (table_.used() >= kPipeSlots) return TableFull("pipes", kPipeSlots);
    const DataRecord r = UserRecord(static_cast<int>(PipeCode::User), fields_, kPipeDecimals, locale_.decimalSeparator);
    if (auto problem = files_.append(JoinDataLine(r)))
        return Refusal{MessageKind::Error, kAddFailedText + *problem};
    load();
    fillList();
    const std::string written = BlankFree(r.f2 + "\t" + r.f3 + "\t" + r.f4 + "\t" + r.f5);
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (BlankFree(rows_[i]) == written) {
            selectRow(static_cast<int>(i), Source::List);
            break;
        }
    return std::nullopt;
}

std::optional<Refusal> PipeDatabaseModel::remove() {
    if (!removeEnabled_ || selected_ < 0 || selected_ >= static_cast<int>(rows_.size()))
        return std::nullopt;
    const std::string key = NormaliseRowLine(kUserCode + "\t" + rows_[static_cast<std::size_t>(selected_)]);
    const int index = selected_;
    DataFiles::Hold held;
    if (auto problem = files_.hold(held)) return Refusal{MessageKind::Error, kRemoveFailedText + *problem};
    bool removed = false;
    if (auto problem = files_.removeFirst(key, {}, &removed))
        return Refusal{MessageKind::Error, kRemoveFailedText + *problem};
    removeEnabled_ = false;
    reread();
    if (!removed) return Refusal{MessageKind::Information, kEntryGoneText};
    selectRow(index < static_cast<int>(rows_.size()) ? index : 0, Source::List);
    return std::nullopt;
}

std::optional<Refusal> PipeDatabaseModel::doubleClick(int index) {
    selectRow(index, Source::List);
    return useData();
}

}  // namespace corvane
