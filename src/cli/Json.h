#pragma once
// A JSON description of the window's state: every component with what a user sees of it.
#include <string>

#include "fields/Components.h"
#include "fields/UiPort.h"

namespace pelmora {

std::string JsonString(const std::string& s);
// {"name": {...}, ...} for every named component, in creation order.
std::string ComponentsJson(const Form& form);
std::string ComponentJson(const Component& c);

}  // namespace pelmora
