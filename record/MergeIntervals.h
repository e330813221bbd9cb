#pragma once
// The sample intervals of the last SUSPENS file read, which the Merge
// command gives its result: SAMPINTH for trace numbers 1, 2, 4 and 5,
// SAMPINTV for 3 and 6. Only a successful SUSPENS read changes them.
namespace vel {

struct MergeIntervals {
  float SAMPINTH = 0.0f;  // ms, traces 1, 2, 4, 5
  float SAMPINTV = 0.0f;  // ms, traces 3, 6
};

/// The shell's intervals, for IMPORT and the Merge command.
MergeIntervals& ShellMergeIntervals();

}  // namespace vel
