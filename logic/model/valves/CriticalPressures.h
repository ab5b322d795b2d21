#pragma once
// The critical pressure of the stock liquids where a published value is
// at hand, for the liquid critical pressure ratio factor FF of a control
// valve.  Every other liquid's is typed.

#include <optional>
#include <string_view>

namespace corvane {

// bar a, by the liquid's name in the fluid data base (blanks around it and
// the case of ASCII letters aside); nothing where no value is listed.
std::optional<double> StockCriticalPressure(std::string_view name);

// Water's, 22.064 MPa (IAPWS R1-76(2014), the critical point of IAPWS-95).
inline constexpr double kWaterCriticalPressureBar = 220.64;

}  // namespace corvane
