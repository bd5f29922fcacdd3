#include "fields/Dispatch.h"

#include <exception>
#include <stdexcept>

#include "fields/Errors.h"
#include "fields/UiPort.h"

namespace pelmora {

namespace {
thread_local int g_busyDepth = 0;
thread_local int g_dispatchDepth = 0;  // a paint event inside a long action dispatches too
UnexpectedErrorHook g_unexpectedHook;
}  // namespace

BusyCursor::BusyCursor(Form& form) : form_(form) {
  if (g_busyDepth++ == 0) form_.Port().SetBusyCursor(true);
}

BusyCursor::~BusyCursor() {
  if (g_busyDepth > 0 && --g_busyDepth == 0) form_.Port().SetBusyCursor(false);
}

std::string UnexpectedErrorMessage(const std::string& what) {
  std::string m = "程序内部错误";
  if (!what.empty()) m += "（" + what + "）";
  return m + "，当前操作已中止。项目数据仍在，请保存后重新启动程序。";
}

void SetUnexpectedErrorHook(UnexpectedErrorHook hook) { g_unexpectedHook = std::move(hook); }

void ReportUnexpectedError(Form* form, const std::string& what) {
  // Neither the message nor the hook may throw out of the handler that called us.
  try {
    if (form) form->Port().MessageBox(UnexpectedErrorMessage(what), "", MsgType::Error, Buttons::Ok, Answer::Ok);
  } catch (...) {
  }
  try {
    if (g_unexpectedHook) g_unexpectedHook(what);
  } catch (...) {
  }
}

namespace {
// The observer's own faults are the program's: shown, and the action goes on.
template <class F>
void TellObserver(Form& form, F&& tell) {
  try {
    tell();
  } catch (const std::exception& e) {
    ReportUnexpectedError(&form, e.what());
  } catch (...) {
    ReportUnexpectedError(&form, "");
  }
}
}  // namespace

bool Dispatch(Form& form, const std::function<void()>& action) {
  bool ok = false;
  Form::ActionObserver* observer = g_dispatchDepth == 0 ? form.GetActionObserver() : nullptr;
  ++g_dispatchDepth;
  if (observer) TellObserver(form, [observer] { observer->ActionStarted(); });
  try {
    action();
    ok = true;
  } catch (const SilentAbort&) {
  } catch (const std::runtime_error& e) {
    // The errors a user action ends with: conversion, floating point, files, ...
    form.Port().MessageBox(e.what(), "", MsgType::Error, Buttons::Ok, Answer::Ok);
  } catch (const std::exception& e) {
    ReportUnexpectedError(&form, e.what());
  } catch (...) {
    ReportUnexpectedError(&form, "");
  }
  // An action that stopped half way has changed what it changed: that is told too.
  if (observer) TellObserver(form, [observer] { observer->ActionEnded(); });
  // Only the outermost action restores the cursor: a nested one (a repaint while the
  // curve is computed) leaves the hourglass of the action around it.
  if (--g_dispatchDepth == 0 && g_busyDepth != 0) {
    g_busyDepth = 0;
    form.Port().SetBusyCursor(false);
  }
  return ok;
}

}  // namespace pelmora
