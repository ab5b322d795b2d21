#include "logic/text/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace corvane {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Parses text already tidied; nullopt when it is not a number.
std::optional<double> ParseNumber(std::string_view text, char separator) {
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    text = text.substr(b, e - b);

    bool negative = false;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    // Normalised copy for from_chars: digits, '.', exponent.
    std::string plain;
    plain.reserve(text.size());
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) plain.push_back(text[i++]), ++digits;
    if (i < text.size() && text[i] == separator) {
        plain.push_back('.');
        ++i;
        while (i < text.size() && IsDigit(text[i])) plain.push_back(text[i++]), ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        plain.push_back('e');
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) plain.push_back(text[i++]);
        std::size_t expDigits = 0;
        while (i < text.size() && IsDigit(text[i])) plain.push_back(text[i++]), ++expDigits;
        if (expDigits == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;

    double value = 0.0;
    const char* first = plain.data();
    const char* last = first + plain.size();
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Beyond the range of a double: too large reads as unreadable,
        // too small is 0 anyway.
        return std::nullopt;
    }
    if (ec != std::errc() || ptr != last || !std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

// Adds one to the decimal digit string, carrying to the left; returns true
// when the carry runs out of the first digit.
bool IncrementDigits(std::string& digits) {
    for (std::size_t k = digits.size(); k-- > 0;) {
        if (digits[k] != '9') {
            ++digits[k];
            return false;
        }
        digits[k] = '0';
    }
    return true;
}

}  // namespace

std::string FixDecimalSeparator(std::string_view text, const Locale& locale) {
    std::string out(text);
    const auto pos = out.find(locale.foreignSeparator());
    if (pos != std::string::npos) out[pos] = locale.decimalSeparator;
    return out;
}

std::string TidyEntryText(std::string_view text, const Locale& locale) {
    return FixDecimalSeparator(text, locale);
}

double ReadEntryNumber(std::string_view text, const Locale& locale) {
    const std::string tidy = FixDecimalSeparator(text, locale);
    return ParseNumber(tidy, locale.decimalSeparator).value_or(0.0);
}

bool IsEntryNumber(std::string_view text, const Locale& locale) {
    const std::string tidy = FixDecimalSeparator(text, locale);
    return ParseNumber(tidy, locale.decimalSeparator).has_value();
}

std::optional<std::string> WriteEntryNumber(double value, int decimals, const Locale& locale) {
    return WriteFixedNumber(value, decimals, 15, locale);
}

std::string WriteTrimmedNumber(double value, int decimals, const Locale& locale) {
    std::string s = WriteEntryNumber(value, decimals, locale).value_or("");
    if (s.find(locale.decimalSeparator) != std::string::npos && s.find('E') == std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == locale.decimalSeparator) s.pop_back();
    }
    return s;
}

std::optional<std::string> WriteFixedNumber(double value, int decimals, int precision, const Locale& locale) {
    if (!std::isfinite(value)) return std::nullopt;
    decimals = std::clamp(decimals, 0, 18);
    precision = std::clamp(precision, 1, 15);

    // `precision` significant digits, correctly rounded: "d.dddde+XX".
    char buf[64];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, precision - 1);
    if (res.ec != std::errc()) return std::nullopt;
    const std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
    const std::size_t ePos = sci.find('e');
    std::string digits;
    digits.push_back(sci[0]);
    if (ePos > 2) digits.append(sci.substr(2, ePos - 2));
    int exponent = std::atoi(std::string(sci.substr(ePos + 1)).c_str());
    const bool negative = value < 0.0;
    const bool zero = value == 0.0;

    if (!zero && exponent + 1 > precision) {
        // Too many digits before the separator: scientific notation.
        std::string mantissa = digits;
        while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();
        std::string out = negative ? "-" : "";
        out.push_back(mantissa[0]);
        if (mantissa.size() > 1) {
            out.push_back(locale.decimalSeparator);
            out.append(mantissa, 1);
        }
        out.push_back('E');
        out += std::to_string(exponent);
        return out;
    }

    // Digit k has the weight 10^(exponent - k); keep those down to 10^-decimals.
    std::string kept;
    if (!zero) {
        const int keep = exponent + decimals + 1;
        if (keep >= static_cast<int>(digits.size())) {
            kept = digits + std::string(static_cast<std::size_t>(keep) - digits.size(), '0');
        } else if (keep >= 0) {
            kept = digits.substr(0, static_cast<std::size_t>(keep));
            if (digits[static_cast<std::size_t>(keep)] >= '5') {
                if (IncrementDigits(kept)) {
                    kept.insert(kept.begin(), '1');
                    ++exponent;
                }
            }
        }
        // keep < 0: below half a unit of the last decimal, rounds to zero.
    }

    // kept now holds the digits from 10^exponent down to 10^-decimals.
    std::string intPart;
    std::string fracPart;
    if (kept.empty() || std::all_of(kept.begin(), kept.end(), [](char c) { return c == '0'; })) {
        intPart = "0";
        fracPart.assign(static_cast<std::size_t>(decimals), '0');
    } else {
        const int intDigits = exponent + 1;
        if (intDigits <= 0) {
            intPart = "0";
            fracPart = std::string(static_cast<std::size_t>(-intDigits), '0') + kept;
        } else {
            intPart = kept.substr(0, static_cast<std::size_t>(intDigits));
            fracPart = kept.substr(static_cast<std::size_t>(intDigits));
        }
        fracPart.resize(static_cast<std::size_t>(decimals), '0');
    }
    const bool showsNonZero = intPart != "0" || fracPart.find_first_not_of('0') != std::string::npos;
    std::string out = negative && showsNonZero ? "-" : "";
    out += intPart;
    if (decimals > 0) {
        out.push_back(locale.decimalSeparator);
        out += fracPart;
    }
    return out;
}

std::optional<int> ReadInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i])) return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > 2147483648LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > 2147483647LL || value < -2147483648LL) return std::nullopt;
    return static_cast<int>(value);
}

bool IsAllowedEntryKey(std::string_view entryText, char32_t& key, const Locale& locale) {
    const char32_t separator = static_cast<unsigned char>(locale.decimalSeparator);
    const bool inSet = key == kBackspaceKey || (key >= U'0' && key <= U'9') || key == separator;
    if (!inSet) key = 0;
    if (key == separator && entryText.find(locale.decimalSeparator) != std::string_view::npos) key = 0;
    return key != 0;
}

}  // namespace corvane
