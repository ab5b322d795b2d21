#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "logic/text/NumberText.h"

namespace corvane {
namespace {

const Locale kDot = DotLocale();
const Locale kComma = CommaLocale();

TEST(FixDecimalSeparator, RepairsOnlyTheFirstForeignSeparator) {
    EXPECT_EQ(FixDecimalSeparator("12.5", kComma), "12,5");
    EXPECT_EQ(FixDecimalSeparator("1.234.5", kComma), "1,234.5");
    EXPECT_EQ(FixDecimalSeparator("12,5", kDot), "12.5");
    EXPECT_EQ(FixDecimalSeparator("1,2,3", kDot), "1.2,3");
    EXPECT_EQ(FixDecimalSeparator("12,5", kComma), "12,5");
    EXPECT_EQ(FixDecimalSeparator("", kDot), "");
    EXPECT_EQ(TidyEntryText(" 3,75 ", kDot), " 3.75 ");
}

TEST(ReadEntryNumber, EitherSeparatorIsAccepted) {
    EXPECT_EQ(ReadEntryNumber("12.5", kComma), 12.5);
    EXPECT_EQ(ReadEntryNumber("12,5", kComma), 12.5);
    EXPECT_EQ(ReadEntryNumber("12.5", kDot), 12.5);
    EXPECT_EQ(ReadEntryNumber("12,5", kDot), 12.5);
}

TEST(ReadEntryNumber, OnlyTheFirstSeparatorIsRepaired) {
    EXPECT_EQ(ReadEntryNumber("1.234.5", kComma), 0.0);
    EXPECT_EQ(ReadEntryNumber("1,234,5", kDot), 0.0);
    EXPECT_EQ(ReadEntryNumber("1,234.5", kDot), 0.0);
}

TEST(ReadEntryNumber, UsualDecimalNumberRules) {
    for (const Locale& l : {kDot, kComma}) {
        EXPECT_EQ(ReadEntryNumber("  -3.5  ", l), -3.5);
        EXPECT_EQ(ReadEntryNumber("+7", l), 7.0);
        EXPECT_EQ(ReadEntryNumber("1.5E3", l), 1500.0);
        EXPECT_EQ(ReadEntryNumber("2e-3", l), 0.002);
        EXPECT_EQ(ReadEntryNumber("2E+2", l), 200.0);
        EXPECT_EQ(ReadEntryNumber(".5", l), 0.5);
        EXPECT_EQ(ReadEntryNumber("5.", l), 5.0);
        EXPECT_EQ(ReadEntryNumber("007", l), 7.0);
    }
}

TEST(ReadEntryNumber, UnreadableTextIsZero) {
    for (const Locale& l : {kDot, kComma})
        for (const char* text : {"", "?", " ", "abc", "1a", "--1", "+-1", "1e", "e5", ".", "-", "1 2", "0x10",
                                 "inf", "nan", "1e999", "-1e999", "\t1", "1\t", "١"}) {
            EXPECT_EQ(ReadEntryNumber(text, l), 0.0) << '"' << text << '"';
            EXPECT_FALSE(IsEntryNumber(text, l)) << '"' << text << '"';
        }
}

TEST(ReadEntryNumber, TinyNumbersAreZeroOrTheirValue) {
    EXPECT_EQ(ReadEntryNumber("1e-400", kDot), 0.0);
    EXPECT_EQ(ReadEntryNumber("4e-310", kDot), 4e-310);
}

TEST(WriteEntryNumber, ExamplesOfTheReadouts) {
    EXPECT_EQ(WriteEntryNumber(84544.46, 0, kDot), "84544");
    EXPECT_EQ(WriteEntryNumber(84544.46, 0, kComma), "84544");
    EXPECT_EQ(WriteEntryNumber(2, 3, kDot), "2.000");
    EXPECT_EQ(WriteEntryNumber(2, 3, kComma), "2,000");
    EXPECT_EQ(WriteEntryNumber(3.3953, 3, kComma), "3,395");
    EXPECT_EQ(WriteEntryNumber(0.046, 4, kDot), "0.0460");
    EXPECT_EQ(WriteEntryNumber(0.046 / 25.4, 6, kDot), "0.001811");
    EXPECT_EQ(WriteEntryNumber(1.004, 6, kDot), "1.004000");
}

TEST(WriteEntryNumber, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(WriteEntryNumber(0.0005, 3, kDot), "0.001");
    EXPECT_EQ(WriteEntryNumber(0.0004, 3, kDot), "0.000");
    EXPECT_EQ(WriteEntryNumber(2.5, 0, kDot), "3");
    EXPECT_EQ(WriteEntryNumber(-2.5, 0, kDot), "-3");
    EXPECT_EQ(WriteEntryNumber(0.9996, 3, kDot), "1.000");
    EXPECT_EQ(WriteEntryNumber(999.9995, 3, kDot), "1000.000");
    EXPECT_EQ(WriteEntryNumber(99999.5, 0, kDot), "100000");
    // 1.0005 is stored a little below; 15 significant digits bring it to the half.
    EXPECT_EQ(WriteEntryNumber(1.0005, 3, kDot), "1.001");
}

TEST(WriteEntryNumber, FifteenSignificantDigits) {
    EXPECT_EQ(WriteEntryNumber(0.1 + 0.2, 17, kDot), "0.30000000000000000");
    EXPECT_EQ(WriteEntryNumber(123456789.123456789, 6, kDot), "123456789.123457");
    EXPECT_EQ(WriteEntryNumber(1e-20, 3, kDot), "0.000");
    EXPECT_EQ(WriteEntryNumber(123456789012345.0, 2, kDot), "123456789012345.00");
}

TEST(WriteEntryNumber, NegativeValues) {
    EXPECT_EQ(WriteEntryNumber(-5.8311, 3, kDot), "-5.831");
    EXPECT_EQ(WriteEntryNumber(-0.0001, 3, kDot), "0.000");
    EXPECT_EQ(WriteEntryNumber(-0.0, 3, kDot), "0.000");
    EXPECT_EQ(WriteEntryNumber(-0.4, 0, kDot), "0");
}

TEST(WriteEntryNumber, MoreThanFifteenIntegerDigitsIsScientific) {
    EXPECT_EQ(WriteEntryNumber(1e15, 3, kDot), "1E15");
    EXPECT_EQ(WriteEntryNumber(-1.5e20, 0, kComma), "-1,5E20");
    EXPECT_EQ(WriteEntryNumber(1.234567890123456789e300, 3, kDot), "1.23456789012346E300");
    EXPECT_EQ(ReadEntryNumber(*WriteEntryNumber(-1.5e20, 3, kComma), kComma), -1.5e20);
}

TEST(WriteEntryNumber, NotANumberIsNotWritten) {
    EXPECT_FALSE(WriteEntryNumber(std::numeric_limits<double>::quiet_NaN(), 3, kDot));
    EXPECT_FALSE(WriteEntryNumber(std::numeric_limits<double>::infinity(), 3, kDot));
    EXPECT_FALSE(WriteEntryNumber(-std::numeric_limits<double>::infinity(), 0, kDot));
}

TEST(WriteEntryNumber, DecimalsAreClamped) {
    EXPECT_EQ(WriteEntryNumber(1.5, -3, kDot), "2");
    EXPECT_EQ(WriteEntryNumber(1.5, 40, kDot), "1.500000000000000000");
}

TEST(WriteEntryNumber, WrittenTextReadsBack) {
    for (double v : {0.0, 1.0, -1.0, 3.14159, 84544.0, 0.001, 123456.789, -0.5, 1e-3, 99.999})
        for (const Locale& l : {kDot, kComma})
            EXPECT_NEAR(ReadEntryNumber(*WriteEntryNumber(v, 3, l), l), v, 5e-4) << v;
}

TEST(ReadInteger, DecimalIntegersOnly) {
    EXPECT_EQ(ReadInteger("0"), 0);
    EXPECT_EQ(ReadInteger("  12"), 12);
    EXPECT_EQ(ReadInteger("-3"), -3);
    EXPECT_EQ(ReadInteger("2147483647"), 2147483647);
    EXPECT_EQ(ReadInteger("-2147483648"), -2147483647 - 1);
    for (const char* text : {"", " ", "-", "1.0", "1 ", "x", "2147483648", "99999999999999999999", "0x1"})
        EXPECT_FALSE(ReadInteger(text)) << '"' << text << '"';
}

TEST(IsAllowedEntryKey, DigitsBackspaceAndOneSeparator) {
    for (const Locale& l : {kDot, kComma}) {
        for (char32_t k = U'0'; k <= U'9'; ++k) {
            char32_t key = k;
            EXPECT_TRUE(IsAllowedEntryKey("12", key, l));
            EXPECT_EQ(key, k);
        }
        char32_t back = kBackspaceKey;
        EXPECT_TRUE(IsAllowedEntryKey("12", back, l));
        char32_t sep = static_cast<unsigned char>(l.decimalSeparator);
        EXPECT_TRUE(IsAllowedEntryKey("12", sep, l));
        EXPECT_EQ(sep, static_cast<char32_t>(l.decimalSeparator));
    }
}

TEST(IsAllowedEntryKey, SecondSeparatorIsRefusedEvenOverASelection) {
    // "25.000" wholly selected: the key would replace the selection, and is
    // refused all the same.
    char32_t key = U'.';
    EXPECT_FALSE(IsAllowedEntryKey("25.000", key, kDot));
    EXPECT_EQ(key, 0u);
    key = U',';
    EXPECT_FALSE(IsAllowedEntryKey("25,000", key, kComma));
}

TEST(IsAllowedEntryKey, EverythingElseIsSwallowed) {
    // Enter, Escape, Ctrl+C, Ctrl+V, Ctrl+X, minus, blank, exponent, the
    // foreign separator, letters, a non-Latin digit.
    for (const Locale& l : {kDot, kComma})
        for (char32_t k : {char32_t{13}, char32_t{27}, char32_t{3}, char32_t{22}, char32_t{24}, U'-', U'+', U' ',
                           U'e', U'E', static_cast<char32_t>(l.foreignSeparator()), U'a', U'\u0661', U'\u00b0',
                           char32_t{0}, char32_t{9}}) {
            char32_t key = k;
            EXPECT_FALSE(IsAllowedEntryKey("", key, l)) << static_cast<unsigned>(k);
            EXPECT_EQ(key, 0u);
        }
}

// A dropped key is said: what it was, and why.
TEST(DroppedKeyText, WhatAndWhy) {
    const struct {
        Locale locale;
        const char* entry;
        char32_t key;
        const char* text;
    } cases[] = {
        {kDot, "1", U',', "\u201c,\u201d was dropped: the decimal mark here is \u201c.\u201d."},
        {kComma, "1", U'.', "\u201c.\u201d was dropped: the decimal mark here is \u201c,\u201d."},
        {kDot, "25.000", U'.', "\u201c.\u201d was dropped: the entry has its decimal mark already."},
        {kDot, "", U'-', "\u201c-\u201d was dropped: an entry takes no sign."},
        {kDot, "", U'a', "\u201ca\u201d was dropped: an entry takes only the digits 0 to 9 and the decimal mark \u201c.\u201d."},
        {kComma, "", U'\u00b0', "\u201c\u00b0\u201d was dropped: an entry takes only the digits 0 to 9 and the decimal mark \u201c,\u201d."},
        {kDot, "", U' ', "A space was dropped: an entry takes only the digits 0 to 9 and the decimal mark \u201c.\u201d."},
        {kDot, "", char32_t{22}, "Ctrl+V was dropped: an entry takes only the digits 0 to 9 and the decimal mark \u201c.\u201d."},
        {kDot, "", char32_t{27}, "Escape was dropped: an entry takes only the digits 0 to 9 and the decimal mark \u201c.\u201d."},
    };
    for (const auto& c : cases) EXPECT_EQ(DroppedKeyText(c.entry, c.key, c.locale), c.text) << c.text;
}

}  // namespace
}  // namespace corvane
