#pragma once
// The reference data tables (fluids, pipe diameters): fixed numbers of
// slots filled from tab-separated lines of five fields, and the text rules
// that their dialogs share.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "logic/text/Locale.h"

namespace corvane {

// The kind code that begins a fluid's line in the data files: the group in
// the tens, and 1 in the units for a line the user added.
enum class FluidCode : int { StockLiquid = 10, UserLiquid = 11, StockGas = 20, UserGas = 21 };
// The kind code that begins a pipe's line in the data files.
enum class PipeCode : int { Stock = 10, User = 11 };

// Whether a kind code is one of a fluid's (or, with fluids false, a pipe's).
bool IsListedCode(int code, bool fluids);

// Kind code and four text fields.  Code 0 marks a free slot.
struct DataRecord {
    int code = 0;
    std::string f2, f3, f4, f5;
    bool operator==(const DataRecord&) const = default;
};

class DataTable {
public:
    explicit DataTable(std::size_t count) : slots_(count) {}
    void clear();
    // Into the first free slot; false (and dropped) when none is free.
    bool add(const DataRecord& record);
    const std::vector<DataRecord>& records() const { return slots_; }
    std::size_t used() const;

private:
    std::vector<DataRecord> slots_;
};

// The lines of a file's text: CR LF, CR or LF end a line; a last line
// without an end counts.
std::vector<std::string> SplitLines(std::string_view text);

// One line split at TABs from the left (the fifth field is the rest of the
// line), with the first foreign decimal mark of the localised fields
// (4 and 5, and 3 when `localiseThird`) made the locale's.  Nothing for a
// malformed line: fewer than five fields, or a kind code that is not an
// integer.
std::optional<DataRecord> ParseDataLine(std::string_view line, const Locale& locale, bool localiseThird);

// The five fields joined with TABs.
std::string JoinDataLine(const DataRecord& record);

// A number text padded for the list: with p the 1-based position of the
// separator (0 when absent), (limit + 1 - p) pairs of blanks go before it
// when p <= limit.
std::string PadNumberText(const std::string& text, char separator, int limit);

// The index of the row, or -1; the row at an index, or "".
int IndexOfRow(const std::vector<std::string>& rows, const std::string& row);
std::string RowAt(const std::vector<std::string>& rows, int index);

// The text without any blank (code 32).
std::string BlankFree(std::string_view text);

// "code TAB row" split into its five fields with the leading blanks of
// fields 4 and 5 stripped, joined again.
std::string NormaliseRowLine(std::string_view codeAndRow);

// The leading blanks removed.
std::string StripLeadingBlanks(std::string_view text);

// A number text with exactly `decimals` digits after the separator, by
// truncation: "1.5" -> "1.500000", "2" -> "2.000000", "1.23456789" ->
// "1.234567" (six decimals).
std::string TruncateDecimals(const std::string& text, int decimals, char separator);

// A listed row's four fields: the first three up to their TABs, the rest of
// the row as the fourth.
std::array<std::string, 4> SplitRow(const std::string& row);

// Whether a row's blank-free text begins with the blank-free `typed` text
// (the four fields joined with TABs).
bool IsListed(const std::vector<std::string>& rows, const std::string& typed);

// The data bases' duplicate test, one for the dialogs and corvane-cli:
// whether a listed row has the typed fields, its two texts as typed
// (blanks aside) and its two numbers as the file would hold them, brought
// to its `decimals` and without leading zeros ("052.5" and "52.500000" are
// one number).
bool IsListed(const std::vector<std::string>& rows, const std::array<std::string, 4>& fields, int decimals,
              const Locale& locale);

// A number text as a file of `decimals` decimals holds it, without
// leading zeros: "052.5" -> "52.500000"; a text that is not plain digits
// with one decimal mark, blank-free as it is.
std::string FileNumberKey(std::string_view text, int decimals, const Locale& locale);

// The record a user's four typed fields make under `code`: the two texts as
// the data files hold them, the two numbers cut to `decimals` decimals.
DataRecord UserRecord(int code, const std::array<std::string, 4>& fields, int decimals, char separator);

// A key typed into a name field: anything a line of the data files can hold
// (no TAB, CR or LF, and a Windows-1252 character).  A refused key is 0.
bool IsAllowedTextKey(char32_t& key);

// Leaving a number field of a data base dialog: true when it reads as a
// number other than 0; otherwise an empty text becomes "?".
bool LeaveNumberField(std::string& text, const Locale& locale);

}  // namespace corvane
