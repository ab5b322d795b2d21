// The pipe run window's model: entries in either unit system land in the
// document in calculation units, what the run cannot take is refused with
// the reason, the table of sections keeps the pump on its section, the
// grade-line picture lies on the nodes, and the run file is written under
// its lock without losing another program's change.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "logic/engine/Units.h"
#include "logic/model/runs/RunEditor.h"
#include "logic/model/sheets/RunSheet.h"
#include "logic/text/NumberText.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

RunDocument Example() {
    std::ifstream in(CORVANE_EXAMPLES "/pump-cavitating.cvrun", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    return std::get<RunDocument>(ParseRunDocument(bytes));
}

TEST(RunEditor, EntriesInEitherUnitSystemAreKeptInCalculationUnits) {
    const struct {
        bool metric;
        RunField field;
        const char* text;
        double (*stored)(const RunDocument&);
        double expected;
    } cases[] = {
        {true, RunField::SinkLevel, "12.5", [](const RunDocument& d) { return d.sink.level; }, 12.5},
        {false, RunField::SinkLevel, "10", [](const RunDocument& d) { return d.sink.level; }, 3.048},
        {false, RunField::SourcePressure, "14.5037744", [](const RunDocument& d) { return d.source.pressure; }, 1.0},
        {false, RunField::Flow, "100", [](const RunDocument& d) { return *d.flowLmin; }, 378.5411784},
        {true, RunField::VapourPressure, "0.1", [](const RunDocument& d) { return *d.fluid.vapourPressureBarA; }, 0.1},
        {false, RunField::StartElevation, "-3.28083990", [](const RunDocument& d) { return d.startElevationM; }, -1.0},
    };
    for (const auto& c : cases) {
        RunEditor e(Locale{}, {});
        e.setMetric(c.metric);
        EXPECT_EQ(e.setText(c.field, c.text), std::nullopt) << c.text;
        EXPECT_NEAR(c.stored(e.document()), c.expected, 1e-6 * std::fabs(c.expected)) << c.text;
        EXPECT_TRUE(e.modified());
    }
    // A diameter typed in inches is kept in mm; a comma locale reads "2,5".
    RunEditor e(Locale{','}, {});
    e.setMetric(false);
    EXPECT_EQ(e.setSectionText(0, SectionColumn::Diameter, "2,5"), std::nullopt);
    EXPECT_DOUBLE_EQ(*e.document().sections[0].diameterMm, 63.5);
    EXPECT_EQ(e.sectionRows()[0][1], "2,5");
}

TEST(RunEditor, WhatTheRunCannotTakeIsRefusedAndNothingChanges) {
    const struct {
        RunField field;
        const char* text;
        const char* said;
    } fields[] = {
        {RunField::Viscosity, "0", "fluid.viscosity_cst"},
        {RunField::SinkLevel, "", "Sink level needs a number"},
        {RunField::SinkLevel, "high", "is not a number"},
        {RunField::PumpAfter, "2", "1 to 1"},
        {RunField::PumpPoints, "0:40", "section the pump stands after first"},
    };
    for (const auto& c : fields) {
        RunEditor e(Locale{}, {});
        const RunDocument before = e.document();
        const auto said = e.setText(c.field, c.text);
        ASSERT_TRUE(said) << c.text;
        EXPECT_NE(said->find(c.said), std::string::npos) << *said;
        EXPECT_EQ(e.document(), before);
        EXPECT_FALSE(e.modified());
    }
    RunEditor e(Locale{}, {});
    const struct {
        SectionColumn column;
        const char* text;
        const char* said;
    } cells[] = {
        {SectionColumn::Diameter, "0", "sections[1].diameter_mm must be above 0"},
        {SectionColumn::Rise, "60", "cannot be more than the section's length_m"},
        {SectionColumn::Name, " ", "needs a name"},
        {SectionColumn::Transition, "conical", "first section has no transition"},
    };
    for (const auto& c : cells) {
        const auto said = e.setSectionText(0, c.column, c.text);
        ASSERT_TRUE(said) << c.text;
        EXPECT_NE(said->find(c.said), std::string::npos) << *said;
    }
    EXPECT_EQ(e.document(), RunEditor::NewRunDocument());
}

TEST(RunEditor, SectionsMoveWithTheirPumpAndTheFirstTakesNoTransition) {
    RunEditor e(Locale{}, {});
    e.setDocument(Example());
    ASSERT_EQ(e.outcome().status, RunStatus::Ok) << e.outcome().message;
    // A section before the pump's: the pump stays after "Suction".
    ASSERT_EQ(e.addSection(-1), 0);
    EXPECT_EQ(e.document().pump->afterSection, 2);
    EXPECT_EQ(e.document().sections[1].name, "Suction");
    EXPECT_TRUE(e.removeSection(0));
    EXPECT_EQ(e.document().pump->afterSection, 1);
    // "Rising main" first: its sudden contraction goes, "Suction" second
    // takes none either (it had none).
    EXPECT_TRUE(e.moveSection(1, -1));
    EXPECT_EQ(e.document().sections[0].name, "Rising main");
    EXPECT_FALSE(e.document().sections[0].transition);
    EXPECT_EQ(e.sectionRows()[0][7], "");
    EXPECT_FALSE(e.moveSection(0, -1));
    // A run keeps one section.
    EXPECT_TRUE(e.removeSection(2));
    EXPECT_TRUE(e.removeSection(1));
    EXPECT_FALSE(e.removeSection(0));
    EXPECT_EQ(e.sectionCount(), 1);
}

TEST(RunEditor, FittingsGoThroughTheDialogsSelectionAndBack) {
    RunEditor e(Locale{}, {});
    e.setDocument(Example());
    const std::string selection = e.fittingsSelection(1);
    EXPECT_EQ(e.setFittingsSelection(1, selection), std::nullopt);
    EXPECT_EQ(e.document(), Example());
    // Two gate valves half open and an extra K.
    std::string changed = "2\t0\t0\t0\t";
    for (int k = 1; k <= kFittingKindCount; ++k) changed += (k == kFirstValveKind ? "2" : "0") + std::string("\t");
    changed += "1.50\t";
    EXPECT_EQ(e.setFittingsSelection(0, changed), std::nullopt);
    const RunDocSection& s = e.document().sections[0];
    ASSERT_EQ(s.fittings.size(), 1u);
    EXPECT_EQ(s.fittings[0], (RunFitting{kFirstValveKind, 2, 2}));
    EXPECT_EQ(s.extraK, 1.5);
    EXPECT_EQ(e.fittingsSelection(0), changed);
}

TEST(RunEditor, TheGradeLinesLieOnTheNodesAndShowWhereTheLiquidBoils) {
    for (bool metric : {true, false}) {
        RunEditor e(Locale{}, {});
        e.setDocument(Example());
        e.setMetric(metric);
        const ChartPicture p = e.gradeLinePicture();
        ASSERT_FALSE(p.message);
        const RunResult& r = e.outcome().result;
        const double unit = metric ? 1.0 : kFeetPerMetre;
        auto line = [&](LineRole role) -> const ChartLine& {
            for (const ChartLine& l : p.lines)
                if (l.role == role) return l;
            ADD_FAILURE() << "no line";
            return p.lines.front();
        };
        const ChartLine& hydraulic = line(LineRole::Own);
        ASSERT_EQ(hydraulic.points.size(), r.nodes.size());
        for (std::size_t i = 0; i < r.nodes.size(); ++i) {
            EXPECT_NEAR(hydraulic.points[i].first, r.nodes[i].distance * unit, 1e-6);
            EXPECT_NEAR(hydraulic.points[i].second, r.nodes[i].hydraulicHead * unit, 1e-6);
            EXPECT_NEAR(line(LineRole::Energy).points[i].second, r.nodes[i].energyHead * unit, 1e-6);
        }
        // The pump's jump: two points at its distance.
        EXPECT_EQ(hydraulic.points[1].first, hydraulic.points[2].first);
        // The end of the suction lies below the vapour pressure's line, and
        // is marked; the pump's inlet is marked on the grade line.
        const ChartLine& vapour = line(LineRole::Reference);
        EXPECT_LT(hydraulic.points[1].second, vapour.points[1].second);
        EXPECT_GT(hydraulic.points[0].second, vapour.points[0].second);
        EXPECT_EQ(line(LineRole::Operating).points, (std::vector<std::pair<double, double>>{hydraulic.points[1]}));
        EXPECT_EQ(line(LineRole::PumpPoint).points, (std::vector<std::pair<double, double>>{hydraulic.points[1]}));
        EXPECT_NE(line(LineRole::PumpPoint).name.find("NPSH available"), std::string::npos);
        // Round ticks that hold every line.
        for (const ChartLine& l : p.lines)
            for (const auto& [x, y] : l.points) {
                EXPECT_LE(p.y.min, y);
                EXPECT_GE(p.y.max, y);
                EXPECT_GE(p.x.max, x);
            }
        EXPECT_EQ(p.x.title, metric ? "Distance along the run (m)" : "Distance along the run (ft)");
        // The notes in the window's units too.
        EXPECT_NE(e.statusText().find(metric ? " bar a: the liquid boils" : " psi a: the liquid boils"), std::string::npos)
            << e.statusText();
        EXPECT_EQ(e.nodeResults().warnRows, std::vector<std::size_t>{1});
    }
}

TEST(RunEditor, PointsAreReadAsTheWindowWritesThem) {
    const struct {
        Locale locale;
        const char* text;
        std::optional<std::vector<PumpPoint>> points;
    } cases[] = {
        {Locale{}, "0:40, 200:36,400:26.5", std::vector<PumpPoint>{{0, 40}, {200, 36}, {400, 26.5}}},
        {Locale{','}, "0:40; 200,5:36", std::vector<PumpPoint>{{0, 40}, {200.5, 36}}},
        {Locale{}, "0:40, 200", std::nullopt},
        {Locale{}, "", std::nullopt},
        {Locale{}, "a:b", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadPointsText(c.text, c.locale), c.points) << c.text;
        if (c.points) EXPECT_EQ(ReadPointsText(PointsText(*c.points, c.locale), c.locale), c.points);
    }
}

// Converted pump points are shown to four significant digits; a point
// typed back as shown keeps its stored number, one changed takes the
// typed value.
TEST(RunEditor, ImperialPumpPointsAreShortAndKeepTheirStoredNumbers) {
    const std::string shown = "0:65.62, 52.83:59.06, 105.7:42.65";
    const struct {
        const char* text;
        std::vector<PumpPoint> points;
    } cases[] = {
        {" 0:65.62, 52.83:59.06, 105.7:42.65", {{0, 20}, {200, 18}, {400, 13}}},
        {"0:70, 52.83:59.06, 105.7:42.65", {{0, 21.336}, {200, 18}, {400, 13}}},
        {"0:65.620, 52.830:59.06, 105.7:42.65, 120:30", {{0, 20}, {200, 18}, {400, 13}, {454.2494, 9.144}}},
        {"0:65.62, 52.83:59.06", {{0, 20}, {200, 18}}},
    };
    for (const auto& c : cases) {
        RunEditor e(Locale{}, {});
        e.setMetric(false);
        ASSERT_EQ(e.setText(RunField::PumpAfter, "1"), std::nullopt);
        const std::vector<PumpPoint> stored = e.document().pump->points;
        ASSERT_EQ(stored, (std::vector<PumpPoint>{{0, 20}, {200, 18}, {400, 13}}));
        EXPECT_EQ(e.text(RunField::PumpPoints), shown);
        ASSERT_EQ(e.setText(RunField::PumpPoints, c.text), std::nullopt) << c.text;
        const std::vector<PumpPoint>& got = e.document().pump->points;
        ASSERT_EQ(got.size(), c.points.size()) << c.text;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i].flow, c.points[i].flow, 1e-4) << c.text;
            EXPECT_NEAR(got[i].head, c.points[i].head, 1e-6) << c.text;
            if (i < 3 && c.points[i] == stored[i]) EXPECT_EQ(got[i], stored[i]) << c.text;  // as shown: as stored
        }
    }
    // Metric points are the stored numbers, not rounded to four digits.
    EXPECT_EQ(PointNumberText(1234.5, false, Locale{}), "1234.5");
    EXPECT_EQ(PointNumberText(1234.5, true, Locale{}), "1235");
}

TEST(RunEditor, TheRunFileIsNotWrittenOverAnotherProgramsChange) {
    const fs::path dir = fs::temp_directory_path() / ("corvane-run-editor-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "line.cvrun").string();
    const RunDocument d = Example();
    const RunFileWrite first = WriteRunFile(path, d, std::nullopt);
    ASSERT_TRUE(first.bytes) << first.message;
    const RunFileRead read = ReadRunFile(path);
    ASSERT_TRUE(read.document) << read.message;
    EXPECT_EQ(*read.document, d);
    EXPECT_EQ(read.bytes, *first.bytes);
    // Unchanged since read: written; changed by another program: refused
    // and left as that program wrote it.
    EXPECT_TRUE(WriteRunFile(path, d, read.bytes).bytes);
    std::ofstream(path, std::ios::binary | std::ios::app) << " ";
    const RunFileWrite refused = WriteRunFile(path, RunEditor::NewRunDocument(), read.bytes);
    EXPECT_FALSE(refused.bytes);
    EXPECT_NE(refused.message.find("Another program has changed this file"), std::string::npos);
    EXPECT_EQ(*ReadRunFile(path).document, d);
    // What cannot be read again to compare is not written over (a file
    // grown past what a run file may be); one that is gone is written.
    std::ofstream(path, std::ios::binary | std::ios::app) << std::string(kMaxRunFileBytes, ' ');
    const RunFileWrite unread = WriteRunFile(path, d, read.bytes);
    EXPECT_FALSE(unread.bytes);
    EXPECT_EQ(unread.message, "This file cannot be read again to compare it with what was opened here (File too "
                              "large); it was not overwritten. Save the run under another name.");
    EXPECT_EQ(fs::file_size(path), read.bytes.size() + 1 + kMaxRunFileBytes);
    fs::remove(path);
    EXPECT_TRUE(WriteRunFile(path, d, read.bytes).bytes);
    EXPECT_FALSE(fs::exists(path + ".lock"));
    // Not a run document: said.
    std::ofstream(dir / "junk.cvrun") << "{\"corvane_run\": 1}";
    EXPECT_FALSE(ReadRunFile((dir / "junk.cvrun").string()).document);
    EXPECT_TRUE(LooksLikeRunDocument("  {\n\"corvane_run\": 1"));
    EXPECT_FALSE(LooksLikeRunDocument("Corvane_Find_PD\r\n"));
    EXPECT_TRUE(IsRunFileName("/a/B.CVRUN"));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

// The run's sheet: the panels' frame, every section, transition and node,
// the pump only where there is one, and the plot's key in words.
TEST(RunSheet, HoldsTheWholeRunInThePanelsFrame) {
    const RunDocument d = Example();
    const RunOutcome o = CalculateRun(d, {}, Locale{});
    ASSERT_EQ(o.status, RunStatus::Ok);
    const CalculationSheet sheet = MakeRunSheet(d, o, "", "2026-12-09", {"Plant", "", "", "", "C"}, Locale{});
    EXPECT_EQ(sheet.pageHeading, "Run file: (not saved) \u2014 Project Plant \u2014 revision C");
    std::vector<std::string> titles, paragraphs;
    for (const SheetSection& s : sheet.sections) {
        titles.push_back(s.title);
        for (const SheetBlock& b : s.blocks)
            if (b.kind == SheetBlock::Kind::Paragraph) paragraphs.push_back(b.text);
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"1  The run", "2  The method", "3  Intermediate values", "4  The result",
                                                "5  Grade lines"}));
    auto has = [&](const std::string& text) {
        return std::any_of(paragraphs.begin(), paragraphs.end(), [&](const std::string& p) { return p.find(text) == 0; });
    };
    for (const char* p : {"Section 1 Suction:", "Section 3 Header:", "Transition into section 2 Rising main, sudden contraction:",
                          "Transition into section 3 Header, conical expansion:", "The pump after section 1 Suction:",
                          "\u2022 At the end of Suction the absolute pressure"})
        EXPECT_TRUE(has(p)) << p;
    // The plot keyed below it: every named line once, none in a legend.
    const SheetSection& plot = sheet.sections.back();
    ASSERT_EQ(plot.blocks.size(), 2u);
    for (const ChartLine& l : plot.blocks[0].chart.lines) {
        EXPECT_FALSE(l.inLegend);
        if (!l.name.empty()) EXPECT_NE(plot.blocks[1].text.find(l.name), std::string::npos) << l.name;
    }
    EXPECT_NE(plot.blocks[1].text.find("red dot: Pressure below the vapour pressure"), std::string::npos);

    // Without a pump: no pump's paragraphs, and the flow by the heads.
    RunDocument gravity = RunEditor::NewRunDocument();
    const RunOutcome g = CalculateRun(gravity, {}, Locale{});
    ASSERT_EQ(g.status, RunStatus::Ok) << g.message;
    paragraphs.clear();
    for (const SheetSection& s : MakeRunSheet(gravity, g, "a.cvrun", "", {}, Locale{}).sections)
        for (const SheetBlock& b : s.blocks)
            if (b.kind == SheetBlock::Kind::Paragraph) paragraphs.push_back(b.text);
    EXPECT_FALSE(has("The pump"));
    EXPECT_TRUE(has("The flow is the one at which the losses take up the difference"));
}

TEST(RunEditor, ResultsAreGivenInTheWindowsUnits) {
    RunEditor e(Locale{}, {});
    e.setDocument(Example());
    e.setMetric(false);
    const TextTable pump = e.pumpResults();
    ASSERT_EQ(pump.rows.size(), 8u);
    const PumpDuty& duty = *e.outcome().result.pump;
    EXPECT_EQ(pump.rows[0], (std::vector<std::string>{"Flow", WriteEntryNumber(FlowFromLitresPerMin(kGallonUsPerMin, duty.flow), 3, Locale{}).value(),
                                                      "gpm-USA"}));
    EXPECT_EQ(pump.rows[2][2], "hp");
    EXPECT_EQ(pump.rows[2][1], WriteEntryNumber(duty.fluidPowerW / 745.7, 3, Locale{}).value());
    // Entry, two transitions, exit, the total and the margin.
    const TextTable losses = e.transitionResults();
    ASSERT_EQ(losses.rows.size(), 6u);
    EXPECT_EQ(losses.rows[1][0], "Into Rising main: sudden contraction");
    EXPECT_EQ(losses.rows[5][0], "Sink margin");
    // The clipboard's text: each table after its headers, TAB-separated.
    const std::string text = e.resultsText();
    EXPECT_EQ(text.rfind("Flow\t", 0), 0u);
    EXPECT_NE(text.find("Node\tDistance ft\tElevation ft\tPressure psi g\t"), std::string::npos);
    EXPECT_NE(text.find("NPSH available\t"), std::string::npos);
}

}  // namespace
}  // namespace corvane
