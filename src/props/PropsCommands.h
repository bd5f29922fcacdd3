// Headless property commands of pelmora-calc: --eval and --props.
#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace pelmora {

// Evaluates a formula with single-letter variables bound from vars (name, value text),
// as the property dialog's grid binds them. Prints the value, the error code and its
// message. Returns 0 when the formula evaluated without error, 1 when the evaluator
// raised a code, 2 when the text exceeds the formula limits ("Range check error").
int RunEvalCommand(const std::string& formula, const std::vector<std::pair<std::string, std::string>>& vars,
                   std::ostream& out);

// Computes every property of the library record NO at temperature t (°C) and pressure
// p (kPa absolute) as the dialog's 计算 does (the expansion coefficient from the
// densities at t + 1 and t included) and prints the SI values. Returns 0 on success,
// 1 when the computation was ended by a message or an error (what was computed before
// is printed), 2 when the library has no such record, 3 when it cannot be read.
int RunPropsCommand(const std::string& libraryPath, const std::string& no, const std::string& t, const std::string& p,
                    std::ostream& out);

}  // namespace pelmora
