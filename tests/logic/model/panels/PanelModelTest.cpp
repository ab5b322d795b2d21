// The panels through their model, as the user drives them: start-up
// defaults, calculations, gas mode, compressed entry, the unit switch and
// the flow weight strip.

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "logic/engine/Solvers.h"
#include "logic/model/panels/FlowWeight.h"
#include "logic/model/panels/PanelKinds.h"
#include "logic/model/panels/PanelModel.h"
#include "logic/model/shared/FittingsText.h"
#include "logic/text/NumberText.h"
#include "tests/logic/PanelTestSupport.h"

namespace corvane {
namespace {

using test::Air;
using test::Fittings;
using test::UsLocale;

constexpr PanelKind kAll[] = {PanelKind::PressureDrop, PanelKind::Flow, PanelKind::Diameter, PanelKind::Length};

// The number at the start of a caption such as "144.477 litre/min".
double LeadingNumber(const std::string& caption, std::size_t from = 0) {
    const std::string rest = caption.substr(from);
    return ReadEntryNumber(rest.substr(0, rest.find(' ')), Locale{});
}

bool ResultsEmpty(const PanelModel& p) {
    for (int i = 0; i < kCtlCount; ++i)
        if (IsResult(p.kind(), static_cast<Ctl>(i)) && !p.text(static_cast<Ctl>(i)).empty()) return false;
    return !p.shown(Ctl::GasFlowInfoPanel) && !p.shown(Ctl::FlowWeightPanel) && p.text(Ctl::FlowWeightPanel).empty();
}

// ---------------------------------------------------------------- start-up

TEST(PanelDefaults, MetricStart) {
    for (PanelKind k : kAll) {
        PanelModel p(k, Locale{});
        EXPECT_TRUE(p.metric());
        EXPECT_FALSE(p.gasMode());
        EXPECT_EQ(p.list(Ctl::FlowUnitComboBox).selectedText(), "litre/min");
        EXPECT_EQ(p.list(Ctl::Gas_FlowUnitComboBox).selectedText(), "litre/min");
        EXPECT_EQ(p.list(Ctl::PipeMaterialComboBox).selectedText(), "steel");
        EXPECT_EQ(p.list(Ctl::RiseFallComboBox).selectedText(), "Rise");
        EXPECT_EQ(p.list(Ctl::MhdBarComboBox).selectedText(), "m hd");
        EXPECT_EQ(p.text(Ctl::IRmm_RightEdit), "0.046");
        EXPECT_EQ(p.text(Ctl::FluidName_Edit), " Water @ 20\u00b0C (68\u00b0F)");
        EXPECT_EQ(p.text(Ctl::FluidViscosityRightEdit), "1.004000");
        EXPECT_EQ(p.text(Ctl::FluidRelativeDensityRightEdit), "0.998000");
        EXPECT_EQ(p.text(Ctl::RightEditVisibleFluidDensityDisplay), "0.998000");
        EXPECT_EQ(p.text(Ctl::FittingsBitBtn), "none");
        EXPECT_EQ(p.fittings(), DefaultFittingsSelection());
        EXPECT_EQ(p.text(Ctl::IR_UnitsLabel), "mm");
        EXPECT_EQ(p.text(Ctl::FluidVelocity_UnitsLabel), "m/s");
        EXPECT_FALSE(p.shown(Ctl::Barg_RightEdit));
        EXPECT_FALSE(p.shown(Ctl::Gas_FlowUnitComboBox));
        EXPECT_TRUE(p.shown(Ctl::FlowUnitComboBox));
        EXPECT_TRUE(ResultsEmpty(p));
    }
    EXPECT_EQ(PanelModel(PanelKind::PressureDrop, Locale{}).list(Ctl::PipeMaterialComboBox).items.size(), 15u);
    EXPECT_EQ(PanelModel(PanelKind::Flow, Locale{}).list(Ctl::PipeMaterialComboBox).items.size(), 14u);
    EXPECT_EQ(PanelModel(PanelKind::Diameter, Locale{}).text(Ctl::UncompressedVolumeHdLabel), "Volume at 0.0 bar g");
    EXPECT_EQ(PanelModel(PanelKind::Flow, Locale{}).text(Ctl::UncompressedVolumeHdLabel), "Volume at 0.0  bar g");
}

TEST(PanelDefaults, UsEnglishStartsImperial) {
    for (PanelKind k : kAll) {
        PanelModel p(k, UsLocale());
        EXPECT_FALSE(p.metric());
        EXPECT_EQ(p.text(Ctl::IRmm_RightEdit), "0.001811");
        EXPECT_EQ(p.list(Ctl::FlowUnitComboBox).selectedText(), "gpm-USA");
        EXPECT_EQ(p.list(Ctl::Gas_FlowUnitComboBox).items, FillImperialGasFlowUnits(UsLocale()));
        EXPECT_EQ(p.list(Ctl::MhdBarComboBox).items, (std::vector<std::string>{"ft hd", "psi"}));
        EXPECT_EQ(p.list(Ctl::MhdBarComboBox).selected, 0);
        EXPECT_EQ(p.text(Ctl::IR_UnitsLabel), "inch");
        EXPECT_EQ(p.text(Ctl::ElevationChange_UnitsLabel), "ft");
        EXPECT_EQ(p.text(Ctl::FluidVelocity_UnitsLabel), "ft/s");
        EXPECT_EQ(p.text(Ctl::BargHdLabel), "psi g");
        const bool p1 = k == PanelKind::PressureDrop;
        EXPECT_EQ(p.text(Ctl::Barg_RightEdit), p1 ? "6.000" : "90.000");
        if (!p1) EXPECT_EQ(p.text(Ctl::AllowablePressureLoss_RightEdit), "9.000");
        if (PanelHas(k, Ctl::IDmm_RightEdit)) EXPECT_EQ(p.text(Ctl::IDmm_RightEdit), "2.000");
        if (PanelHas(k, Ctl::LengthM_RightEdit)) EXPECT_EQ(p.text(Ctl::LengthM_RightEdit), "50.000");
    }
    EXPECT_EQ(PanelModel(PanelKind::Diameter, UsLocale()).text(Ctl::PipeDiameter_UnitsLabel), "inch");
    EXPECT_EQ(PanelModel(PanelKind::Length, UsLocale()).text(Ctl::PipeLength_UnitsLabel), "ft");
    // US spelling in the metric lists.
    PanelModel p(PanelKind::PressureDrop, UsLocale());
    p.switchUnits(UnitSystem::Metric, {ConversionChoice::UseCurrentValues, -1});
    EXPECT_EQ(p.list(Ctl::FlowUnitComboBox).selectedText(), "liter/min");
}

TEST(PanelDefaults, CommaLocaleRewritesEveryEntry) {
    for (PanelKind k : kAll) {
        PanelModel p(k, CommaLocale());
        EXPECT_EQ(p.text(Ctl::IRmm_RightEdit), "0,046");
        EXPECT_EQ(p.text(Ctl::ElevationChange_RightEdit), "0,000");
        EXPECT_EQ(p.text(Ctl::Barg_RightEdit), "6,000");
        EXPECT_EQ(p.text(Ctl::FluidViscosityRightEdit), "1,004000");
        EXPECT_EQ(p.text(Ctl::RightEditVisibleFluidDensityDisplay), "0,998000");
        if (k != PanelKind::Flow) EXPECT_EQ(p.text(Ctl::VisibleFlowrateLMin_RightEdit), "100,000");
        EXPECT_EQ(p.text(Ctl::UncompressedVolumeHdLabel).find("0,0"), 10u);
    }
}

// ---------------------------------------------------------------- calculations

TEST(PressureDropPanel, ChoosingTheResultUnitRecalculatesAtOnce) {
    for (const Locale& l : {Locale{}, CommaLocale()}) {
        PanelModel p(PanelKind::PressureDrop, l);
        ASSERT_FALSE(p.calculate());
        const std::string head = p.text(Ctl::mHd_RightEdit);
        PanelModel bar(PanelKind::PressureDrop, l);
        bar.selectItem(Ctl::MhdBarComboBox, 1);
        ASSERT_FALSE(bar.calculate());
        EXPECT_FALSE(p.choose(Ctl::MhdBarComboBox, 1));
        EXPECT_EQ(p.text(Ctl::mHd_RightEdit), bar.text(Ctl::mHd_RightEdit));
        EXPECT_NE(p.text(Ctl::mHd_RightEdit), head);
        EXPECT_FALSE(p.choose(Ctl::MhdBarComboBox, 0));
        EXPECT_EQ(p.text(Ctl::mHd_RightEdit), head);
    }
}

TEST(PressureDropPanel, FallLargerThanTheFrictionLossIsShownNegative) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    p.editEntry(Ctl::ElevationChange_RightEdit, "20.000");
    p.choose(Ctl::RiseFallComboBox, 1);
    ASSERT_FALSE(p.calculate());
    EXPECT_EQ(p.text(Ctl::mHd_RightEdit).substr(0, 1), "-");
    p.choose(Ctl::MhdBarComboBox, 1);
    EXPECT_EQ(p.text(Ctl::mHd_RightEdit).substr(0, 1), "-");
}

TEST(PressureDropPanel, ExtraKAloneCountsAsOneFitting) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    p.openFittings();
    p.fittingsClosed(Fittings({}, {}, "0.5"));
    EXPECT_EQ(p.text(Ctl::FittingsBitBtn), "1");
    ASSERT_FALSE(p.calculate());
    EXPECT_EQ(p.lastFittingsK(), 0.5);
}

TEST(PressureDropPanel, GasEntryAndExitFlow) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    p.useFluid(Air());
    p.editEntry(Ctl::VisibleFlowrateLMin_RightEdit, "1000.000");
    ASSERT_FALSE(p.calculate());
    EXPECT_TRUE(p.shown(Ctl::GasFlowInfoPanel));
    // 1000 free l/min at 6 bar g enter as 1000 x 1.01325 / 7.01325.
    EXPECT_NEAR(LeadingNumber(p.text(Ctl::ActualFlowValueLabel)), 1000 * 1.01325 / 7.01325, 0.0006);
    p.choose(Ctl::MhdBarComboBox, 1);
    const double dropBar = ReadEntryNumber(p.text(Ctl::mHd_RightEdit), Locale{});
    const double exit = 6 - dropBar;
    EXPECT_NEAR(LeadingNumber(p.text(Ctl::ExitFlowBarLabel), 3), exit, 0.0011);
    EXPECT_NEAR(LeadingNumber(p.text(Ctl::ExitFlowValueLabel)), 1000 * 1.01325 / (exit + 1.01325), 0.01);
    EXPECT_EQ(p.text(Ctl::ExitFlowBarLabel).substr(p.text(Ctl::ExitFlowBarLabel).size() - 5), "bar g");
}

TEST(PressureDropPanel, NegativeHiddenPressureRefusesALiquidToo) {
    for (PanelKind k : kAll) {
        PanelModel p(k, Locale{});
        p.setText(Ctl::Barg_RightEdit, "-1");
        EXPECT_EQ(p.calculate(), refusals::PressureTooLow());
        EXPECT_TRUE(ResultsEmpty(p));
    }
}

TEST(FindFlowPanel, AChangeOfFlowUnitRecalculatesAtOnce) {
    PanelModel p(PanelKind::Flow, Locale{});
    ASSERT_FALSE(p.calculate());
    const std::string reynolds = p.text(Ctl::ReynoldsNumber_RightEdit);
    const double perMinute = ReadEntryNumber(p.text(Ctl::FlowrateLMin_RightEdit), Locale{});
    PanelModel perSecond(PanelKind::Flow, Locale{});
    perSecond.selectItem(Ctl::FlowUnitComboBox, 0);
    ASSERT_FALSE(perSecond.calculate());
    // Choosing another flow unit recomputes: the same flow in l/sec.
    EXPECT_FALSE(p.choose(Ctl::FlowUnitComboBox, 0));
    EXPECT_EQ(p.text(Ctl::FlowrateLMin_RightEdit), perSecond.text(Ctl::FlowrateLMin_RightEdit));
    EXPECT_NEAR(ReadEntryNumber(p.text(Ctl::FlowrateLMin_RightEdit), Locale{}) * 60, perMinute, 0.03);
    EXPECT_EQ(p.text(Ctl::ReynoldsNumber_RightEdit), reynolds);
}

TEST(FindFlowPanel, ResultUnitAndRiseFallOnlyClear) {
    PanelModel p(PanelKind::Flow, Locale{});
    p.calculate();
    p.choose(Ctl::MhdBarComboBox, 1);
    EXPECT_TRUE(ResultsEmpty(p));
    p.calculate();
    p.choose(Ctl::RiseFallComboBox, 1);
    EXPECT_TRUE(ResultsEmpty(p));
}

TEST(FindFlowPanel, GasFlowIsTheFreeFlowAndTheNoteUsesTheShownFlow) {
    PanelModel p(PanelKind::Flow, Locale{});
    p.useFluid(Air());
    ASSERT_FALSE(p.calculate());
    const double free = ReadEntryNumber(p.text(Ctl::FlowrateLMin_RightEdit), Locale{});
    const double entry = LeadingNumber(p.text(Ctl::ActualFlowValueLabel));
    EXPECT_NEAR(entry, free * 1.01325 / 7.01325, 0.0006);
}

TEST(FindDiameterPanel, FlowUnitChangeClearsInsteadOfRecomputing) {
    PanelModel p(PanelKind::Diameter, Locale{});
    p.calculate();
    EXPECT_FALSE(p.choose(Ctl::FlowUnitComboBox, 0));
    EXPECT_TRUE(ResultsEmpty(p));
}

TEST(FindDiameterPanel, ImperialShowsTheMillimetresInInches) {
    PanelModel metric(PanelKind::Diameter, Locale{});
    PanelModel p(PanelKind::Diameter, Locale{});
    p.switchUnits(UnitSystem::Imperial, {ConversionChoice::Convert, 1});
    ASSERT_FALSE(metric.calculate());
    ASSERT_FALSE(p.calculate());
    const double mm = ReadEntryNumber(metric.text(Ctl::PipeDiameter_RightEdit), Locale{});
    EXPECT_NEAR(ReadEntryNumber(p.text(Ctl::PipeDiameter_RightEdit), Locale{}), mm / 25.4, 0.0006);
}

TEST(FindLengthPanel, FittingsNeedingMoreThanTheAvailableHeadAreRefused) {
    PanelModel p(PanelKind::Length, Locale{});
    p.setFittingsString(test::Fittings({0, 0, 0, 3}, {{19, 1}}));  // a butterfly valve at 25 %
    EXPECT_EQ(p.calculate(), refusals::FittingsTakeAvailablePressure());
    EXPECT_EQ(p.text(Ctl::PipeLength_RightEdit), "");
    EXPECT_TRUE(ResultsEmpty(p));
    p.setFittingsString(test::Fittings({0, 0, 0, 0}, {{19, 1}}));  // the same valve open
    ASSERT_FALSE(p.calculate());
    EXPECT_GT(ReadEntryNumber(p.text(Ctl::PipeLength_RightEdit), Locale{}), 0);
}

TEST(FindLengthPanel, ImperialLengthIsFeet) {
    PanelModel metric(PanelKind::Length, Locale{});
    PanelModel p(PanelKind::Length, Locale{});
    p.switchUnits(UnitSystem::Imperial, {ConversionChoice::Convert, 1});
    ASSERT_FALSE(metric.calculate());
    ASSERT_FALSE(p.calculate());
    const double m = ReadEntryNumber(metric.text(Ctl::PipeLength_RightEdit), Locale{});
    EXPECT_NEAR(ReadEntryNumber(p.text(Ctl::PipeLength_RightEdit), Locale{}), m * 3.2808399, 0.01);
}

TEST(Calculations, ZeroEntriesFromAFileAreRefusedNotShown) {
    for (PanelKind k : kAll) {
        for (Ctl c : {Ctl::IDmm_RightEdit, Ctl::LengthM_RightEdit, Ctl::FlowrateLMin_RightEdit,
                      Ctl::FluidViscosityRightEdit, Ctl::FluidRelativeDensityRightEdit}) {
            if (!PanelHas(k, c) || IsResult(k, c)) continue;
            PanelModel p(k, Locale{});
            p.setText(c, "?");
            const auto r = p.calculate();
            ASSERT_TRUE(r) << CtlName(c, k);
            EXPECT_EQ(r->kind, MessageKind::Warning);
            EXPECT_TRUE(ResultsEmpty(p));
        }
    }
}

TEST(Calculations, FlowTypeNamesTheZoneOfTheReynoldsNumber) {
    EXPECT_EQ(FlowTypeName(0), "Laminar");
    EXPECT_EQ(FlowTypeName(2300), "Laminar");
    EXPECT_EQ(FlowTypeName(2300.5), "Critical");
    EXPECT_EQ(FlowTypeName(3499.9), "Critical");
    EXPECT_EQ(FlowTypeName(3500), "Turbulent");
    EXPECT_EQ(FlowTypeName(std::nan("")), "Laminar");
}

// ---------------------------------------------------------------- entries

TEST(Entries, EveryChangeClearsTheResults) {
    for (PanelKind k : kAll) {
        for (Ctl c : {Ctl::IRmm_RightEdit, Ctl::IDmm_RightEdit, Ctl::LengthM_RightEdit, Ctl::ElevationChange_RightEdit,
                      Ctl::Barg_RightEdit, Ctl::VisibleFlowrateLMin_RightEdit, Ctl::AvailablePressure_RightEdit,
                      Ctl::AllowablePressureLoss_RightEdit}) {
            if (!PanelHas(k, c)) continue;
            PanelModel p(k, Locale{});
            ASSERT_FALSE(p.showFlowWeight());
            ASSERT_FALSE(ResultsEmpty(p));
            p.editEntry(c, p.text(c) + "1");
            EXPECT_TRUE(ResultsEmpty(p)) << CtlName(c, k);
        }
    }
}

TEST(Entries, KeyRuleBeepsAndClears) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    p.calculate();
    char32_t key = U'.';
    EXPECT_FALSE(p.keyPress(Ctl::IDmm_RightEdit, key));  // "25.000" has its separator
    EXPECT_TRUE(ResultsEmpty(p));
    p.calculate();
    key = 22;  // Ctrl+V
    EXPECT_FALSE(p.keyPress(Ctl::IDmm_RightEdit, key));
    EXPECT_TRUE(ResultsEmpty(p));
    key = U'7';
    EXPECT_TRUE(p.keyPress(Ctl::IDmm_RightEdit, key));
}

TEST(Entries, ZeroCannotBeLeftButTheElevationCan) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    p.editEntry(Ctl::IDmm_RightEdit, "");
    EXPECT_FALSE(p.leaveEntry(Ctl::IDmm_RightEdit));
    EXPECT_EQ(p.text(Ctl::IDmm_RightEdit), "?");
    p.editEntry(Ctl::LengthM_RightEdit, "0.000");
    EXPECT_FALSE(p.leaveEntry(Ctl::LengthM_RightEdit));
    EXPECT_EQ(p.text(Ctl::LengthM_RightEdit), "0.000");
    EXPECT_TRUE(p.leaveEntry(Ctl::ElevationChange_RightEdit));
    EXPECT_TRUE(p.leaveEntry(Ctl::IRmm_RightEdit));
}

TEST(Entries, RefusedLeavingSaysWhy) {
    PanelModel p(PanelKind::Flow, Locale{});
    p.setText(Ctl::IDmm_RightEdit, "");
    EXPECT_FALSE(p.leaveEntry(Ctl::IDmm_RightEdit));
    EXPECT_EQ(p.leaveRefusalText(Ctl::IDmm_RightEdit),
              "The internal diameter cannot be zero or empty: type a number greater than zero.");
    EXPECT_EQ(p.leaveRefusalText(Ctl::AllowablePressureLoss_RightEdit),
              "The allowable pressure loss cannot be zero or empty: type a number greater than zero.");
    EXPECT_NE(p.leaveRefusalText(Ctl::Barg_RightEdit), p.leaveRefusalText(Ctl::IDmm_RightEdit));
}

TEST(Entries, MaterialWritesItsRoughness) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    p.calculate();
    p.choose(Ctl::PipeMaterialComboBox, 2);
    EXPECT_EQ(p.text(Ctl::IRmm_RightEdit), "0.1500");
    EXPECT_TRUE(ResultsEmpty(p));  // through the roughness entry's change
    p.choose(Ctl::PipeMaterialComboBox, 14);
    EXPECT_EQ(p.text(Ctl::IRmm_RightEdit), "0.1000");
    PanelModel imperial(PanelKind::Flow, UsLocale());
    imperial.choose(Ctl::PipeMaterialComboBox, 0);
    EXPECT_EQ(imperial.text(Ctl::IRmm_RightEdit), "0.001811");
}

// ---------------------------------------------------------------- gas mode

TEST(GasMode, FluidChoiceSwitchesTheLayout) {
    for (PanelKind k : kAll) {
        PanelModel p(k, Locale{});
        p.useFluid(Air());
        EXPECT_TRUE(p.gasMode());
        EXPECT_EQ(p.text(Ctl::FluidName_Edit), " Air 20\u00b0C (68\u00b0F)");
        EXPECT_EQ(p.text(Ctl::RelativeDensityHdEdit), " Gas density kg/m\u00b3");
        EXPECT_TRUE(p.shown(Ctl::Barg_RightEdit));
        EXPECT_TRUE(p.shown(Ctl::Gas_FlowUnitComboBox));
        EXPECT_FALSE(p.shown(Ctl::FlowUnitComboBox));
        EXPECT_EQ(p.shown(Ctl::Uncompressed_SpeedButton), k != PanelKind::Flow);
        if (k != PanelKind::PressureDrop) {
            EXPECT_FALSE(p.shown(Ctl::AvailablePressure_RightEdit));
            EXPECT_TRUE(p.shown(Ctl::AllowablePressureLoss_RightEdit));
            EXPECT_TRUE(p.gasControlsMoved());
        }
        p.useFluid(test::Water());
        EXPECT_FALSE(p.gasMode());
        EXPECT_EQ(p.text(Ctl::RelativeDensityHdEdit), " Relative density");
        EXPECT_FALSE(p.shown(Ctl::Uncompressed_SpeedButton));
        EXPECT_FALSE(p.shown(Ctl::Barg_RightEdit));
        EXPECT_TRUE(p.gasControlsMoved() == (k != PanelKind::PressureDrop));
    }
}

TEST(GasMode, DensityDisplayAtTheInletPressure) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    p.useFluid(Air());
    // 1.2047 kg/m3 at 6 bar g: 1.2047 x 7.01325 / 1.01325.
    EXPECT_NEAR(ReadEntryNumber(p.text(Ctl::RightEditVisibleFluidDensityDisplay), Locale{}), 1.2047 * 7.01325 / 1.01325,
                5e-7);
    p.editEntry(Ctl::Barg_RightEdit, "-1");
    EXPECT_EQ(p.text(Ctl::RightEditVisibleFluidDensityDisplay), "");
    PanelModel us(PanelKind::Flow, UsLocale());  // inlet pressure 90 psi g, in bar for the density
    us.useFluid(Air());
    const double bar = 90 / 14.5037744;
    EXPECT_NEAR(ReadEntryNumber(us.text(Ctl::RightEditVisibleFluidDensityDisplay), Locale{}),
                1.2047 * (bar + 1.01325) / 1.01325, 5e-7);
}

TEST(GasMode, CompressedEntryOfTheFlow) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    p.useFluid(Air());
    p.setCompressedEntry(true);
    EXPECT_EQ(p.text(Ctl::UncompressedVolumeHdLabel), "Pressurised volume");
    EXPECT_EQ(p.text(Ctl::GasPressureHdLabel), "Pressure");
    p.editEntry(Ctl::VisibleFlowrateLMin_RightEdit, "10.000");
    EXPECT_EQ(p.text(Ctl::FlowrateLMin_RightEdit), "69.215");
    p.setCompressedEntry(false);
    EXPECT_EQ(p.text(Ctl::VisibleFlowrateLMin_RightEdit), "69.215");
    EXPECT_EQ(p.text(Ctl::UncompressedVolumeHdLabel), "Volume at 0.0 bar g");
    EXPECT_EQ(p.text(Ctl::GasPressureHdLabel), "Compressed to");
    PanelModel us(PanelKind::Diameter, UsLocale());
    us.useFluid(Air());
    us.setCompressedEntry(true);
    EXPECT_EQ(us.text(Ctl::UncompressedVolumeHdLabel), "Pressurized volume");
    // In psi: 10.000 at 90 psi g is 10 x (90 + 14.6959494) / 14.6959494 free.
    us.editEntry(Ctl::VisibleFlowrateLMin_RightEdit, "10.000");
    EXPECT_EQ(us.text(Ctl::FlowrateLMin_RightEdit), "71.241");
}

TEST(GasMode, PressingTheButtonDownRoundsTheFreeFlowThroughTheVisibleText) {
    PanelModel p(PanelKind::Length, Locale{});
    p.useFluid(Air());
    p.setCompressedEntry(true);
    EXPECT_EQ(p.text(Ctl::VisibleFlowrateLMin_RightEdit), "14.448");
    EXPECT_EQ(p.text(Ctl::FlowrateLMin_RightEdit), "100.002");
}

TEST(GasMode, LiquidFlowFieldsCarryTheSameText) {
    PanelModel p(PanelKind::Diameter, Locale{});
    p.editEntry(Ctl::VisibleFlowrateLMin_RightEdit, "55.5");
    EXPECT_EQ(p.text(Ctl::FlowrateLMin_RightEdit), "55.5");
    // Back to a liquid from compressed entry: the visible flow is the free flow again.
    p.useFluid(Air());
    p.setCompressedEntry(true);
    p.useFluid(test::Water());
    EXPECT_FALSE(p.compressedEntry());
    EXPECT_EQ(p.text(Ctl::VisibleFlowrateLMin_RightEdit), p.text(Ctl::FlowrateLMin_RightEdit));
}

TEST(GasMode, ChangingThePressureRecomputesTheFreeFlowInCompressedEntry) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    p.useFluid(Air());
    p.setCompressedEntry(true);
    p.editEntry(Ctl::VisibleFlowrateLMin_RightEdit, "10.000");
    p.editEntry(Ctl::Barg_RightEdit, "0.000");
    EXPECT_EQ(p.text(Ctl::FlowrateLMin_RightEdit), "10.000");
    EXPECT_EQ(p.text(Ctl::RightEditVisibleFluidDensityDisplay), "1.204700");
}

TEST(GasMode, AbsoluteZeroPressureEmptiesTheVisibleFlow) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    p.useFluid(Air());
    p.editEntry(Ctl::Barg_RightEdit, "-1.01325");
    p.setCompressedEntry(true);
    EXPECT_EQ(p.text(Ctl::VisibleFlowrateLMin_RightEdit), "");
    EXPECT_EQ(p.calculate(), refusals::PressureTooLow());
}

TEST(GasMode, ZeroInletPressureMakesTheEntryFlowTheFreeFlow) {
    PanelModel p(PanelKind::Diameter, Locale{});
    p.useFluid(Air());
    p.setText(Ctl::Barg_RightEdit, "0.000");
    p.setText(Ctl::AllowablePressureLoss_RightEdit, "0.000");
    // No allowable loss leaves no head: refused, but not as a loss above the pressure.
    EXPECT_EQ(p.calculate(), refusals::AvailablePressureTooLow());
    p.setText(Ctl::AllowablePressureLoss_RightEdit, "0.100");
    EXPECT_EQ(p.calculate(), refusals::AllowableLossTooHigh());
    PanelModel drop(PanelKind::PressureDrop, Locale{});
    drop.useFluid(Air());
    drop.setText(Ctl::Barg_RightEdit, "0.000");
    drop.setText(Ctl::VisibleFlowrateLMin_RightEdit, "1.000");
    // Any drop would exceed an inlet pressure of 0; a fall makes it negative.
    drop.setText(Ctl::ElevationChange_RightEdit, "1.000");
    drop.choose(Ctl::RiseFallComboBox, 1);
    ASSERT_FALSE(drop.calculate());
    EXPECT_EQ(drop.text(Ctl::ActualFlowValueLabel), "1.000 litre/min");
}

// ---------------------------------------------------------------- unit switch

TEST(UnitSwitch, MetricDefaultsToImperialAndBack) {
    for (const Locale& l : {Locale{}, CommaLocale()}) {
        PanelModel p(PanelKind::PressureDrop, l);
        p.useFluid(test::Water());
        ASSERT_EQ(p.conversionDialogFor(UnitSystem::Imperial), ConversionDialog::LiquidToImperial);
        p.switchUnits(UnitSystem::Imperial, {ConversionChoice::Convert, 1});  // "gpm-USA"
        auto dot = [&](std::string s) { return FixDecimalSeparator(s, l); };
        EXPECT_EQ(p.text(Ctl::IRmm_RightEdit), dot("0.001811"));
        EXPECT_EQ(p.text(Ctl::IDmm_RightEdit), dot("0.984252"));
        EXPECT_EQ(p.text(Ctl::LengthM_RightEdit), dot("32.808"));
        EXPECT_EQ(p.text(Ctl::FlowrateLMin_RightEdit), dot("26.417"));
        EXPECT_EQ(p.text(Ctl::VisibleFlowrateLMin_RightEdit), dot("26.417"));
        EXPECT_EQ(p.text(Ctl::Barg_RightEdit), dot("87.023"));
        EXPECT_EQ(p.list(Ctl::MhdBarComboBox).selectedText(), "ft hd");
        EXPECT_EQ(p.list(Ctl::FlowUnitComboBox).selectedText(), "gpm-USA");
        EXPECT_EQ(p.text(Ctl::BargHdLabel), "psi g");
        EXPECT_FALSE(p.metric());
        p.switchUnits(UnitSystem::Metric, {ConversionChoice::Convert, 2});  // "litre/min"
        EXPECT_EQ(p.text(Ctl::IDmm_RightEdit), dot("25.0000"));
        EXPECT_EQ(p.text(Ctl::IRmm_RightEdit), dot("0.0460"));
        EXPECT_EQ(p.text(Ctl::FlowrateLMin_RightEdit), dot("99.999"));  // from 26.417 gpm-USA
        EXPECT_EQ(p.text(Ctl::Barg_RightEdit), dot("6.000"));
        EXPECT_EQ(p.list(Ctl::FlowUnitComboBox).selectedText(), "litre/min");
        EXPECT_EQ(p.list(Ctl::Gas_FlowUnitComboBox).selectedText(), "litre/min");
        EXPECT_TRUE(p.metric());
    }
}

// After a switch the other flow list (the gas list of a liquid panel, the
// liquid list of a gas panel) shows the unit chosen in the dialog where it
// has that unit, else its first item.
TEST(UnitSwitch, TheOtherFlowListShowsTheChosenUnitOrItsFirst) {
    const struct {
        bool gas;
        UnitSystem to;
        int chosen;  // -1: "Use current values"
        const char* chosenText;
        const char* other;
    } cases[] = {
        {false, UnitSystem::Imperial, 0, "gpm-UK", "cu.ft/sec"},
        {false, UnitSystem::Imperial, 1, "gpm-USA", "cu.ft/sec"},
        {false, UnitSystem::Imperial, 2, "cu.ft/sec", "cu.ft/sec"},
        {false, UnitSystem::Imperial, 3, "cu.ft/min", "cu.ft/min"},
        {false, UnitSystem::Imperial, 4, "cu.ft/hr", "cu.ft/hr"},
        {false, UnitSystem::Imperial, 5, "brls/min(oil)", "cu.ft/sec"},
        {false, UnitSystem::Metric, 0, "litre/sec", "litre/sec"},
        {false, UnitSystem::Metric, 1, "milllitre/min", "litre/sec"},
        {false, UnitSystem::Metric, 2, "litre/min", "litre/min"},
        {false, UnitSystem::Metric, 3, "litre/hr", "litre/hr"},
        {false, UnitSystem::Metric, 4, "m\u00b3/hr", "m\u00b3/hr"},
        {false, UnitSystem::Metric, 5, "brls/min(oil)", "litre/sec"},
        {true, UnitSystem::Imperial, 0, "cu.ft/sec", "cu.ft/sec"},
        {true, UnitSystem::Imperial, 1, "cu.ft/min", "cu.ft/min"},
        {true, UnitSystem::Imperial, 2, "cu.ft/hr", "cu.ft/hr"},
        {true, UnitSystem::Metric, 0, "litre/sec", "litre/sec"},
        {true, UnitSystem::Metric, 1, "litre/min", "litre/min"},
        {true, UnitSystem::Metric, 2, "litre/hr", "litre/hr"},
        {true, UnitSystem::Metric, 3, "m\u00b3/hr", "m\u00b3/hr"},
        // Nothing converted: gpm-USA, litre/min, cu.ft/min and litre/min.
        {false, UnitSystem::Imperial, -1, "gpm-USA", "cu.ft/sec"},
        {false, UnitSystem::Metric, -1, "litre/min", "litre/min"},
        {true, UnitSystem::Imperial, -1, "cu.ft/min", "cu.ft/min"},
        {true, UnitSystem::Metric, -1, "litre/min", "litre/min"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosenText);
        PanelModel p(PanelKind::Diameter, Locale{});
        if (c.gas) p.useFluid(Air());
        if (c.to == UnitSystem::Metric) p.switchUnits(UnitSystem::Imperial, {ConversionChoice::UseCurrentValues, 0});
        p.switchUnits(c.to, {c.chosen < 0 ? ConversionChoice::UseCurrentValues : ConversionChoice::Convert, c.chosen});
        EXPECT_EQ(p.list(c.gas ? Ctl::Gas_FlowUnitComboBox : Ctl::FlowUnitComboBox).selectedText(), c.chosenText);
        EXPECT_EQ(p.list(c.gas ? Ctl::FlowUnitComboBox : Ctl::Gas_FlowUnitComboBox).selectedText(), c.other);
    }
}

TEST(UnitSwitch, UseCurrentValuesKeepsTheNumbers) {
    PanelModel p(PanelKind::Flow, Locale{});
    p.choose(Ctl::MhdBarComboBox, 1);
    p.switchUnits(UnitSystem::Imperial, {ConversionChoice::UseCurrentValues, 4});
    EXPECT_FALSE(p.metric());
    EXPECT_EQ(p.text(Ctl::IDmm_RightEdit), "25.000");
    EXPECT_EQ(p.text(Ctl::IDmm_RightEdit), "25.000");
    EXPECT_EQ(p.text(Ctl::ID_UnitsLabel), "inch");
    EXPECT_EQ(p.list(Ctl::FlowUnitComboBox).selected, 1);
    EXPECT_EQ(p.list(Ctl::MhdBarComboBox).selectedText(), "ft hd");  // nothing converted: item 0
    p.switchUnits(UnitSystem::Metric, {ConversionChoice::UseCurrentValues, 0});
    EXPECT_EQ(p.list(Ctl::FlowUnitComboBox).selected, 2);
    EXPECT_EQ(p.text(Ctl::IDmm_RightEdit), "25.000");
}

TEST(UnitSwitch, ConvertedAvailablePressureKeepsItsUnit) {
    PanelModel p(PanelKind::Flow, Locale{});
    p.choose(Ctl::MhdBarComboBox, 1);  // 10 bar
    p.switchUnits(UnitSystem::Imperial, {ConversionChoice::Convert, 1});
    EXPECT_EQ(p.text(Ctl::AvailablePressure_RightEdit), "145.038");
    EXPECT_EQ(p.list(Ctl::MhdBarComboBox).selectedText(), "psi");
    EXPECT_EQ(p.text(Ctl::AllowablePressureLoss_RightEdit), "8.702");
    PanelModel head(PanelKind::Flow, Locale{});
    head.switchUnits(UnitSystem::Imperial, {ConversionChoice::Convert, 1});
    EXPECT_EQ(head.text(Ctl::AvailablePressure_RightEdit), "32.808");
    // Panel 1's result unit always starts again at the head.
    PanelModel drop(PanelKind::PressureDrop, Locale{});
    drop.choose(Ctl::MhdBarComboBox, 1);
    drop.switchUnits(UnitSystem::Imperial, {ConversionChoice::Convert, 1});
    EXPECT_EQ(drop.list(Ctl::MhdBarComboBox).selected, 0);
}

TEST(UnitSwitch, ClosingTheDialogChangesNothing) {
    PanelModel p(PanelKind::Length, Locale{});
    const std::string before = p.text(Ctl::IDmm_RightEdit);
    p.switchUnits(UnitSystem::Imperial, {ConversionChoice::Closed, 1});
    EXPECT_TRUE(p.metric());
    EXPECT_EQ(p.text(Ctl::IDmm_RightEdit), before);
    EXPECT_EQ(p.text(Ctl::ID_UnitsLabel), "mm");
    EXPECT_EQ(p.list(Ctl::FlowUnitComboBox).selectedText(), "litre/min");
}

TEST(UnitSwitch, SameSystemOnlyClearsAndLaysOut) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    p.calculate();
    EXPECT_FALSE(p.conversionDialogFor(UnitSystem::Metric));
    p.switchUnits(UnitSystem::Metric, {ConversionChoice::Convert, 0});
    EXPECT_TRUE(ResultsEmpty(p));
    EXPECT_EQ(p.text(Ctl::IDmm_RightEdit), "25.000");
    EXPECT_EQ(p.list(Ctl::FlowUnitComboBox).selected, 2);
}

TEST(UnitSwitch, GasModeConvertsTheFreeFlowAndKeepsCompressedEntry) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    p.useFluid(Air());
    p.setCompressedEntry(true);
    ASSERT_EQ(p.conversionDialogFor(UnitSystem::Imperial), ConversionDialog::GasToImperial);
    p.switchUnits(UnitSystem::Imperial, {ConversionChoice::Convert, 1});  // cu.ft/min
    // The free flow 100.002 l/min is 3.532 cu.ft/min; pressing the button
    // again derives it anew from the 3-decimal compressed volume at
    // 87.023 psi g (0.510), as every compressed entry does.
    EXPECT_EQ(p.text(Ctl::FlowrateLMin_RightEdit), "3.530");
    EXPECT_EQ(p.text(Ctl::Barg_RightEdit), "87.023");
    EXPECT_EQ(p.text(Ctl::RightEditVisibleFluidDensityDisplay), "8.338408");  // air at 87.023 psi g
    EXPECT_EQ(p.list(Ctl::Gas_FlowUnitComboBox).selectedText(), "cu.ft/min");
    EXPECT_EQ(p.list(Ctl::FlowUnitComboBox).selectedText(), "cu.ft/min");
    EXPECT_TRUE(p.compressedEntry());
    EXPECT_EQ(p.text(Ctl::UncompressedVolumeHdLabel), "Pressurised volume");
    // The visible flow is the compressed volume at 87.023 psi g again.
    EXPECT_EQ(p.text(Ctl::VisibleFlowrateLMin_RightEdit), "0.510");
    p.setCompressedEntry(false);
    EXPECT_EQ(p.text(Ctl::UncompressedVolumeHdLabel), "Volume at 0.0 psi g");
    p.switchUnits(UnitSystem::Metric, {ConversionChoice::Convert, 1});  // litre/min
    EXPECT_EQ(p.text(Ctl::FlowrateLMin_RightEdit), "99.958");
    EXPECT_EQ(p.list(Ctl::FlowUnitComboBox).selectedText(), "litre/min");
}

TEST(UnitSwitch, FlowPanelGasCaptionFollowsTheUnit) {
    PanelModel p(PanelKind::Flow, CommaLocale());
    p.useFluid(Air());
    p.switchUnits(UnitSystem::Imperial, {ConversionChoice::UseCurrentValues, 0});
    EXPECT_EQ(p.text(Ctl::UncompressedVolumeHdLabel), "Volume at 0,0 psi g");
    EXPECT_EQ(p.list(Ctl::Gas_FlowUnitComboBox).selectedText(), "cu.ft/min");
    EXPECT_EQ(p.list(Ctl::FlowUnitComboBox).selectedText(), "cu.ft/min");
}

TEST(GasMode, FlowPanelCaptionChangesOnlyWithAUnitSwitch) {
    PanelModel p(PanelKind::Flow, UsLocale());  // starts imperial
    const std::string before = p.text(Ctl::UncompressedVolumeHdLabel);
    p.useFluid(Air());
    EXPECT_EQ(p.text(Ctl::UncompressedVolumeHdLabel), before);
    p.useFluid(test::Water());
    p.useFluid(Air());
    EXPECT_EQ(p.text(Ctl::UncompressedVolumeHdLabel), before);
    p.switchUnits(UnitSystem::Metric, {ConversionChoice::UseCurrentValues, 1});
    EXPECT_EQ(p.text(Ctl::UncompressedVolumeHdLabel), "Volume at 0.0 bar g");
    p.switchUnits(UnitSystem::Imperial, {ConversionChoice::UseCurrentValues, 0});
    EXPECT_EQ(p.text(Ctl::UncompressedVolumeHdLabel), "Volume at 0.0 psi g");
    p.useFluid(test::Water());
    p.switchUnits(UnitSystem::Imperial, {ConversionChoice::UseCurrentValues, 0});  // the same system
    p.useFluid(Air());
    EXPECT_EQ(p.text(Ctl::UncompressedVolumeHdLabel), "Volume at 0.0 psi g");
}

// ---------------------------------------------------------------- flow weight

TEST(FlowWeight, StripTextsOfTheDefaults) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    EXPECT_FALSE(p.showFlowWeight());
    EXPECT_TRUE(p.shown(Ctl::FlowWeightPanel));
    EXPECT_EQ(p.text(Ctl::FlowWeightPanel), " Weight = 99.800 kgs / min");
    p.choose(Ctl::FlowUnitComboBox, 0);  // the same number as litre/sec...
    EXPECT_FALSE(p.shown(Ctl::FlowWeightPanel));
    p.setText(Ctl::VisibleFlowrateLMin_RightEdit, FixDecimalSeparator("1.6666666667", Locale{}));
    p.showFlowWeight();  // ...then 100 l/min again
    EXPECT_EQ(p.text(Ctl::FlowWeightPanel), " Weight = 1.663 kgs / sec");
}

TEST(FlowWeight, TextsOfWaterAtOneHundredLitresPerMinute) {
    EXPECT_EQ(FormatFlowWeight(2, false, 998, 100, Locale{}), " Weight = 99.800 kgs / min");
    EXPECT_EQ(FormatFlowWeight(0, false, 998, 100, Locale{}), " Weight = 1.663 kgs / sec");
    EXPECT_EQ(FormatFlowWeight(5, true, 998, 100, Locale{}), " Weight = 219.959 lbs / min");
    EXPECT_EQ(FormatFlowWeight(5, true, 998, 100, CommaLocale()), " Weight = 219,959 lbs / min");
    EXPECT_EQ(FormatFlowWeight(4, false, 998, 100, Locale{}), " Weight = 5988.000 kgs / hr");
    EXPECT_EQ(FormatFlowWeight(9, true, 998, 100, Locale{}), " Weight = 13197.552 lbs / hr");
    EXPECT_EQ(FormatFlowWeight(7, true, 998, 100, Locale{}), " Weight = 3.666 lbs / sec");
    EXPECT_EQ(FormatFlowWeight(11, false, 998, 100, Locale{}), " Weight = 1.663 kgs / sec");
    EXPECT_EQ(FormatFlowWeight(1, false, 998, 100, Locale{}), " Weight = 99.800 kgs / min");
}

TEST(FlowWeight, ImperialGallonsWeighInPounds) {
    PanelModel p(PanelKind::Length, Locale{});
    p.switchUnits(UnitSystem::Imperial, {ConversionChoice::Convert, 0});  // gpm-UK
    p.setText(Ctl::VisibleFlowrateLMin_RightEdit, "21.996924");            // 100 l/min
    p.showFlowWeight();
    EXPECT_EQ(p.text(Ctl::FlowWeightPanel), " Weight = 219.959 lbs / min");
}

TEST(FlowWeight, RefusedCalculationShowsAnEmptyStrip) {
    PanelModel p(PanelKind::Flow, Locale{});
    p.setText(Ctl::Barg_RightEdit, "-1");
    EXPECT_TRUE(p.showFlowWeight());
    EXPECT_TRUE(p.shown(Ctl::FlowWeightPanel));
    EXPECT_EQ(p.text(Ctl::FlowWeightPanel), "");
}

TEST(FlowWeight, CaptionTogglesAndAClickHides) {
    PanelModel p(PanelKind::Diameter, Locale{});
    p.showFlowWeight();
    p.hideFlowWeight();
    EXPECT_FALSE(p.shown(Ctl::FlowWeightPanel));
    p.toggleFlowWeight();
    EXPECT_TRUE(p.shown(Ctl::FlowWeightPanel));
    EXPECT_NE(p.text(Ctl::FlowWeightPanel), "");
    p.toggleFlowWeight();
    EXPECT_FALSE(p.shown(Ctl::FlowWeightPanel));
}

TEST(FlowWeight, GasWeightDoesNotDependOnTheInletPressure) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    p.useFluid(Air());
    p.showFlowWeight();
    const std::string at6 = p.text(Ctl::FlowWeightPanel);
    EXPECT_EQ(at6, " Weight = 0.120 kgs / min");
    p.editEntry(Ctl::Barg_RightEdit, "2.000");
    p.showFlowWeight();
    EXPECT_EQ(p.text(Ctl::FlowWeightPanel), at6);
}

// ---------------------------------------------------------------- notifications

TEST(Notifications, EveryVisibleChangeIsAnnounced) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    std::map<Ctl, int> seen;
    p.subscribe([&](Ctl c) { ++seen[c]; });
    p.calculate();
    EXPECT_GT(seen[Ctl::mHd_RightEdit], 0);
    EXPECT_GT(seen[Ctl::ReynoldsNumber_RightEdit], 0);
    seen.clear();
    p.useFluid(Air());
    EXPECT_GT(seen[Ctl::Barg_RightEdit], 0);
    EXPECT_GT(seen[Ctl::Gas_FlowUnitComboBox], 0);
    EXPECT_GT(seen[Ctl::mHd_RightEdit], 0);
}

}  // namespace
}  // namespace corvane
