#pragma once
// Work split into parts that run side by side: part 0 on the calling thread,
// each other part on a thread of its own. The call returns when every part
// has finished, so whatever the parts wrote is then visible to the caller.
// Parts must write to separate memory and must not touch the user interface.
#include <functional>

namespace sup {

/// How many parts a job of BYTES bytes is worth splitting into: one part per
/// MINBYTESPERPART, at most MAXPARTS and never more than the machine's cores.
[[nodiscard]] int PartsFor(long long BYTES, long long MINBYTESPERPART, int MAXPARTS);

/// Runs WORK(0) .. WORK(PARTS - 1) side by side. A part whose thread cannot
/// be started runs on the calling thread after part 0.
void RunParts(int PARTS, const std::function<void(int part)>& WORK);

}  // namespace sup
