#pragma once
// logic/text: text as the program reads and writes it - number text and the
// entry key rule, the locale, the Windows-1252 codec of the files, the tab
// stops of listed rows.  It includes nothing above it.
//
// This header: number text and the key rule of numeric entries.
//
// Every number the user types or the program shows is text in the locale's
// format.  Reading repairs the first "foreign" decimal separator ("," in a
// "." locale, "." otherwise) and never fails: unreadable text reads as 0.
// Writing uses fixed-point notation with a given number of decimals.
//
// Nothing here consults the C or C++ global locale: parsing and formatting
// go through std::from_chars / std::to_chars.

#include <optional>
#include <string>
#include <string_view>

#include "logic/text/Locale.h"

namespace corvane {

// The first foreign separator, if any, becomes the locale's separator;
// later ones stay as they are.
std::string FixDecimalSeparator(std::string_view text, const Locale& locale);

// The entry text with its first foreign separator repaired.
std::string TidyEntryText(std::string_view text, const Locale& locale);

// The text read as a decimal number in the locale's format after
// FixDecimalSeparator: optional blanks around it, optional sign, digits
// with at most one decimal separator, optional exponent.  Empty or
// unreadable text, and a number beyond the range of a double, read as 0.
// The result is always finite.
double ReadEntryNumber(std::string_view text, const Locale& locale);

// True when the text reads as a number under the rules of ReadEntryNumber.
bool IsEntryNumber(std::string_view text, const Locale& locale);

// The value in fixed-point notation with exactly `decimals` digits after
// the locale's separator (none for 0 decimals), rounded first to 15
// significant digits and then to `decimals` decimals (halves away from
// zero).  A value with more than 15 digits before the separator is written
// in scientific notation instead: its 15 significant digits without
// trailing zeros, "E" and the exponent ("1.23456789012346E20").  No thousands
// separators; "-" for negative values, never for a value that rounds to 0.
// NaN and infinities cannot be written: the result is empty then.
// `decimals` is clamped to 0..18.
std::optional<std::string> WriteEntryNumber(double value, int decimals, const Locale& locale);

// As WriteEntryNumber, rounding first to `precision` (1..15) significant
// digits; more integer digits than that give the scientific form.
std::optional<std::string> WriteFixedNumber(double value, int decimals, int precision, const Locale& locale);

// As WriteEntryNumber with at most `decimals` decimals: trailing zeros
// after the separator, and then a bare separator, are dropped ("12.5",
// "140"); empty for NaN and infinities.
std::string WriteTrimmedNumber(double value, int decimals, const Locale& locale);

// Reads a decimal integer (optional blanks before it, optional sign,
// digits) as an int; std::nullopt for anything else or out of range.
std::optional<int> ReadInteger(std::string_view text);

// The key rule of numeric entries.  Allowed: Backspace (8), "0".."9" and
// the locale's separator, the separator only while `entryText` (the whole
// text, a selection included) holds none.  A refused key is set to 0 and
// the result is false.
inline constexpr char32_t kBackspaceKey = 8;
bool IsAllowedEntryKey(std::string_view entryText, char32_t& key, const Locale& locale);

}  // namespace corvane
