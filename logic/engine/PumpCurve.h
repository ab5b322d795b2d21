#pragma once
// A pump on the pipe: the pump's head against its flow from the points of
// its data sheet, and the operating point where that head meets the head
// the pipe run needs.  Calculation units only: flow l/min, head m of the
// pumped liquid.
//
// The curve takes one of three forms, by the points given:
//  - one point (Q1, H1): h = 4/3 H1 - 1/3 H1 (Q/Q1)^2, shut-off at 4/3 H1,
//    no head left at 2 Q1;
//  - three points of which the first is at no flow, (0, H0), (Q1, H1),
//    (Q2, H2): h = A - B Q^C, A = H0, C = ln((A - H2)/(A - H1)) / ln(Q2/Q1),
//    B = (A - H1) / Q1^C, up to the flow where no head is left;
//  - any other two or more points: straight lines between them, from the
//    first point's flow to the last one's.
// A speed ratio S moves every point by the affinity laws, (Q S, H S^2),
// before the curve is formed.

#include <functional>
#include <optional>
#include <vector>

namespace corvane {

struct PumpPoint {
    double flow = 0;  // l/min
    double head = 0;  // m
    bool operator==(const PumpPoint&) const = default;
};

enum class PumpCurveForm { OnePoint, Fitted, Lines };

// Why points give no pump curve.
enum class PumpCurveFault {
    NoPoints,           // no point at all
    SpeedNotPositive,   // a speed ratio of zero or less
    SpeedTooSmall,      // a speed ratio so small that the points' flows or heads vanish
    NegativeValue,      // a negative flow or head; one point needs both above zero
    TooLarge,           // a flow or head beyond the numbers the calculation holds
    TooSmall,           // a point so near zero that its curve cannot be formed
    FlowsNotIncreasing, // the flows do not increase from point to point
    HeadsRise,          // a head above the one before it
    NoFallingFit,       // three points that give no falling curve h = A - B Q^C
};

class PumpCurve {
public:
    PumpCurveForm form() const { return form_; }
    const std::vector<PumpPoint>& points() const { return points_; }  // after the speed ratio
    // h = A - B Q^C of the one-point and fitted forms.
    double a() const { return a_; }
    double b() const { return b_; }
    double c() const { return c_; }
    double minFlow() const { return minFlow_; }
    double maxFlow() const { return maxFlow_; }
    // Head at flow q, for q from minFlow() to maxFlow().
    double head(double q) const;

private:
    friend struct PumpCurveResult MakePumpCurve(std::vector<PumpPoint> points, double speedRatio);
    PumpCurveForm form_ = PumpCurveForm::Lines;
    std::vector<PumpPoint> points_;
    double a_ = 0, b_ = 0, c_ = 0;
    double minFlow_ = 0, maxFlow_ = 0;
};

struct PumpCurveResult {
    std::optional<PumpCurveFault> fault;
    PumpCurve curve;
};
PumpCurveResult MakePumpCurve(std::vector<PumpPoint> points, double speedRatio = 1.0);

// Why a pump and a pipe run have no operating point.
enum class PumpOperatingFault {
    CannotOvercomeElevation,  // the head at no flow does not reach the static head
    CurvesDoNotMeet,          // within the curve's flows the pump's head stays above or below the pipe's
    SystemRefused,            // the pipe run's head could not be calculated at a flow
};

struct PumpOperatingResult {
    std::optional<PumpOperatingFault> fault;
    double flow = 0;  // l/min
    double head = 0;  // m
    int passes = 0;
};

// The flow at which the pump's head equals the pipe run's, found by
// bisection to a relative width of kPumpFlowTolerance.  `systemHead` gives
// the head (m) the pipe run needs at a flow (l/min), or nothing where it
// cannot be calculated; it must rise with the flow.
inline constexpr double kPumpFlowTolerance = 1e-9;
PumpOperatingResult SolvePumpOperatingPoint(const PumpCurve& pump,
                                            const std::function<std::optional<double>(double)>& systemHead);

// The power the pump gives the liquid, P = rho g Q H in W, for a liquid of
// relative density rhoR (rho = 1000 rhoR kg/m3), Q l/min, H m.  Example:
// 1 m3/s of water lifted 10 m takes 98 100 W (test PumpPower.RhoGQH).
double FluidPowerW(double rhoR, double flow, double head);

// NPSH required (m) at flow q (l/min) from the data sheet's points (flow
// l/min, NPSH m) at speed ratio 1, flows increasing: each point moved by
// the affinity laws to (Q S, NPSH S^2) at speed ratio S, straight lines
// between them; nothing outside their flows or without points.  Example:
// (0, 1.5 m), (1200 l/min, 6 m) at speed 1 give 3.75 m at 600 l/min.
std::optional<double> NpshRequiredAt(const std::vector<PumpPoint>& points, double speedRatio, double q);

}  // namespace corvane
