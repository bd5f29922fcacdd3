// startup_clock TITLE PROGRAM [ARGS...]: starts PROGRAM and prints, on one line, the
// milliseconds from the start until the X server maps a top-level window titled TITLE,
// and the program's resident memory (kB) at that moment; then ends the program.
//
// It listens for the map itself (SubstructureNotify on the root window) instead of
// polling with another program, so the clock neither waits for a polling step nor takes
// processor time from the program it measures. Exit status 1 when no such window appears
// within 20 s.
#include <xcb/xcb.h>

#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* r =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  xcb_atom_t a = r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  std::free(r);
  return a;
}

std::string Property(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property) {
  xcb_get_property_reply_t* r =
      xcb_get_property_reply(c, xcb_get_property(c, 0, w, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr);
  std::string value;
  if (r) {
    value.assign(static_cast<const char*>(xcb_get_property_value(r)),
                 static_cast<size_t>(xcb_get_property_value_length(r)));
    std::free(r);
  }
  return value;
}

long ResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s TITLE PROGRAM [ARGS...]\n", argv[0]);
    return 2;
  }
  const std::string title = argv[1];
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) {
    std::fprintf(stderr, "startup_clock: no X display\n");
    return 2;
  }
  xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
  const xcb_atom_t netName = Atom(c, "_NET_WM_NAME");
  xcb_flush(c);

  const auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    // What the program prints is not the clock's business.
    if (FILE* null = std::fopen("/dev/null", "w")) {
      dup2(fileno(null), 1);
      dup2(fileno(null), 2);
    }
    execv(argv[2], argv + 2);
    _exit(127);
  }
  const int fd = xcb_get_file_descriptor(c);
  int code = 1;
  for (;;) {
    const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (waited > 20) break;
    xcb_generic_event_t* e = xcb_poll_for_event(c);
    if (!e) {
      fd_set set;
      FD_ZERO(&set);
      FD_SET(fd, &set);
      timeval tv{0, 100000};
      select(fd + 1, &set, nullptr, nullptr, &tv);
      if (waitpid(pid, nullptr, WNOHANG) == pid) {
        std::fprintf(stderr, "startup_clock: the program ended before its window appeared\n");
        return 1;
      }
      continue;
    }
    if ((e->response_type & 0x7f) == XCB_MAP_NOTIFY) {
      const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(e);
      const auto mapped = std::chrono::steady_clock::now();
      if (Property(c, map->window, netName) == title || Property(c, map->window, XCB_ATOM_WM_NAME) == title) {
        const long rss = ResidentKb(pid);
        std::printf("%.1f %ld\n", std::chrono::duration<double, std::milli>(mapped - start).count(), rss);
        std::free(e);
        code = 0;
        break;
      }
    }
    std::free(e);
  }
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  xcb_disconnect(c);
  return code;
}
