// The dispatch point of user events.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "fields/Dispatch.h"
#include "fields/Errors.h"
#include "fields/FloatCheck.h"
#include "fields/NumberFormat.h"
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
  EXPECT_EQ(port.Messages()[0], "计算时出现除以零，请检查输入数据。");
  EXPECT_TRUE(Dispatch(form, [] {}));
}

// A floating-point fault names the operation and the calculation step it happened in,
// with the inputs to check; a nested step speaks for itself and hands back to the outer.
TEST(Dispatch, FloatingPointFaultsSayWhatFailedAndWhere) {
  auto message = [](const std::function<void()>& f) -> std::string {
    try {
      f();
    } catch (const FloatingPointError& e) {
      return e.what();
    }
    return "(none)";
  };
  CalcStep outer("管程传热系数", "管程流量、管径");
  EXPECT_EQ(message([] { fp::Div(1, 0); }), "计算管程传热系数时出现除以零，请检查输入数据（管程流量、管径）。");
  EXPECT_EQ(message([] { fp::Sqrt(-4); }), "计算管程传热系数时出现负数开方，请检查输入数据（管程流量、管径）。");
  EXPECT_EQ(message([] { fp::Ln(0); }), "计算管程传热系数时出现对数自变量非正，请检查输入数据（管程流量、管径）。");
  EXPECT_EQ(message([] { fp::Exp(1000); }), "计算管程传热系数时出现数值溢出，请检查输入数据（管程流量、管径）。");
  EXPECT_EQ(message([] { fp::Pow(-8, 1.0 / 3); }),
            "计算管程传热系数时出现负数开方，请检查输入数据（管程流量、管径）。");
  {
    CalcStep inner("管程数");
    EXPECT_EQ(message([] { fp::Div(0, 0); }), "计算管程数时出现除以零，请检查输入数据。");
  }
  EXPECT_EQ(CalcStep::Current(), &outer);
  // A value that cannot be shown in a field is an overflow of the step too.
  EXPECT_EQ(message([] { FormatGeneral(std::numeric_limits<double>::infinity(), 15, 1); }),
            "计算管程传热系数时出现数值溢出，请检查输入数据（管程流量、管径）。");
  // Finite results pass unchanged.
  EXPECT_DOUBLE_EQ(fp::Div(1, 4), 0.25);
  EXPECT_DOUBLE_EQ(fp::Pow(-2, 3), -8);
}

// Something that no user action is meant to end with (a fault of the program) is shown
// as such, runs the unexpected-error hook, and the program carries on.
TEST(Dispatch, UnexpectedErrorsAreShownAndRunTheHook) {
  ScriptedPort port;
  Form form(&port);
  std::vector<std::string> hooked;
  SetUnexpectedErrorHook([&hooked](const std::string& what) { hooked.push_back(what); });
  EXPECT_FALSE(Dispatch(form, [] { std::vector<int>().at(3); }));
  EXPECT_FALSE(Dispatch(form, [] { throw 42; }));
  // Errors a user action ends with are no faults: no hook.
  EXPECT_FALSE(Dispatch(form, [] { throw ConversionError("'x' is not a valid floating point value"); }));
  SetUnexpectedErrorHook({});
  ASSERT_EQ(hooked.size(), 2u);
  EXPECT_EQ(hooked[1], "");
  auto m = port.Messages();
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[0].rfind("程序内部错误（", 0), 0u) << m[0];
  EXPECT_NE(m[0].find("项目数据仍在"), std::string::npos);
  EXPECT_EQ(m[1], "程序内部错误，当前操作已中止。项目数据仍在，请保存后重新启动程序。");
  EXPECT_EQ(m[2], "'x' is not a valid floating point value");
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
