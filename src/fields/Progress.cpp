#include "fields/Progress.h"

namespace pelmora {

ProgressScope::ProgressScope(StatusBar& bar) : bar_(bar), wasVisible_(bar.ProgressVisible()) {
  if (!wasVisible_) bar_.SetProgressPosition(0);
  bar_.SetProgressVisible(true);
}

ProgressScope::~ProgressScope() { bar_.SetProgressVisible(wasVisible_); }

void ProgressScope::Step(long long done, long long total) {
  if (total <= 0) return;
  const long long d = done < 0 ? 0 : (done > total ? total : done);
  bar_.SetProgressPosition(static_cast<int>(d * 100 / total));
}

}  // namespace pelmora
