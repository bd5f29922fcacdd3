#include "fields/Keys.h"

#include <utility>

namespace pelmora {

std::optional<Key> KeyByName(const std::string& name) {
  static const std::pair<const char*, Key> names[] = {
      {"Tab", Key::Tab}, {"Backtab", Key::Backtab}, {"Enter", Key::Enter}, {"Escape", Key::Escape},
      {"Up", Key::Up},   {"Down", Key::Down},       {"F1", Key::F1}};
  for (const auto& [n, k] : names)
    if (name == n) return k;
  return std::nullopt;
}

const char* KeyNames() { return "Tab, Backtab, Enter, Escape, Up, Down or F1"; }

}  // namespace pelmora
