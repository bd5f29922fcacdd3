#pragma once
// The status bar's progress bar is shown only while a long action runs (the batch curve,
// a study); the panel's own text stands in its place otherwise.
#include "fields/Components.h"

namespace pelmora {

// Shows the progress bar, from 0, for the life of a long action and hides it again
// however the action ends. Step(done, total) moves it on.
class ProgressScope {
 public:
  explicit ProgressScope(StatusBar& bar);
  ~ProgressScope();
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;
  void Step(long long done, long long total);

 private:
  StatusBar& bar_;
  bool wasVisible_;
};

}  // namespace pelmora
