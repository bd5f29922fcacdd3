// The dispatch point of user events.
#include <gtest/gtest.h>

#include "fields/Dispatch.h"
#include "fields/Errors.h"
#include "fields/FloatCheck.h"
#include "fields/UiPort.h"

namespace pelmora {
namespace {

TEST(Dispatch, SilentAbortShowsNothingOtherErrorsTheirText) {
  ScriptedPort port;
  Form form(&port);
  EXPECT_FALSE(Dispatch(form, [] { throw SilentAbort(); }));
  EXPECT_TRUE(port.events.empty());
  EXPECT_FALSE(Dispatch(form, [] { fp::Div(1, 0); }));
  ASSERT_EQ(port.Messages().size(), 1u);
  EXPECT_EQ(port.Messages()[0], "Floating point division by zero");
  EXPECT_TRUE(Dispatch(form, [] {}));
}

TEST(Dispatch, BusyCursorIsRestoredWhateverHappens) {
  ScriptedPort port;
  Form form(&port);
  Dispatch(form, [&] {
    BusyCursor busy(form);
    BusyCursor nested(form);
    EXPECT_TRUE(port.busy);
    throw ConversionError("'x' is not a valid floating point value");
  });
  EXPECT_FALSE(port.busy);
}

TEST(Dispatch, ANestedActionLeavesTheOuterHourglass) {
  ScriptedPort port;
  Form form(&port);
  Dispatch(form, [&] {
    BusyCursor busy(form);
    Dispatch(form, [] { throw SilentAbort(); });  // e.g. a repaint during the action
    EXPECT_TRUE(port.busy);
  });
  EXPECT_FALSE(port.busy);
}

TEST(FloatCheck, FaultsRaiseInsteadOfProducingNaN) {
  EXPECT_THROW(fp::Ln(0), FloatingPointError);
  EXPECT_THROW(fp::Ln(-1), FloatingPointError);
  EXPECT_THROW(fp::Sqrt(-1e-300), FloatingPointError);
  EXPECT_THROW(fp::Pow(-8, 1.0 / 3), FloatingPointError);
  EXPECT_THROW(fp::Exp(1e6), FloatingPointError);
  EXPECT_THROW(fp::Div(0, 0), FloatingPointError);
  EXPECT_DOUBLE_EQ(fp::Pow(-2, 3), -8);
  EXPECT_DOUBLE_EQ(fp::Sqrt(0), 0);
}

}  // namespace
}  // namespace pelmora
