#pragma once
// The analysis window's Pump tab: the pump's points as typed (flow in the
// panel's flow unit, head in m or ft of the liquid), the speed ratio and
// the efficiency in per cent; the operating point on the panel's pipe run,
// its rows, the pump curve and the point on the system curve's picture,
// and the data as CSV.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "logic/model/analysis/AnalysisPictures.h"
#include "logic/model/pumps/PumpLibrary.h"
#include "logic/model/pumps/PumpModel.h"

namespace corvane {

class PumpTab {
public:
    static constexpr int kPointRows = 6;

    PumpTab();

    const std::string& flowText(int row) const { return points_[Row(row)][0]; }
    const std::string& headText(int row) const { return points_[Row(row)][1]; }
    void setFlowText(int row, std::string text) { points_[Row(row)][0] = std::move(text); }
    void setHeadText(int row, std::string text) { points_[Row(row)][1] = std::move(text); }
    const std::string& speedText() const { return speed_; }
    void setSpeedText(std::string text) { speed_ = std::move(text); }
    const std::string& efficiencyText() const { return efficiency_; }
    void setEfficiencyText(std::string text) { efficiency_ = std::move(text); }
    // Fills the rows with points (in the panel's units), the rest empty.
    void setPoints(const std::vector<std::pair<double, double>>& points, const Locale& locale);

    // A pump of the library (l/min, m) in the panel's units, at its own speed.
    void usePump(const PumpRecord& pump, const PanelModel& panel);
    // The typed points as a library's pump named `name` (l/min, m), or the
    // refusal of points that make no pump curve.
    std::optional<PumpRecord> asPump(const std::string& name, const PanelModel& panel,
                                     std::optional<Refusal>* refusal = nullptr) const;

    // Whether no point is typed at all.
    bool empty() const;
    // The pump as typed, read in the locale's numbers; a row with only one
    // of its two numbers is refused.
    std::optional<PumpEntry> entry(const Locale& locale, std::optional<Refusal>* refusal = nullptr) const;

private:
    static std::size_t Row(int row);
    std::array<std::array<std::string, 2>, kPointRows> points_{};
    std::string speed_ = "1";
    std::string efficiency_;
};

// The column titles of the points: "Flow (litre/min)", "Head (m hd)".
std::string PumpFlowTitle(const PanelModel& panel);
std::string PumpHeadTitle(const PanelModel& panel);

struct PumpTabResult {
    std::optional<std::string> message;  // instead of a result; '\r' between lines
    PumpOnPanel point;
    std::vector<PumpRow> rows;
    std::vector<CurvePoint> curve;  // the pump's head in the system curve's units
    CurvePoint shown{};             // the operating point in those units
};
PumpTabResult SolvePumpTab(const PanelModel& panel, const PumpTab& tab);
// The same for a pump given as numbers (the sheet of corvane-cli).
PumpTabResult SolvePumpEntry(const PanelModel& panel, const PumpEntry& pump);

// The system curve's picture with the pump curve and its operating point:
// the system curve runs from no flow to 110 % of the larger of the
// operating point's flow and the pump curve's last flow (at least to 150 %
// of the panel's flow), so that the two curves cross at the drawn point;
// the axes hold every curve.  Without a pump, the system curve alone.
ChartPicture WithPump(const PanelModel& panel, const PumpTabResult& pump);
// Where that system curve ends, in l/min (0 without a pump: the curve's own
// 150 % of the panel's flow).
double SystemCurveEnd(const PanelModel& panel, const PumpTabResult& pump);

// The pump's points, the result rows and its curve, as CSV.
std::string PumpCsv(const PanelModel& panel, const PumpTab& tab, const PumpTabResult& pump);

// The message of a row with only one of its two numbers.
Refusal PumpPointIncomplete();

}  // namespace corvane
