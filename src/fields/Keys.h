#pragma once
// The keys the core acts on, by the virtual key codes the key handlers receive, and their
// names as the command line spells them (--key NAME=Tab).
#include <optional>
#include <string>

namespace pelmora {

enum class Key : int {
  Tab = 9,
  Enter = 13,
  Escape = 27,
  Up = 38,
  Down = 40,
  F1 = 112,
  // Shift+Tab has no virtual key code of its own: a code above every real one.
  Backtab = 0x109,
};

constexpr int Code(Key k) { return static_cast<int>(k); }
constexpr bool Is(int code, Key k) { return code == Code(k); }

// "Tab", "Backtab", "Enter", "Escape", "Up", "Down", "F1"; nothing for another name.
std::optional<Key> KeyByName(const std::string& name);
// The names KeyByName knows, for messages: "Tab, Backtab, Enter, Escape, Up, Down or F1".
const char* KeyNames();

}  // namespace pelmora
