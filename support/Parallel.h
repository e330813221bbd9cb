#pragma once
// Work split into parts that run side by side: on the calling thread and on
// threads kept waiting for such work (started the first time they are
// needed, one per part beyond the first). The call returns when every part
// has finished, so whatever the parts wrote is then visible to the caller.
// Parts must write to separate memory. Only part 0, which always runs on the
// calling thread, may touch the user interface (a reader's progress display
// and messages, for one).
#include <functional>

namespace sup {

/// How many parts a job of BYTES bytes is worth splitting into: one part per
/// MINBYTESPERPART, at most MAXPARTS and never more than the machine's cores.
[[nodiscard]] int PartsFor(long long BYTES, long long MINBYTESPERPART, int MAXPARTS);

/// Runs WORK(0) .. WORK(PARTS - 1) side by side, each exactly once; the
/// calling thread starts with part 0. Parts no thread could be had for run on
/// the threads there are. Parts may call RunParts themselves.
void RunParts(int PARTS, const std::function<void(int part)>& WORK);

}  // namespace sup
