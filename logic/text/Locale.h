#pragma once
// The user's locale as the calculator sees it: the decimal separator of all
// number text, and whether the user is US or Canadian English (US spellings
// of the metric flow units, and Imperial units at start).
//
// It is always passed in as a value; nothing in the logic reads the process
// locale, so every rule can be exercised with '.' and with ','.

namespace corvane {

struct Locale {
    char decimalSeparator = '.';
    bool usEnglish = false;

    // The separator that is repaired on reading: ',' for a '.' locale,
    // '.' for every other.
    char foreignSeparator() const { return decimalSeparator == '.' ? ',' : '.'; }
};

inline Locale DotLocale() { return Locale{'.', false}; }
inline Locale CommaLocale() { return Locale{',', false}; }

}  // namespace corvane
