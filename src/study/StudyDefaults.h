#pragma once
// What a parameter study offers before the user chooses anything, the same in the study
// dialog, pelmora-calc --sweep and the benchmarks: the results recorded, the inputs
// preselected and the range each starts with.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pelmora {

// The results recorded unless others are named: the area, the tube length, the time and
// the temperature reached, the tube-side flow and its pressure drop.
const std::vector<std::string>& DefaultStudyOutputs();

// The inputs preselected on the dialog's two rows: the heating time, then the tube-side
// inlet temperature (a study of how long against how hot).
inline constexpr const char* kPreferredStudyInputs[2] = {"TaoD", "Ti1D"};
// The points each row starts with: a curve of 11 points, 3 curves of the second input.
inline constexpr int kStudyStartPoints[2] = {11, 3};

// The index into `offered` (the names of the fields that can be swept, in window order)
// preselected on row 0 or 1: the preferred input where it is offered; otherwise the first
// field on the first row and the second on the second. -1 when nothing is offered.
int PreselectedStudyInput(const std::vector<std::string>& offered, int row);

// The range a row starts with for a field showing `text`: half to one and a half times
// its value, as Format7 texts; none for a text that is not a number or is zero.
std::optional<std::pair<std::string, std::string>> StudyStartRange(const std::string& text);

}  // namespace pelmora
