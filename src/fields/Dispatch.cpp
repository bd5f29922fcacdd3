#include "fields/Dispatch.h"

#include <exception>

#include "fields/Errors.h"
#include "fields/UiPort.h"

namespace pelmora {

namespace {
int g_busyDepth = 0;
int g_dispatchDepth = 0;  // a paint event inside a long action dispatches too
}

BusyCursor::BusyCursor(Form& form) : form_(form) {
  if (g_busyDepth++ == 0) form_.Port().SetBusyCursor(true);
}

BusyCursor::~BusyCursor() {
  if (g_busyDepth > 0 && --g_busyDepth == 0) form_.Port().SetBusyCursor(false);
}

bool Dispatch(Form& form, const std::function<void()>& action) {
  bool ok = false;
  ++g_dispatchDepth;
  try {
    action();
    ok = true;
  } catch (const SilentAbort&) {
  } catch (const std::exception& e) {
    form.Port().MessageBox(e.what(), "", MsgType::Error, Buttons::Ok, Answer::Ok);
  }
  // Only the outermost action restores the cursor: a nested one (a repaint while the
  // curve is computed) leaves the hourglass of the action around it.
  if (--g_dispatchDepth == 0 && g_busyDepth != 0) {
    g_busyDepth = 0;
    form.Port().SetBusyCursor(false);
  }
  return ok;
}

}  // namespace pelmora
