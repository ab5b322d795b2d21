// The message of each fault of the calculations.

#include <gtest/gtest.h>

#include "logic/model/shared/Refusal.h"

namespace corvane {
namespace {

TEST(Refusal, EachFaultHasItsMessage) {
    const struct {
        SolverFault fault;
        Refusal refusal;
    } cases[] = {{SolverFault::PressureTooLow, refusals::PressureTooLow()},
                 {SolverFault::GasPressureDropTooHigh, refusals::GasPressureDropTooHigh()},
                 {SolverFault::AllowableLossTooHigh, refusals::AllowableLossTooHigh()},
                 {SolverFault::AvailablePressureTooLow, refusals::AvailablePressureTooLow()},
                 {SolverFault::DiameterNotPositive, refusals::DiameterNotPositive()},
                 {SolverFault::LengthNotPositive, refusals::LengthNotPositive()},
                 {SolverFault::FlowNotPositive, refusals::FlowNotPositive()},
                 {SolverFault::ViscosityNotPositive, refusals::ViscosityNotPositive()},
                 {SolverFault::DensityNotPositive, refusals::DensityNotPositive()},
                 {SolverFault::RoughnessNegative, refusals::RoughnessNegative()},
                 {SolverFault::FittingsNegative, refusals::FittingsNegative()},
                 {SolverFault::FittingsTakeAvailablePressure, refusals::FittingsTakeAvailablePressure()},
                 {SolverFault::NoValidResult, refusals::NoValidResult()}};
    for (const auto& c : cases) {
        EXPECT_EQ(RefusalOf(c.fault), c.refusal) << c.refusal.text;
        EXPECT_FALSE(c.refusal.text.empty());
        for (const auto& other : cases)
            if (other.fault != c.fault) EXPECT_NE(other.refusal.text, c.refusal.text);
    }
}

TEST(Refusal, KindsAndTexts) {
    EXPECT_EQ(refusals::PressureTooLow(), (Refusal{MessageKind::Warning, "The pressure is too low."}));
    EXPECT_EQ(refusals::AllowableLossTooHigh().kind, MessageKind::Information);
    EXPECT_EQ(refusals::AvailablePressureTooLow().kind, MessageKind::Information);
    EXPECT_EQ(refusals::DiameterNotPositive().kind, MessageKind::Warning);
    EXPECT_EQ(refusals::NoValidResult().kind, MessageKind::Warning);
    EXPECT_EQ(refusals::GasPressureDropTooHigh(),
              (Refusal{MessageKind::Information,
                       "The pressure drop is greater than the inlet gas pressure\rReduce the pipe length, elevation "
                       "rise or flow rate\ror increase the internal diameter."}));
}

}  // namespace
}  // namespace corvane
