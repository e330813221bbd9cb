#include "record/MergeIntervals.h"

namespace vel {

MergeIntervals& ShellMergeIntervals() {
  static MergeIntervals intervals;
  return intervals;
}

}  // namespace vel
