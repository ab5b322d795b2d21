#pragma once
// The pipe internal diameter data base: 501 pipes loaded from the user
// file and then the stock file, listed in slot order, chosen by row or by
// pipe type and nominal diameter, with adding and removing user entries.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "logic/io/DataFiles.h"
#include "logic/io/DataTable.h"
#include "logic/model/panels/PanelControls.h"
#include "logic/text/Locale.h"

namespace corvane {

inline constexpr std::size_t kPipeSlots = 501;
inline constexpr const char* kPipeStockFile = "CorvanePipeIDO.dat";
inline constexpr const char* kPipeUserFile = "CorvaneUserPipeID.dat";
inline constexpr const char* kPipeBackupFile = "CorvaneUserPipeID.bak";


// Whether a record of the table is a pipe (of the stock or the user file).
bool IsPipeRecord(const DataRecord& record);

class PipeDatabaseModel {
public:
    enum class Field { Type, Nominal, Millimetres, Inches };
    // Who started a row selection or a choice: the list of pipes, the pipe
    // type list, the nominal diameter list, or the dialog itself.
    enum class Source { List, TypeList, NominalList, Dialog };

    PipeDatabaseModel(DataFiles files, const Locale& locale);

    std::optional<std::string> load();
    const DataTable& table() const { return table_; }

    const std::vector<std::string>& rows() const { return rows_; }
    int selected() const { return selected_; }
    const std::vector<std::string>& types() const { return types_; }
    int selectedType() const { return selectedType_; }
    const std::vector<std::string>& nominals() const { return nominals_; }
    int selectedNominal() const { return selectedNominal_; }
    const std::string& field(Field f) const { return fields_[static_cast<std::size_t>(f)]; }
    bool removeEnabled() const { return removeEnabled_; }
    bool dataUsed() const { return dataUsed_; }

    void show();
    void selectRow(int index, Source source = Source::List);
    void chooseType(int index, Source source = Source::TypeList);
    void chooseNominal(int index, Source source = Source::NominalList);
    void setField(Field f, const std::string& text);
    bool keyPress(Field f, char32_t& key);
    bool leave(Field f);
    std::optional<Refusal> add();
    std::optional<Refusal> remove();
    // "Use this data" and a double click: the dialog closes with the data
    // (the fluid data base may refuse; this one never does).
    std::optional<Refusal> useData() {
        dataUsed_ = true;
        return std::nullopt;
    }
    std::optional<Refusal> doubleClick(int index);

    // The diameter text a panel takes: millimetres when metric, else inches.
    std::string diameterFor(bool metric) const { return metric ? field(Field::Millimetres) : field(Field::Inches); }

private:
    void fillList();
    void fillTypes();
    void rowSelection(Source source);
    void nominalChoice(Source source);
    bool isUserLine(const std::string& normalised) const;
    // The files read again and listed, the selected row kept; the problem
    // of a file that cannot be read.
    std::optional<std::string> reread();

    DataFiles files_;
    Locale locale_;
    DataTable table_{kPipeSlots};
    std::vector<std::string> rows_;
    int selected_ = -1;
    std::vector<std::string> types_;
    int selectedType_ = -1;
    std::vector<std::string> nominals_;
    int selectedNominal_ = -1;
    std::array<std::string, 4> fields_;
    bool removeEnabled_ = false;
    bool firstShown_ = false;
    bool dataUsed_ = false;
};

}  // namespace corvane
