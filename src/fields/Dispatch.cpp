#include "fields/Dispatch.h"

#include <exception>

#include "fields/Errors.h"
#include "fields/UiPort.h"

namespace pelmora {

namespace {
int g_busyDepth = 0;
}

BusyCursor::BusyCursor(Form& form) : form_(form) {
  if (g_busyDepth++ == 0) form_.Port().SetBusyCursor(true);
}

BusyCursor::~BusyCursor() {
  if (g_busyDepth > 0 && --g_busyDepth == 0) form_.Port().SetBusyCursor(false);
}

bool Dispatch(Form& form, const std::function<void()>& action) {
  bool ok = false;
  try {
    action();
    ok = true;
  } catch (const SilentAbort&) {
  } catch (const std::exception& e) {
    form.Port().MessageBox(e.what(), "", MsgType::Error, Buttons::Ok, Answer::Ok);
  }
  if (g_busyDepth != 0) {
    g_busyDepth = 0;
    form.Port().SetBusyCursor(false);
  }
  return ok;
}

}  // namespace pelmora
