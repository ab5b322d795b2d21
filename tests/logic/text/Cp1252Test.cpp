#include <gtest/gtest.h>

#include <string>

#include "logic/text/Cp1252.h"

namespace corvane {
namespace {

TEST(Cp1252, DegreeAndSuperscriptThreeAreOneByteEach) {
    EXPECT_EQ(Utf8ToCp1252("20\u00b0C"), "20\xb0" "C");
    EXPECT_EQ(Utf8ToCp1252("m\u00b3/hr"), "m\xb3/hr");
    EXPECT_EQ(Cp1252ToUtf8("\xb0"), "\u00b0");
    EXPECT_EQ(Cp1252ToUtf8("m\xb3/hr"), "m\u00b3/hr");
}

TEST(Cp1252, TheHighControlRangeHasItsOwnCharacters) {
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\u20ac");
    EXPECT_EQ(Cp1252ToUtf8("\x8a\x9f"), "\u0160\u0178");
    EXPECT_EQ(Cp1252ToUtf8("\x96\x97"), "\u2013\u2014");
    EXPECT_EQ(Utf8ToCp1252("\u2122"), "\x99");
}

TEST(Cp1252, AllBytesSurviveARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    bool lossless = false;
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all), &lossless), all);
    EXPECT_TRUE(lossless);
    // Each byte maps to its own code point: no two bytes collide.
    for (int a = 0; a < 256; ++a)
        for (int b = a + 1; b < 256; ++b)
            ASSERT_NE(Cp1252ToCodePoint(static_cast<unsigned char>(a)), Cp1252ToCodePoint(static_cast<unsigned char>(b)));
}

TEST(Cp1252, UnmappableAndMalformedTextBecomesQuestionMarks) {
    bool lossless = true;
    EXPECT_EQ(Utf8ToCp1252("a\u4e2db", &lossless), "a?b");
    EXPECT_FALSE(lossless);
    EXPECT_EQ(Utf8ToCp1252("\xff\xfe"), "??");
    EXPECT_EQ(Utf8ToCp1252("x\xc3"), "x?");             // truncated sequence
    EXPECT_EQ(Utf8ToCp1252("\xc3\x28"), "?(");          // bad continuation
    EXPECT_EQ(Utf8ToCp1252("\xc0\xb0"), "??");          // overlong
    EXPECT_EQ(Utf8ToCp1252("\xed\xa0\x80"), "???");     // surrogate
    EXPECT_EQ(Utf8ToCp1252("\xf0\x9f\x98\x80"), "?");   // outside the code page
    EXPECT_EQ(Utf8ToCp1252("\xef\xbf\xbd"), "?");       // U+FFFD itself
    lossless = false;
    EXPECT_EQ(Utf8ToCp1252("", &lossless), "");
    EXPECT_TRUE(lossless);
}

TEST(Cp1252, CrLfAndTabsPassUnchanged) {
    EXPECT_EQ(Utf8ToCp1252("a\tb\r\n"), "a\tb\r\n");
    EXPECT_EQ(Cp1252ToUtf8("a\tb\r\n\x1a"), "a\tb\r\n\x1a");
}

TEST(Cp1252, WellFormedUtf8) {
    for (const char* good : {"", "plain", "20\u00b0C", "kg/m\u00b3", "\u20ac", "\U0010FFFF", "\xed\x9f\xbf",
                             "\xee\x80\x80", "\xf0\x90\x80\x80", "\x7f\x01"})
        EXPECT_TRUE(IsWellFormedUtf8(good)) << good;
    for (const char* bad : {"\x80", "\xbf", "\xc0\xaf", "\xc1\xbf", "\xc2", "\xe0\x9f\x80", "\xe2\x82",
                            "\xed\xa0\x80", "\xf0\x8f\xbf\xbf", "\xf4\x90\x80\x80", "\xf5\x80\x80\x80",
                            "\xff", "ok\xe2\x82ok", "\xc3\xa9\xc3"})
        EXPECT_FALSE(IsWellFormedUtf8(bad)) << bad;
    // Every text that Windows-1252 bytes decode to is well-formed.
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_TRUE(IsWellFormedUtf8(Cp1252ToUtf8(all)));
    EXPECT_FALSE(IsWellFormedUtf8(all));
}

}  // namespace
}  // namespace corvane
