#pragma once
// Work split into parts that run side by side: on the calling thread and on
// threads kept waiting for such work (started the first time they are
// needed). The call returns when every part
// has finished, so whatever the parts wrote is then visible to the caller.
// Parts must write to separate memory. Only part 0, which always runs on the
// calling thread, may touch the user interface (a reader's progress display
// and messages, for one).
#include <functional>

namespace sup {

/// How many parts a job of BYTES bytes is worth splitting into: one part per
/// MINBYTESPERPART, at most MAXPARTS and never more than the machine's cores.
[[nodiscard]] int PartsFor(long long BYTES, long long MINBYTESPERPART, int MAXPARTS);

/// Runs WORK(0) .. WORK(PARTS - 1) side by side on at most THREADS threads
/// (the caller's included; 0: one per part), each part exactly once; the
/// calling thread starts with part 0, and each thread takes the next part
/// not yet taken when it is done with one. More parts than threads thus
/// share the work out evenly even when some threads start late (a busy
/// machine). Parts no thread could be had for run on the threads there are.
/// Parts may call RunParts themselves.
void RunParts(int PARTS, const std::function<void(int part)>& WORK, int THREADS = 0);

}  // namespace sup
