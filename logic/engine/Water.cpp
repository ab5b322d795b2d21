#include "logic/engine/Water.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "logic/engine/Units.h"

namespace corvane {
namespace {

// IAPWS-IF97, equation 7 and table 2: the dimensionless Gibbs free energy
// of region 1, gamma = sum n_i (7.1 - pi)^I_i (tau - 1.222)^J_i.
struct Region1Term {
    int i, j;
    double n;
};
constexpr std::array<Region1Term, 34> kRegion1{{
    {0, -2, 0.14632971213167},     {0, -1, -0.84548187169114},    {0, 0, -0.37563603672040e1},
    {0, 1, 0.33855169168385e1},    {0, 2, -0.95791963387872},     {0, 3, 0.15772038513228},
    {0, 4, -0.16616417199501e-1},  {0, 5, 0.81214629983568e-3},   {1, -9, 0.28319080123804e-3},
    {1, -7, -0.60706301565874e-3}, {1, -1, -0.18990068218419e-1}, {1, 0, -0.32529748770505e-1},
    {1, 1, -0.21841717175414e-1},  {1, 3, -0.52838357969930e-4},  {2, -3, -0.47184321073267e-3},
    {2, 0, -0.30001780793026e-3},  {2, 1, 0.47661393906987e-4},   {2, 3, -0.44141845330846e-5},
    {2, 17, -0.72694996297594e-15}, {3, -4, -0.31679644845054e-4}, {3, 0, -0.28270797985312e-5},
    {3, 6, -0.85205128120103e-9},  {4, -5, -0.22425281908000e-5}, {4, -2, -0.65171222895601e-6},
    {4, 10, -0.14341729937924e-12}, {5, -8, -0.40516996860117e-6}, {8, -11, -0.12734301741641e-8},
    {8, -6, -0.17424871230634e-9}, {21, -29, -0.68762131295531e-18}, {23, -31, 0.14478307828521e-19},
    {29, -38, 0.26335781662795e-22}, {30, -39, -0.11947622640071e-22}, {31, -40, 0.18228094581404e-23},
    {32, -41, -0.93537087292458e-25},
}};
constexpr double kRegion1PressureMPa = 16.53;  // p*
constexpr double kRegion1Temperature = 1386;   // T*, K
constexpr double kGasConstant = 461.526;       // R of water, J/(kg K)
constexpr int kMinJ = -41, kMaxJ = 17, kMaxI = 32;

// IAPWS-IF97, equations 30 and 31 and table 34: the saturation line.
constexpr std::array<double, 11> kSat{0,
                                      0.11670521452767e4,
                                      -0.72421316703206e6,
                                      -0.17073846940092e2,
                                      0.12020824702470e5,
                                      -0.32325550322333e7,
                                      0.14915108613530e2,
                                      -0.48232657361591e4,
                                      0.40511340542057e6,
                                      -0.23855557567849,
                                      0.65017534844798e3};

// IAPWS R12-08: reference constants, table 1 (mu0) and table 2 (mu1).
constexpr double kCriticalTemperature = 647.096;  // K
constexpr double kCriticalDensity = 322;          // kg/m3
constexpr double kViscosityUnit = 1e-6;           // Pa s
constexpr std::array<double, 4> kH0{1.67752, 2.20462, 0.6366564, -0.241605};
struct ViscosityTerm {
    int i, j;
    double h;
};
constexpr std::array<ViscosityTerm, 21> kH1{{
    {0, 0, 5.20094e-1},  {1, 0, 8.50895e-2},  {2, 0, -1.08374},    {3, 0, -2.89555e-1}, {0, 1, 2.22531e-1},
    {1, 1, 9.99115e-1},  {2, 1, 1.88797},     {3, 1, 1.26613},     {5, 1, 1.20573e-1},  {0, 2, -2.81378e-1},
    {1, 2, -9.06851e-1}, {2, 2, -7.72479e-1}, {3, 2, -4.89837e-1}, {4, 2, -2.57040e-1}, {0, 3, 1.61913e-1},
    {1, 3, 2.57399e-1},  {0, 4, -3.25372e-2}, {3, 4, 6.98452e-2},  {4, 5, 8.72102e-3},  {3, 6, -4.35673e-3},
    {5, 6, -5.93264e-4},
}};

constexpr double kBarPerMegapascal = 10;
constexpr double kCstPerSquareMetrePerSecond = 1e6;

}  // namespace

namespace if97 {

double Region1SpecificVolume(double kelvin, double megapascal) {
    const double pi = megapascal / kRegion1PressureMPa;
    const double tau = kRegion1Temperature / kelvin;
    // The powers the terms need, by repeated multiplication.
    const double a = 7.1 - pi, b = tau - 1.222;
    std::array<double, kMaxI + 1> aPow{};  // aPow[k] = a^(k - 1)
    aPow[0] = 1 / a;
    for (int k = 1; k <= kMaxI; ++k) aPow[static_cast<std::size_t>(k)] = aPow[static_cast<std::size_t>(k - 1)] * a;
    std::array<double, kMaxJ - kMinJ + 1> bPow{};  // bPow[j - kMinJ] = b^j
    bPow[-kMinJ] = 1;
    for (int j = 1; j <= kMaxJ; ++j) bPow[static_cast<std::size_t>(j - kMinJ)] = bPow[static_cast<std::size_t>(j - 1 - kMinJ)] * b;
    const double inverse = 1 / b;
    for (int j = -1; j >= kMinJ; --j)
        bPow[static_cast<std::size_t>(j - kMinJ)] = bPow[static_cast<std::size_t>(j + 1 - kMinJ)] * inverse;
    // gamma_pi, the derivative by pi.
    double gammaPi = 0;
    for (const Region1Term& t : kRegion1)
        gammaPi -= t.n * t.i * aPow[static_cast<std::size_t>(t.i)] * bPow[static_cast<std::size_t>(t.j - kMinJ)];
    return pi * gammaPi * kGasConstant * kelvin / (megapascal * 1e6);
}

double SaturationPressure(double kelvin) {
    const auto& n = kSat;
    const double theta = kelvin + n[9] / (kelvin - n[10]);
    const double a = theta * theta + n[1] * theta + n[2];
    const double b = n[3] * theta * theta + n[4] * theta + n[5];
    const double c = n[6] * theta * theta + n[7] * theta + n[8];
    const double root = 2 * c / (-b + std::sqrt(b * b - 4 * a * c));
    const double square = root * root;
    return square * square;
}

double SaturationTemperature(double megapascal) {
    const auto& n = kSat;
    const double beta = std::sqrt(std::sqrt(megapascal));
    const double e = beta * beta + n[3] * beta + n[6];
    const double f = n[1] * beta * beta + n[4] * beta + n[7];
    const double g = n[2] * beta * beta + n[5] * beta + n[8];
    const double d = 2 * g / (-f - std::sqrt(f * f - 4 * e * g));
    return (n[10] + d - std::sqrt((n[10] + d) * (n[10] + d) - 4 * (n[9] + n[10] * d))) / 2;
}

}  // namespace if97

double WaterViscosity(double kelvin, double densityKgM3) {
    const double t = kelvin / kCriticalTemperature;
    const double rho = densityKgM3 / kCriticalDensity;
    // mu0: the dilute-gas limit (equation 11).
    const double mu0 = 100 * std::sqrt(t) / (kH0[0] + kH0[1] / t + kH0[2] / (t * t) + kH0[3] / (t * t * t));
    // mu1: the contribution of finite density (equation 12).
    std::array<double, 6> x{1};
    std::array<double, 7> y{1};
    for (std::size_t k = 1; k < x.size(); ++k) x[k] = x[k - 1] * (1 / t - 1);
    for (std::size_t k = 1; k < y.size(); ++k) y[k] = y[k - 1] * (rho - 1);
    double sum = 0;
    for (const ViscosityTerm& h : kH1) sum += h.h * x[static_cast<std::size_t>(h.i)] * y[static_cast<std::size_t>(h.j)];
    const double mu1 = std::exp(rho * sum);
    return mu0 * mu1 * kViscosityUnit;  // mu2, the critical enhancement, is 1
}

WaterAnswer WaterAt(double celsius, std::optional<double> pressureBarA) {
    WaterAnswer answer;
    // Written so that NaN fails each test.
    if (!(celsius >= kWaterMinCelsius && celsius <= kWaterMaxCelsius)) {
        answer.fault = WaterFault::TemperatureOutside;
        return answer;
    }
    const double kelvin = celsius + kZeroCelsiusKelvin;
    const double saturation = if97::SaturationPressure(kelvin) * kBarPerMegapascal;
    answer.state.vapourPressureBarA = saturation;
    answer.pressureBarA = pressureBarA ? *pressureBarA : std::max(kAtmosphereBar, saturation);
    if (!(answer.pressureBarA <= kWaterMaxPressureBarA)) {
        answer.fault = WaterFault::PressureAboveRange;
        return answer;
    }
    if (answer.pressureBarA < saturation) {
        answer.fault = WaterFault::PressureBelowSaturation;
        return answer;
    }
    const double density = 1 / if97::Region1SpecificVolume(kelvin, answer.pressureBarA / kBarPerMegapascal);
    const double mu = WaterViscosity(kelvin, density);
    answer.state.densityKgM3 = density;
    answer.state.dynamicViscosityPaS = mu;
    answer.state.kinematicViscosityCst = mu / density * kCstPerSquareMetrePerSecond;
    return answer;
}

}  // namespace corvane
