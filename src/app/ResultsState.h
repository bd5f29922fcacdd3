#pragma once
// Whether the results the window shows belong to the inputs it shows: settled by every
// completed run and by a file whose results were current when it was saved; undone by
// any change of what the calculation reads. Files record it, so that results that were
// out of date when saved (or copied for recovery) come back marked as such.
#include <cstdint>
#include <vector>

#include "calc/Calculation.h"
#include "fields/Catalogue.h"

namespace pelmora {

class ResultsState {
 public:
  ResultsState(const TFormPelmora& form, const Calculation& calc);

  // The inputs as they are now are those of the results.
  void Settled();
  // The results are not those of the inputs shown.
  void Unsettled() { settled_ = false; }
  // Settled, nothing read by the calculation changed since, and no result marked stale.
  bool Current() const;

  // A fingerprint of what the calculation reads: the text and unit of every value field
  // and the selection of every list, radio group and check box (the notes, the report
  // and the project's descriptive texts are no input).
  uint64_t Inputs() const;

  // What undo keeps of it: the state of a step is put back with the inputs it belongs to.
  struct Saved {
    uint64_t inputs = 0;
    bool settled = false;
  };
  Saved Save() const { return {inputs_, settled_}; }
  void Restore(const Saved& s) {
    inputs_ = s.inputs;
    settled_ = s.settled;
  }

 private:
  const TFormPelmora& f_;
  const Calculation& calc_;
  std::vector<const Component*> choices_;  // lists, radio groups, check boxes
  uint64_t inputs_ = 0;
  bool settled_ = false;
};

}  // namespace pelmora
