#pragma once
// Helpers for comparing numbers as the program prints them.

#include <string>

#include "logic/text/Locale.h"
#include "logic/text/NumberText.h"

namespace corvane::test {

// The value as the program writes it with `decimals` decimals and a '.'.
inline std::string Fixed(double value, int decimals) {
    return WriteEntryNumber(value, decimals, DotLocale()).value_or("<not writable>");
}

}  // namespace corvane::test
