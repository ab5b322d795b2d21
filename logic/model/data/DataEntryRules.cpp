#include "logic/model/data/DataEntryRules.h"

#include "logic/io/DataTable.h"
#include "logic/text/Cp1252.h"
#include "logic/text/NumberText.h"

namespace corvane {
namespace {

// Significant digits a double keeps exactly: more digits before and after
// the mark than this, and the file's text no longer says one number.
constexpr int kMostDigits = 15;

std::string The(std::string_view what) { return "The " + std::string(what); }

Refusal Refuse(std::string text) { return {MessageKind::Warning, std::move(text)}; }

}  // namespace

std::optional<Refusal> CheckEntryText(std::string_view what, std::string_view text) {
    if (text.find_first_not_of(' ') == std::string_view::npos) return Refuse(The(what) + " cannot be empty.");
    std::size_t characters = 0;
    bool fits = true;
    for (std::size_t pos = 0; pos < text.size(); ++characters) {
        const std::size_t start = pos;
        const char32_t c = NextCodePoint(text, pos);
        const bool malformed = c == 0xFFFD && pos - start != 3;
        // The C1 controls (U+0080 to U+009F) too: Windows-1252 holds
        // five of them (0x81, 0x8D, 0x8F, 0x90, 0x9D) as bytes it leaves
        // undefined.
        const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
        if (control || malformed || !IsCp1252(c)) fits = false;
    }
    if (!fits)
        return Refuse(The(what) +
                      " cannot hold a TAB, a line break, another control character or a character outside "
                      "Windows-1252.");
    if (characters > kMostEntryCharacters)
        return Refuse(The(what) + " is too long: it may hold at most " + std::to_string(kMostEntryCharacters) +
                      " characters.");
    return std::nullopt;
}

std::variant<std::string, Refusal> EntryNumberText(std::string_view what, std::string_view text, int decimals,
                                                   const Locale& locale) {
    std::string typed = FixDecimalSeparator(text, locale);
    while (!typed.empty() && typed.front() == ' ') typed.erase(typed.begin());
    while (!typed.empty() && typed.back() == ' ') typed.pop_back();
    const bool negative = !typed.empty() && typed.front() == '-';
    const std::string digits = negative ? typed.substr(1) : typed;
    bool mark = false, digit = false, plain = true;
    for (char c : digits) {
        if (c >= '0' && c <= '9') digit = true;
        else if (c == locale.decimalSeparator && !mark) mark = true;
        else plain = false;
    }
    if (!plain || !digit)
        return Refuse(The(what) + " must be a number such as " + FixDecimalSeparator("1.5", locale) + ", not '" +
                      std::string(text) + "'.");
    if (negative && ReadEntryNumber(digits, locale) != 0.0) return Refuse(The(what) + " cannot be negative.");

    const std::string kept = TruncateDecimals(digits, decimals, locale.decimalSeparator);
    const std::size_t start = kept.find_first_not_of('0');
    const std::size_t whole = kept.find(locale.decimalSeparator);
    const int wholeDigits = start == std::string::npos || start >= whole ? 0 : static_cast<int>(whole - start);
    if (wholeDigits > kMostDigits - decimals)
        return Refuse(The(what) + " is too large: the data file holds at most " +
                      std::string(static_cast<std::size_t>(kMostDigits - decimals), '9') + locale.decimalSeparator +
                      std::string(static_cast<std::size_t>(decimals), '9') + ".");
    if (ReadEntryNumber(kept, locale) == 0.0) {
        const std::string smallest = std::string("0") + locale.decimalSeparator +
                                     std::string(static_cast<std::size_t>(decimals - 1), '0') + "1";
        return Refuse(The(what) + " must be at least " + smallest + ", the smallest value the data file holds (" +
                      std::to_string(decimals) + " decimals).");
    }
    return kept;
}

std::optional<Refusal> CheckEntryFields(const std::array<std::string, 4>& fields,
                                        const std::array<const char*, 4>& what, int decimals, const Locale& locale) {
    for (std::size_t f = 0; f < 2; ++f)
        if (auto refusal = CheckEntryText(what[f], fields[f])) return refusal;
    for (std::size_t f = 2; f < 4; ++f) {
        const auto number = EntryNumberText(what[f], fields[f], decimals, locale);
        if (const auto* refusal = std::get_if<Refusal>(&number)) return *refusal;
    }
    return std::nullopt;
}

std::optional<Refusal> LiquidDensityRefusal(std::string_view text, const Locale& locale, std::string_view row) {
    const double density = ReadEntryNumber(text, locale);
    if (density > 0 && density <= kMostRelativeDensity) return std::nullopt;
    const std::string number = WriteTrimmedNumber(density, 6, locale);
    const std::string limit = "A liquid's relative density is above 0 and at most " +
                              WriteTrimmedNumber(kMostRelativeDensity, 0, locale) +
                              "; only a gas's density is in kg/m\u00b3.";
    if (row.empty()) return Refuse(number + " is a relative density: water is 1.\r" + limit);
    return Refuse("The row " + std::string(row) + " gives the density " + number +
                  ", a relative density: water is 1.\r" + limit + " This row cannot be used.");
}

Refusal TableFull(std::string_view rows, std::size_t slots) {
    return {MessageKind::Information, "The list is full: it holds at most " + std::to_string(slots) + " " +
                                          std::string(rows) +
                                          ", stock and user entries together.\rRemove a user entry to make room."};
}

}  // namespace corvane
