#include "logic/text/LocaleNames.h"

#include <algorithm>
#include <array>
#include <string>

namespace corvane {
namespace {

// Languages whose numbers use a decimal comma.
constexpr std::array<std::string_view, 52> kCommaLanguages = {
    "af", "an", "az", "be", "bg", "br", "bs", "ca", "cs", "cv", "da", "de", "el", "eo", "es", "et", "eu",
    "fi", "fo", "fr", "fur", "fy", "gl", "hr", "hu", "hy", "id", "is", "it", "ka", "kk", "ky", "lb", "lt",
    "lv", "mk", "mn", "nb", "nl", "nn", "no", "oc", "pl", "pt", "ro", "ru", "sk", "sl", "sq", "sr", "sv",
    "tr"};
constexpr std::array<std::string_view, 6> kMoreCommaLanguages = {"uk", "uz", "vi", "wa", "tt", "tg"};

// Territories of those languages that write a decimal point.
constexpr std::array<std::string_view, 14> kPointTerritories = {
    "de_CH", "it_CH", "fr_CH", "es_MX", "es_US", "es_PR", "es_DO", "es_GT",
    "es_HN", "es_NI", "es_PA", "es_SV", "pt_AO", "de_LI"};

}  // namespace

Locale LocaleFromPosixName(std::string_view name) {
    // language[_territory][.codeset][@modifier]
    const auto cut = name.find_first_of(".@");
    const std::string_view base = name.substr(0, cut);
    const std::string_view language = base.substr(0, base.find('_'));
    Locale locale;
    const auto in = [](auto& table, std::string_view s) { return std::find(table.begin(), table.end(), s) != table.end(); };
    if ((in(kCommaLanguages, language) || in(kMoreCommaLanguages, language)) && !in(kPointTerritories, base))
        locale.decimalSeparator = ',';
    locale.usEnglish = base == "en_US" || base == "en_CA";
    return locale;
}

Locale LocaleFromEnvironment(const std::function<const char*(const char*)>& getenv) {
    for (const char* var : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* value = getenv(var);
        if (value && *value) return LocaleFromPosixName(value);
    }
    return Locale{};
}

}  // namespace corvane
