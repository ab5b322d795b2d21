// Nothing in the core throws, crashes, loops or yields an infinity that a
// caller could show, whatever the numbers or texts it is given.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "logic/engine/FittingTable.h"
#include "logic/engine/PipeFlow.h"
#include "logic/engine/Units.h"
#include "logic/model/panels/PanelModel.h"
#include "logic/model/shared/FittingsText.h"
#include "logic/text/Cp1252.h"
#include "logic/text/NumberText.h"

namespace corvane {
namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const std::vector<double> kNasty = {0.0, -0.0, -1.0, 1e-320, -1e-320, 1e300, -1e300, kInf, -kInf, kNaN,
                                    std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
                                    std::numeric_limits<double>::denorm_min()};

std::vector<std::string> NastyTexts() {
    std::vector<std::string> texts = {"", "?", " ", "\t", "-", ".", ",", "e", "1e99999", "-1e99999",
                                      "\x80\xff\xb0\xb3", "\xc3\xa9", std::string(1, '\0'), "NaN", "Infinity",
                                      std::string(10000, '9'), std::string(10000, '.'), std::string(10000, '\xff'),
                                      "0." + std::string(10000, '0') + "1", std::string(10000, '1') + ".5"};
    std::string allBytes;
    for (int b = 1; b < 256; ++b) allBytes.push_back(static_cast<char>(b));
    texts.push_back(allBytes);
    std::mt19937 rng(1482);
    for (int i = 0; i < 200; ++i) {
        std::string t(rng() % 40, ' ');
        for (char& c : t) c = static_cast<char>(rng() % 256);
        texts.push_back(t);
    }
    return texts;
}

TEST(BadInput, FormulasOnExtremeNumbers) {
    for (double a : kNasty)
        for (double b : kNasty) {
            // Finite inputs may overflow to an infinity, never to NaN.
            if (std::isfinite(a) && std::isfinite(b)) {
                EXPECT_FALSE(std::isnan(VelocityFromFlow(a, b))) << a << " " << b;
                EXPECT_FALSE(std::isnan(FlowFromVelocity(a, b))) << a << " " << b;
            }
            const double f = FrictionFactor(a, b, 0.046);
            EXPECT_FALSE(std::isinf(f)) << a << " " << b;
            EXPECT_FALSE(std::isinf(FrictionFactor(1e5, a, b))) << a << " " << b;
            EXPECT_FALSE(FlowTypeName(a).empty());
            (void)FrictionHeadLoss(a, b, a, b);
            (void)ReynoldsNumber(a, b, a, b);
            (void)GasVolumeRatio(a);
            (void)GasViscosityAtPressure(a, b);
            (void)GasHeadToPressureDrop(a, b, a);
            EXPECT_GE(FittingSizeBand(a), 0);
            EXPECT_LE(FittingSizeBand(a), 13);
            EXPECT_TRUE(std::isfinite(FittingK(static_cast<int>(std::isfinite(b) ? std::fmod(b, 40) : 0), a)));
        }
}

TEST(BadInput, ConversionsOnAnyCode) {
    for (int code = -1000; code <= 1000; ++code) {
        for (double x : kNasty) {
            const double y = ConvertByCode(code, x);
            if (!IsConversionCode(code) && !std::isnan(x)) {
                EXPECT_EQ(y, x) << code;
            }
            (void)FlowToLitresPerMin(code, x);
            (void)PressureToBar(code, x);
            (void)LengthToMetres(code, x);
        }
        EXPECT_TRUE(std::isfinite(FlowFactor(code)) && FlowFactor(code) > 0);
    }
    for (int code : {std::numeric_limits<int>::min(), std::numeric_limits<int>::max()})
        EXPECT_EQ(ConvertByCode(code, 2.0), 2.0);
}

TEST(BadInput, NumberTextNeverFailsAndNeverYieldsInfinity) {
    for (const std::string& t : NastyTexts())
        for (const Locale& l : {DotLocale(), CommaLocale()}) {
            const double v = ReadEntryNumber(t, l);
            EXPECT_TRUE(std::isfinite(v));
            (void)FixDecimalSeparator(t, l);
            (void)ReadInteger(t);
            char32_t key = static_cast<unsigned char>(t.empty() ? 0 : t[0]);
            (void)IsAllowedEntryKey(t, key, l);
        }
    EXPECT_EQ(ReadEntryNumber(std::string(10000, '1') + ".5", DotLocale()), 0.0);  // beyond a double
    EXPECT_NEAR(ReadEntryNumber("0." + std::string(300, '0') + "1", DotLocale()), 1e-301, 1e-310);
    EXPECT_EQ(ReadEntryNumber(std::string(300, '9'), DotLocale()), 1e300);
}

TEST(BadInput, WrittenNumbersAreAlwaysNumbers) {
    for (double v : kNasty)
        for (int decimals : {-5, 0, 3, 6, 18, 1000}) {
            const auto text = WriteEntryNumber(v, decimals, DotLocale());
            EXPECT_EQ(text.has_value(), std::isfinite(v));
            if (text && std::fabs(v) < 1e308) {  // DBL_MAX rounds up beyond a double
                EXPECT_EQ(text->find("nan"), std::string::npos);
                EXPECT_EQ(text->find("inf"), std::string::npos);
                EXPECT_TRUE(IsEntryNumber(*text, DotLocale())) << *text;
            }
        }
}

TEST(BadInput, FittingsStringsOfAnyShape) {
    for (const std::string& t : NastyTexts()) {
        for (double d : kNasty) EXPECT_FALSE(std::isnan(FittingsTotalK(ParseFittings(t, DotLocale()), d)));
        EXPECT_FALSE(FittingsCaption(t, CommaLocale()).empty());
        (void)Utf8ToCp1252(Cp1252ToUtf8(t));
        (void)Utf8ToCp1252(t);
    }
    std::string huge;
    for (int i = 0; i < 27; ++i) huge += "2147483647\t";
    EXPECT_EQ(FittingsCaption(huge + "1\t", DotLocale()), std::to_string(23LL * 2147483647 + 1));
    EXPECT_TRUE(std::isfinite(FittingsTotalK(ParseFittings(huge + "1\t", DotLocale()), 25)));
}

}  // namespace
}  // namespace corvane
