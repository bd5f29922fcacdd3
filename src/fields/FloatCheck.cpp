#include "fields/FloatCheck.h"

namespace pelmora {

namespace {
thread_local const CalcStep* g_step = nullptr;
}

const char* FpFaultText(FpFault fault) {
  switch (fault) {
    case FpFault::DivByZero: return "除以零";
    case FpFault::NegativeRoot: return "负数开方";
    case FpFault::LogNonPositive: return "对数自变量非正";
    case FpFault::Overflow: return "数值溢出";
    case FpFault::Invalid: break;
  }
  return "无效的数值运算";
}

CalcStep::CalcStep(const char* what, const char* inputs)
    : what_(what ? what : ""), inputs_(inputs ? inputs : ""), outer_(g_step) {
  g_step = this;
}

CalcStep::~CalcStep() { g_step = outer_; }

const CalcStep* CalcStep::Current() { return g_step; }

std::string FpFaultMessage(FpFault fault) {
  const CalcStep* step = g_step;
  std::string m = "计算";
  if (step && *step->What()) m += step->What();
  m += "时出现";
  m += FpFaultText(fault);
  m += "，请检查输入数据";
  if (step && *step->Inputs()) m += std::string("（") + step->Inputs() + "）";
  return m + "。";
}

FloatingPointError FpError(FpFault fault) { return FloatingPointError(FpFaultMessage(fault)); }

}  // namespace pelmora
