// Panel data files: the bytes written, and every rule of loading.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logic/model/panels/PanelFile.h"
#include "logic/model/shared/FittingsText.h"
#include "tests/logic/PanelTestSupport.h"

namespace corvane {
namespace {

using test::Air;
using test::Fittings;

constexpr PanelKind kAll[] = {PanelKind::PressureDrop, PanelKind::Flow, PanelKind::Diameter, PanelKind::Length};

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start) + "<unterminated>");
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

// The default file of a panel with line `n` (1-based) replaced.
std::string WithLine(PanelKind k, std::size_t n, const std::string& text) {
    auto lines = Lines(SavePanelFile(PanelModel(k, Locale{})));
    lines[n - 1] = text;
    return Join(lines);
}

TEST(PanelFileSave, DefaultPressureDropFileByteForByte) {
    const std::string expected =
        "Corvane_Find_PD\r\nGasFalse1\r\nMetric\r\n100\r\n0.046\r\n25.000\r\n10.000\r\n"
        "0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0.00\t\r\n"
        "0.000\r\n0\r\n100.000\r\n2\r\n1\r\n6.000\r\n0\r\n Water @ 20\xb0" "C (68\xb0" "F)\r\n1.004000\r\n0.998000\r\n";
    EXPECT_EQ(SavePanelFile(PanelModel(PanelKind::PressureDrop, Locale{})), expected);
}

TEST(PanelFileSave, LineCountsAndLayouts) {
    EXPECT_EQ(Lines(SavePanelFile(PanelModel(PanelKind::PressureDrop, Locale{}))).size(), 18u);
    const auto flow = Lines(SavePanelFile(PanelModel(PanelKind::Flow, Locale{})));
    ASSERT_EQ(flow.size(), 19u);
    EXPECT_EQ(flow[0], "Corvane_Find_FLOW");
    EXPECT_EQ(flow[1], "GasFalse2");
    EXPECT_EQ(flow[10], "10.000");  // available pressure
    EXPECT_EQ(flow[11], "0");       // its unit
    EXPECT_EQ(flow[14], "6.000");
    EXPECT_EQ(flow[18], "0.600");
    const auto diameter = Lines(SavePanelFile(PanelModel(PanelKind::Diameter, Locale{})));
    ASSERT_EQ(diameter.size(), 19u);
    EXPECT_EQ(diameter[0], "Corvane_Find_DIAMETER");
    EXPECT_EQ(diameter[5], "10.000");  // length in place of the diameter
    EXPECT_EQ(diameter[6], DefaultFittingsSelection());
    EXPECT_EQ(diameter[11], "100.000");
    const auto length = Lines(SavePanelFile(PanelModel(PanelKind::Length, Locale{})));
    ASSERT_EQ(length.size(), 19u);
    EXPECT_EQ(length[0], "Corvane_Find_LENGTH");
    EXPECT_EQ(length[5], "25.000");
    EXPECT_EQ(DefaultFittingsSelection().size(), 59u);
}

TEST(PanelFileSave, StatesAndSelections) {
    PanelModel p(PanelKind::Length, test::UsLocale());
    p.useFluid(Air());
    p.selectItem(Ctl::PipeMaterialComboBox, -1);
    const auto lines = Lines(SavePanelFile(p));
    EXPECT_EQ(lines[1], "GasTrue4");
    EXPECT_EQ(lines[2], "Imperial");
    EXPECT_EQ(lines[3], "99");
    EXPECT_EQ(lines[15], " Air 20\xb0" "C (68\xb0" "F)");
}

TEST(PanelFileLoad, RoundTripRestoresEverything) {
    for (PanelKind k : kAll)
        for (const Locale& l : {Locale{}, CommaLocale()}) {
            PanelModel a(k, l);
            a.useFluid(Air());
            a.switchUnits(UnitSystem::Imperial, {ConversionChoice::Convert, 2});
            a.choose(Ctl::PipeMaterialComboBox, 5);
            a.choose(Ctl::RiseFallComboBox, 1);
            a.editEntry(Ctl::ElevationChange_RightEdit, "1" + std::string(1, l.decimalSeparator) + "5");
            a.openFittings();
            a.fittingsClosed(Fittings({1, 0, 2, 3}, {{1, 2}, {16, 1}, {23, 4}}, "0,25"));
            const std::string saved = SavePanelFile(a);

            PanelModel b(k, l);
            ASSERT_FALSE(LoadPanelFile(b, saved));
            EXPECT_EQ(SavePanelFile(b), saved);
            EXPECT_TRUE(b.gasMode());
            EXPECT_FALSE(b.metric());
            EXPECT_EQ(b.text(Ctl::FittingsBitBtn), "8");
            EXPECT_EQ(b.text(Ctl::BargHdLabel), "psi g");
            EXPECT_EQ(b.list(Ctl::Gas_FlowUnitComboBox).selectedText(), "cu.ft/hr");
            EXPECT_EQ(b.text(Ctl::RightEditVisibleFluidDensityDisplay), a.text(Ctl::RightEditVisibleFluidDensityDisplay));
            if (k != PanelKind::Flow)
                EXPECT_EQ(b.text(Ctl::VisibleFlowrateLMin_RightEdit), b.text(Ctl::FlowrateLMin_RightEdit));
            // Same results from the loaded panel.
            ASSERT_EQ(a.calculate(), b.calculate());
            EXPECT_EQ(a.text(Ctl::ReynoldsNumber_RightEdit), b.text(Ctl::ReynoldsNumber_RightEdit));
        }
}

TEST(PanelFileLoad, AnotherPanelsFileIsNotValidAndChangesNothing) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    p.editEntry(Ctl::IDmm_RightEdit, "33.000");
    const std::string before = SavePanelFile(p);
    const auto r = LoadPanelFile(p, SavePanelFile(PanelModel(PanelKind::Flow, Locale{})));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->kind, MessageKind::Error);
    EXPECT_EQ(r->text, "This file is not valid for Corvane.");
    EXPECT_EQ(SavePanelFile(p), before);
    EXPECT_TRUE(LoadPanelFile(p, WithLine(PanelKind::PressureDrop, 1, "corvane_find_PD")));
    EXPECT_TRUE(LoadPanelFile(p, ""));
    EXPECT_EQ(SavePanelFile(p), before);
}

TEST(PanelFileLoad, GasModeOnlyForTheOwnDigit) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    ASSERT_FALSE(LoadPanelFile(p, WithLine(PanelKind::PressureDrop, 2, "GasTrue3")));
    EXPECT_FALSE(p.gasMode());
    ASSERT_FALSE(LoadPanelFile(p, WithLine(PanelKind::PressureDrop, 2, "GasTrue1")));
    EXPECT_TRUE(p.gasMode());
    EXPECT_TRUE(p.shown(Ctl::Uncompressed_SpeedButton));
    EXPECT_FALSE(p.compressedEntry());
}

TEST(PanelFileLoad, UnitLineMustBeExactlyMetric) {
    PanelModel p(PanelKind::Flow, Locale{});
    ASSERT_FALSE(LoadPanelFile(p, WithLine(PanelKind::Flow, 3, "metric")));
    EXPECT_FALSE(p.metric());
    EXPECT_EQ(p.text(Ctl::ID_UnitsLabel), "inch");
    EXPECT_EQ(p.text(Ctl::IDmm_RightEdit), "25.000");  // values come from the file unconverted
    EXPECT_EQ(p.list(Ctl::MhdBarComboBox).selectedText(), "ft hd");
    EXPECT_EQ(p.list(Ctl::FlowUnitComboBox).selectedText(), "cu.ft/sec");  // index 2 of the file
}

TEST(PanelFileLoad, MaterialCodes) {
    const struct { const char* code; int index; } cases[] = {
        {"100", 0}, {"114", 14}, {"5", 6}, {"0", 0}, {"160", 0}, {"13", 14}, {"150", 0}, {"-1", 0}, {"99", 0}};
    for (const auto& c : cases) {
        PanelModel p(PanelKind::PressureDrop, Locale{});
        p.selectItem(Ctl::PipeMaterialComboBox, 3);
        ASSERT_FALSE(LoadPanelFile(p, WithLine(PanelKind::PressureDrop, 4, c.code))) << c.code;
        EXPECT_EQ(p.list(Ctl::PipeMaterialComboBox).selected, c.index) << c.code;
    }
    PanelModel p(PanelKind::Flow, Locale{});  // 14 items: "113" is index 13, "114" none
    ASSERT_FALSE(LoadPanelFile(p, WithLine(PanelKind::Flow, 4, "113")));
    EXPECT_EQ(p.list(Ctl::PipeMaterialComboBox).selectedText(), "wood stave");
    ASSERT_FALSE(LoadPanelFile(p, WithLine(PanelKind::Flow, 4, "114")));
    EXPECT_EQ(p.list(Ctl::PipeMaterialComboBox).selected, 0);
}

TEST(PanelFileLoad, EighteenLineFilesKeepTheAllowableLoss) {
    for (PanelKind k : {PanelKind::Flow, PanelKind::Diameter, PanelKind::Length}) {
        auto lines = Lines(SavePanelFile(PanelModel(k, Locale{})));
        lines.pop_back();
        PanelModel p(k, Locale{});
        p.editEntry(Ctl::AllowablePressureLoss_RightEdit, "1.234");
        ASSERT_FALSE(LoadPanelFile(p, Join(lines)));
        EXPECT_EQ(p.text(Ctl::AllowablePressureLoss_RightEdit), "1.234");
        // An empty line 19 is a line all the same.
        lines.push_back("");
        ASSERT_FALSE(LoadPanelFile(p, Join(lines)));
        EXPECT_EQ(p.text(Ctl::AllowablePressureLoss_RightEdit), "");
    }
}

TEST(PanelFileLoad, FittingsLineSetsTheCaption) {
    PanelModel p(PanelKind::Diameter, Locale{});
    ASSERT_FALSE(LoadPanelFile(p, WithLine(PanelKind::Diameter, 7, Fittings({}, {{3, 2}, {9, 3}}, "0,50"))));
    EXPECT_EQ(p.text(Ctl::FittingsBitBtn), "6");
    EXPECT_EQ(p.fittings(), Fittings({}, {{3, 2}, {9, 3}}, "0,50"));
    ASSERT_FALSE(LoadPanelFile(p, WithLine(PanelKind::Diameter, 7, DefaultFittingsSelection())));
    EXPECT_EQ(p.text(Ctl::FittingsBitBtn), "none");
}

TEST(PanelFileLoad, NonIntegerStopsTheLoadKeepingEarlierLines) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    p.editEntry(Ctl::Barg_RightEdit, "3.000");
    auto lines = Lines(SavePanelFile(PanelModel(PanelKind::PressureDrop, Locale{})));
    lines[5] = "40.000";  // diameter, before the error
    lines[11] = "1.5";    // flow unit index
    lines[13] = "9.000";  // inlet pressure, after it
    const auto r = LoadPanelFile(p, Join(lines));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->kind, MessageKind::Error);
    EXPECT_EQ(r->text, "'1.5' is not a valid integer value");
    EXPECT_EQ(p.text(Ctl::IDmm_RightEdit), "40.000");
    EXPECT_EQ(p.text(Ctl::Barg_RightEdit), "3.000");
}

TEST(PanelFileLoad, BadFittingsCountStopsTheLoad) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    std::string bad = Fittings({}, {{1, 2}});
    bad.replace(bad.find("2\t"), 1, "two");
    const auto r = LoadPanelFile(p, WithLine(PanelKind::PressureDrop, 8, bad));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->text, "'two' is not a valid integer value");
    EXPECT_EQ(p.fittings(), DefaultFittingsSelection());
    // An opening that is not a number and an unreadable extra K are no error.
    std::string odd = Fittings({}, {{1, 2}}, "x");
    odd.replace(0, 1, "?");
    ASSERT_FALSE(LoadPanelFile(p, WithLine(PanelKind::PressureDrop, 8, odd)));
    EXPECT_EQ(p.text(Ctl::FittingsBitBtn), "2");
}

// The line of a panel's file that holds its fittings selection.
std::size_t FittingsLine(PanelKind k) {
    const auto lines = Lines(SavePanelFile(PanelModel(k, Locale{})));
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == DefaultFittingsSelection()) return i + 1;
    return 0;
}

TEST(PanelFileLoad, NegativeCountsAndRoughnessLoadButAreRefusedAtCalculate) {
    for (PanelKind k : kAll) {
        PanelModel p(k, Locale{});
        const std::size_t line = FittingsLine(k);
        // Two bends less and three tees more: the caption's sum is positive.
        ASSERT_FALSE(LoadPanelFile(p, WithLine(k, line, Fittings({}, {{1, -2}, {9, 3}}))));
        EXPECT_EQ(p.calculate(), refusals::FittingsNegative());
        ASSERT_FALSE(LoadPanelFile(p, WithLine(k, line, Fittings({}, {{1, -2}}))));
        EXPECT_EQ(p.calculate(), refusals::FittingsNegative());
        EXPECT_EQ(p.text(Ctl::FlowType_RightEdit), "");
        ASSERT_FALSE(LoadPanelFile(p, WithLine(k, line, Fittings({}, {}, "-1.00"))));
        EXPECT_EQ(p.calculate(), refusals::FittingsNegative());
        ASSERT_FALSE(LoadPanelFile(p, WithLine(k, line, DefaultFittingsSelection())));
        EXPECT_FALSE(p.calculate());
        ASSERT_FALSE(LoadPanelFile(p, WithLine(k, 5, "-0.046")));
        EXPECT_EQ(p.calculate(), refusals::RoughnessNegative());
        EXPECT_EQ(p.text(Ctl::ReynoldsNumber_RightEdit), "");
    }
}

TEST(PanelFileLoad, GasFileLeavesTheFlowPanelCaptionAlone) {
    PanelModel p(PanelKind::Flow, test::UsLocale());  // starts imperial
    const std::string caption = p.text(Ctl::UncompressedVolumeHdLabel);
    ASSERT_FALSE(LoadPanelFile(p, WithLine(PanelKind::Flow, 2, "GasTrue2")));  // a metric gas file
    EXPECT_EQ(p.text(Ctl::BargHdLabel), "bar g");
    EXPECT_EQ(p.text(Ctl::UncompressedVolumeHdLabel), caption);
    EXPECT_EQ(p.text(Ctl::UncompressedVolumeHdLabel).find("psi"), std::string::npos);
}

TEST(PanelFileLoad, TruncatedFileStopsAtTheFirstMissingList) {
    auto lines = Lines(SavePanelFile(PanelModel(PanelKind::PressureDrop, Locale{})));
    lines.resize(5);
    PanelModel p(PanelKind::PressureDrop, Locale{});
    const auto r = LoadPanelFile(p, Join(lines));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->text, "'' is not a valid integer value");  // line 10, rise/fall
    EXPECT_EQ(p.text(Ctl::IDmm_RightEdit), "");
    EXPECT_EQ(p.text(Ctl::FittingsBitBtn), "none");
}

TEST(PanelFileLoad, CtrlZEndsTheData) {
    const std::string full = SavePanelFile(PanelModel(PanelKind::Flow, Locale{}));
    const auto at = full.find("0.600\r\n");
    PanelModel p(PanelKind::Flow, Locale{});
    p.editEntry(Ctl::AllowablePressureLoss_RightEdit, "2.000");
    ASSERT_FALSE(LoadPanelFile(p, full.substr(0, at) + "\x1a" + full.substr(at)));
    EXPECT_EQ(p.text(Ctl::AllowablePressureLoss_RightEdit), "2.000");
    // Before a list line, Ctrl-Z leaves empty lines where integers belong.
    const auto r = LoadPanelFile(p, "Corvane_Find_FLOW\r\nGasFalse2\r\nMetric\r\n\x1a" "100\r\n");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->text, "'' is not a valid integer value");
}

TEST(PanelFileLoad, CtrlZInsideALineEndsTheDataThere) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    // Line 16 is the fluid's name; the viscosity and density after it are
    // past the end of the data: empty.
    ASSERT_FALSE(LoadPanelFile(p, WithLine(PanelKind::PressureDrop, 16, " Oil\x1a" "SAE 30")));
    EXPECT_EQ(p.text(Ctl::FluidName_Edit), " Oil");
    EXPECT_EQ(p.text(Ctl::FluidViscosityRightEdit), "");
    EXPECT_EQ(p.text(Ctl::FluidRelativeDensityRightEdit), "");
}

TEST(PanelFileLoad, LoneLineFeedIsNotALineEnd) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    ASSERT_FALSE(LoadPanelFile(p, WithLine(PanelKind::PressureDrop, 16, " Oil\nSAE 30")));
    EXPECT_EQ(p.text(Ctl::FluidName_Edit), " Oil\nSAE 30");
    // CR alone ends a line as well as CR LF does.
    std::string crOnly = SavePanelFile(PanelModel(PanelKind::PressureDrop, Locale{}));
    for (std::size_t i; (i = crOnly.find("\r\n")) != std::string::npos;) crOnly.erase(i + 1, 1);
    PanelModel q(PanelKind::PressureDrop, Locale{});
    ASSERT_FALSE(LoadPanelFile(q, crOnly));
    EXPECT_EQ(SavePanelFile(q), SavePanelFile(PanelModel(PanelKind::PressureDrop, Locale{})));
    // In a message, the lone LF of a file with mixed line ends is shown, not
    // passed on as a line break.
    std::string mixed = SavePanelFile(PanelModel(PanelKind::PressureDrop, Locale{}));
    mixed.erase(mixed.find("\r\n", mixed.find("Metric")) + 2 + 3, 1);  // "100" CR LF -> "100" LF
    const auto r = LoadPanelFile(q, mixed);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->text.substr(0, 6), "'100\\n");
    EXPECT_EQ(r->text.find('\n'), std::string::npos);
}

TEST(PanelFileLoad, OutOfRangeListsFallBackToTheFirstItem) {
    auto lines = Lines(SavePanelFile(PanelModel(PanelKind::Length, Locale{})));
    lines[8] = "7";    // rise/fall
    lines[10] = "-1";  // result unit
    lines[12] = "9";   // flow unit
    lines[13] = "5";   // gas flow unit: stays without a selection
    PanelModel p(PanelKind::Length, Locale{});
    ASSERT_FALSE(LoadPanelFile(p, Join(lines)));
    EXPECT_EQ(p.list(Ctl::RiseFallComboBox).selected, 0);
    EXPECT_EQ(p.list(Ctl::MhdBarComboBox).selected, 0);
    EXPECT_EQ(p.list(Ctl::FlowUnitComboBox).selected, 0);
    EXPECT_EQ(p.list(Ctl::Gas_FlowUnitComboBox).selected, -1);
}

TEST(PanelFileLoad, FlowGoesIntoBothFieldsAndCompressedEntryEnds) {
    PanelModel p(PanelKind::Diameter, Locale{});
    p.useFluid(Air());
    p.setCompressedEntry(true);
    p.calculate();
    auto lines = Lines(SavePanelFile(PanelModel(PanelKind::Diameter, Locale{})));
    lines[1] = "GasTrue3";
    lines[11] = "250.500";
    lines[14] = "2.000";
    ASSERT_FALSE(LoadPanelFile(p, Join(lines)));
    EXPECT_FALSE(p.compressedEntry());
    EXPECT_EQ(p.text(Ctl::UncompressedVolumeHdLabel), "Volume at 0.0 bar g");
    EXPECT_EQ(p.text(Ctl::FlowrateLMin_RightEdit), "250.500");
    EXPECT_EQ(p.text(Ctl::VisibleFlowrateLMin_RightEdit), "250.500");
    EXPECT_EQ(p.text(Ctl::PipeDiameter_RightEdit), "");  // no results after a load
    // The density display follows the loaded pressure (water's density as a gas's).
    EXPECT_EQ(p.text(Ctl::RightEditVisibleFluidDensityDisplay), "2.967899");
}

TEST(PanelFileReader, LineRules) {
    PanelFileReader r("a\r\nb\rc\nd\r\r\n\x1a" "e\r\n");
    EXPECT_EQ(r.next(), "a");
    EXPECT_EQ(r.next(), "b");
    EXPECT_EQ(r.next(), "c\nd");
    EXPECT_EQ(r.next(), "");
    EXPECT_TRUE(r.atEnd());
    EXPECT_EQ(r.next(), "");
    EXPECT_EQ(r.next(), "");
    PanelFileReader inLine("ab\x1a" "cd\r\nef\r\n");
    EXPECT_EQ(inLine.next(), "ab");
    EXPECT_TRUE(inLine.atEnd());
    EXPECT_EQ(inLine.next(), "");
}

TEST(PanelFileNames, ExtensionsFiltersAndHeaders) {
    EXPECT_EQ(PanelFileExtension(PanelKind::PressureDrop), "PW1");
    EXPECT_EQ(PanelFileFilter(PanelKind::PressureDrop), "Corvane P.D. (*.PW1)|*.PW1");
    EXPECT_EQ(PanelFileFilter(PanelKind::Flow), "Corvane FLOW (*.PW2)|*.PW2");
    EXPECT_EQ(PanelFileFilter(PanelKind::Diameter), "Corvane DIAMETER (*.PW3)|*.PW3");
    EXPECT_EQ(PanelFileFilter(PanelKind::Length), "Corvane LENGTH (*.PW4)|*.PW4");
    for (PanelKind k : kAll) EXPECT_EQ(PanelKindOfHeader(PanelFileHeader(k)), k);
    EXPECT_FALSE(PanelKindOfHeader("Corvane_Find_pd"));
    EXPECT_FALSE(PanelKindOfHeader(""));
}

}  // namespace
}  // namespace corvane
