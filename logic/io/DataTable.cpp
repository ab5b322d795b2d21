#include "logic/io/DataTable.h"

#include <algorithm>

#include "logic/text/Cp1252.h"
#include "logic/text/NumberText.h"

namespace corvane {

bool IsListedCode(int code, bool fluids) {
    if (code == static_cast<int>(FluidCode::StockLiquid) || code == static_cast<int>(FluidCode::UserLiquid))
        return true;  // the same codes as PipeCode::Stock and PipeCode::User
    return fluids && (code == static_cast<int>(FluidCode::StockGas) || code == static_cast<int>(FluidCode::UserGas));
}

void DataTable::clear() {
    for (DataRecord& r : slots_) r = DataRecord{};
}

bool DataTable::add(const DataRecord& record) {
    for (DataRecord& r : slots_)
        if (r.code == 0) {
            r = record;
            return true;
        }
    return false;
}

std::size_t DataTable::used() const {
    std::size_t n = 0;
    for (const DataRecord& r : slots_) n += r.code != 0;
    return n;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

std::optional<DataRecord> ParseDataLine(std::string_view line, const Locale& locale, bool localiseThird) {
    std::string_view fields[5];
    for (int i = 0; i < 4; ++i) {
        const auto tab = line.find('\t');
        if (tab == std::string_view::npos) return std::nullopt;
        fields[i] = line.substr(0, tab);
        line.remove_prefix(tab + 1);
    }
    fields[4] = line;
    const auto code = ReadInteger(fields[0]);
    if (!code) return std::nullopt;
    DataRecord r;
    r.code = *code;
    r.f2 = std::string(fields[1]);
    r.f3 = localiseThird ? FixDecimalSeparator(fields[2], locale) : std::string(fields[2]);
    r.f4 = FixDecimalSeparator(fields[3], locale);
    r.f5 = FixDecimalSeparator(fields[4], locale);
    return r;
}

std::string JoinDataLine(const DataRecord& r) {
    return std::to_string(r.code) + "\t" + r.f2 + "\t" + r.f3 + "\t" + r.f4 + "\t" + r.f5;
}

std::string PadNumberText(const std::string& text, char separator, int limit) {
    const auto pos = text.find(separator);
    const int p = pos == std::string::npos ? 0 : static_cast<int>(pos) + 1;
    if (p > limit) return text;
    return std::string(static_cast<std::size_t>(2 * (limit + 1 - p)), ' ') + text;
}

std::string BlankFree(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != ' ') out.push_back(c);
    return out;
}

std::string StripLeadingBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

std::string NormaliseRowLine(std::string_view line) {
    std::string fields[5];
    for (int i = 0; i < 4; ++i) {
        const auto tab = line.find('\t');
        if (tab == std::string_view::npos) {
            fields[i] = std::string(line);
            line = {};
            continue;
        }
        fields[i] = std::string(line.substr(0, tab));
        line.remove_prefix(tab + 1);
    }
    fields[4] = std::string(line);
    fields[3] = StripLeadingBlanks(fields[3]);
    fields[4] = StripLeadingBlanks(fields[4]);
    return fields[0] + "\t" + fields[1] + "\t" + fields[2] + "\t" + fields[3] + "\t" + fields[4];
}

int IndexOfRow(const std::vector<std::string>& rows, const std::string& row) {
    const auto it = std::find(rows.begin(), rows.end(), row);
    return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

std::string RowAt(const std::vector<std::string>& rows, int index) {
    return index >= 0 && index < static_cast<int>(rows.size()) ? rows[static_cast<std::size_t>(index)] : std::string();
}

std::string TruncateDecimals(const std::string& text, int decimals, char separator) {
    std::string t = text;
    if (t.find(separator) == std::string::npos) {
        t.push_back(separator);
        t.push_back('0');
    }
    const auto pos = t.find(separator);
    std::string out = t.substr(0, pos + 1);
    std::string after = t.substr(pos + 1);
    int kept = 0;
    for (char c : after) {
        if (kept == decimals) break;
        out.push_back(c);
        ++kept;
    }
    for (; kept < decimals; ++kept) out.push_back('0');
    return out;
}

std::array<std::string, 4> SplitRow(const std::string& row) {
    std::array<std::string, 4> f;
    std::string_view rest(row);
    for (std::size_t i = 0; i < 3; ++i) {
        const auto tab = rest.find('\t');
        f[i] = std::string(rest.substr(0, tab));
        rest = tab == std::string_view::npos ? std::string_view() : rest.substr(tab + 1);
    }
    f[3] = std::string(rest);
    return f;
}

bool IsListed(const std::vector<std::string>& rows, const std::string& typed) {
    const std::string key = BlankFree(typed);
    for (const std::string& row : rows)
        if (BlankFree(row).compare(0, key.size(), key) == 0) return true;
    return false;
}

std::string FileNumberKey(std::string_view text, int decimals, const Locale& locale) {
    const std::string plain = BlankFree(FixDecimalSeparator(text, locale));
    const char mark = locale.decimalSeparator;
    bool digit = false;
    for (char c : plain)
        if (c >= '0' && c <= '9') digit = true;
        else if (c != mark) return plain;
    if (!digit || std::count(plain.begin(), plain.end(), mark) > 1) return plain;
    std::string kept = TruncateDecimals(plain, decimals, mark);
    const std::size_t whole = kept.find(mark);
    const std::size_t zeros = std::min(kept.find_first_not_of('0'), whole == 0 ? 0 : whole - 1);
    kept.erase(0, zeros);
    if (kept.front() == mark) kept.insert(kept.begin(), '0');
    return kept;
}

bool IsListed(const std::vector<std::string>& rows, const std::array<std::string, 4>& fields, int decimals,
              const Locale& locale) {
    const std::string name = BlankFree(fields[0]), second = BlankFree(fields[1]);
    const std::string a = FileNumberKey(fields[2], decimals, locale), b = FileNumberKey(fields[3], decimals, locale);
    for (const std::string& row : rows) {
        const auto f = SplitRow(row);
        if (BlankFree(f[0]) == name && BlankFree(f[1]) == second && FileNumberKey(f[2], decimals, locale) == a &&
            FileNumberKey(f[3], decimals, locale) == b)
            return true;
    }
    return false;
}

DataRecord UserRecord(int code, const std::array<std::string, 4>& fields, int decimals, char separator) {
    DataRecord r;
    r.code = code;
    r.f2 = DataFieldText(fields[0]);
    r.f3 = DataFieldText(fields[1]);
    r.f4 = TruncateDecimals(DataFieldText(fields[2]), decimals, separator);
    r.f5 = TruncateDecimals(DataFieldText(fields[3]), decimals, separator);
    return r;
}

bool IsAllowedTextKey(char32_t& key) {
    if (key == U'\t' || key == U'\r' || key == U'\n' || (key != kBackspaceKey && !IsCp1252(key))) key = 0;
    return key != 0;
}

bool LeaveNumberField(std::string& text, const Locale& locale) {
    if (ReadEntryNumber(text, locale) != 0.0) return true;
    if (text.empty()) text = "?";
    return false;
}

}  // namespace corvane
