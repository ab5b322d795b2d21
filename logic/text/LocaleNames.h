#pragma once
// The calculator's locale from a POSIX locale name ("de_DE.UTF-8",
// "en_US", "C"), for the programs that have no desktop to ask.

#include <functional>
#include <string_view>

#include "logic/text/Locale.h"

namespace corvane {

// Decimal separator of the name's language and territory ('.' for names
// it does not know, "C" and "POSIX"); US/Canadian English for en_US and
// en_CA.
Locale LocaleFromPosixName(std::string_view name);

// The locale named by LC_ALL, else LC_NUMERIC, else LANG (the first that is
// set and not empty), read through `getenv`.
Locale LocaleFromEnvironment(const std::function<const char*(const char*)>& getenv);

}  // namespace corvane
