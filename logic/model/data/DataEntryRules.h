#pragma once
// What an entry of the data bases (fluids, pipes, pumps) must be so that it
// can be listed, used and removed again: the one check of the dialogs, the
// Pump tab and corvane-cli.
//
// - A text (name, temperature, pipe type, nominal size, pump name) is not
//   empty, holds at most 100 characters, no control character (a TAB, a
//   line break, codes below 32, 127 and the C1 controls 128 to 159) and
//   only characters of Windows-1252, the files' code page.
// - A number is digits with one decimal mark, brought to the decimals its
//   file keeps (by truncation) before it is checked: it must not become 0
//   there, and must fit the file's fixed-decimal text (15 digits in all).

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "logic/model/shared/Refusal.h"
#include "logic/text/Locale.h"

namespace corvane {

inline constexpr std::size_t kMostEntryCharacters = 100;
// Decimals of the numbers in the user files.
inline constexpr int kFluidDecimals = 6;
inline constexpr int kPipeDecimals = 3;

// The refusal of a text field, `what` naming it ("fluid name").
std::optional<Refusal> CheckEntryText(std::string_view what, std::string_view text);

// A number field as its file will hold it ("46" -> "46.000000"), either
// decimal mark read as the locale's; or the refusal.
std::variant<std::string, Refusal> EntryNumberText(std::string_view what, std::string_view text, int decimals,
                                                   const Locale& locale);

// The refusal of a fluid's or a pipe's four typed fields: two texts and two
// numbers of `decimals` decimals, named by `what`.
std::optional<Refusal> CheckEntryFields(const std::array<std::string, 4>& fields,
                                        const std::array<const char*, 4>& what, int decimals, const Locale& locale);

// The refusal of an addition to a full table of `slots` rows.
Refusal TableFull(std::string_view rows, std::size_t slots);

// The DENSITY of a fluid data base row is a liquid's relative density
// (water is 1) and a gas's density in kg/m3.  A liquid's is above 0 and at
// most this, as a run file takes it (30,000 kg/m3).
inline constexpr double kMostRelativeDensity = 30.0;

// The refusal of a liquid's density text that is no such relative density
// ("880 is a relative density: water is 1."), naming the data base's `row`
// ("Oil 20") where it comes from one.
std::optional<Refusal> LiquidDensityRefusal(std::string_view text, const Locale& locale, std::string_view row = {});

}  // namespace corvane
