#include "record/MergeIntervals.h"

#include "support/ProgramState.h"

namespace vel {

MergeIntervals& ShellMergeIntervals() {
  static MergeIntervals intervals;
  return intervals;
}

namespace {
const bool kRegistered = sup::RegisterProgramReset(sup::ProgramLayer::Record,
                                                   [] { ShellMergeIntervals() = MergeIntervals{}; });
}  // namespace

}  // namespace vel
