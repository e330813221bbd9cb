#include "support/Parallel.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace sup {
namespace {

// Threads kept waiting for work from one run to the next: starting a thread
// costs far more than the short jobs given to it (a tenth of a millisecond or
// more on a loaded machine). One job at a time; a run that finds the pool
// busy (a part that itself splits its work, or another thread's job) starts
// threads of its own as before.
//
// Waking a sleeping thread is a system call that costs tens of microseconds
// on a virtual machine, so a thread that has finished a part watches for the
// next job for a short while before it goes to sleep (readers give several
// jobs in quick succession), and the caller watches for the end of its job
// in the same way before it sleeps.
class Pool {
 public:
  static Pool& Instance() {
    static Pool pool;
    return pool;
  }
  Pool() = default;
  Pool(const Pool&) = delete;
  Pool& operator=(const Pool&) = delete;
  ~Pool() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
  }

  // Runs WORK(0) .. WORK(PARTS - 1) on the calling thread and up to
  // THREADS - 1 of the pool's threads. False, having run nothing, when the
  // pool is busy.
  bool TryRun(int parts, int threads, const std::function<void(int part)>& work) {
    std::unique_lock<std::mutex> job(busy_, std::try_to_lock);
    if (!job.owns_lock()) return false;
    Grow(threads - 1);
    bool sleepers = false;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      work_ = &work;
      parts_ = parts;
      helpers_ = threads - 1;
      joined_ = 0;
      next_.store(1, std::memory_order_relaxed);  // part 0 is the caller's
      generation_.fetch_add(1, std::memory_order_release);
      sleepers = sleeping_ > 0;
    }
    if (sleepers) wake_.notify_all();
    // The calling thread runs part 0 and then takes parts as the pool's
    // threads do; the job ends when every part has been taken and every
    // thread that took one is done.
    struct Finish {
      Pool& pool;
      ~Finish() {
        Watch([&] { return pool.active_.load(std::memory_order_acquire) == 0; });
        std::unique_lock<std::mutex> lock(pool.mutex_);
        pool.done_.wait(lock, [&] { return pool.active_.load(std::memory_order_acquire) == 0; });
        pool.work_ = nullptr;
      }
    } finish{*this};
    work(0);
    RunClaimed(work, parts);
    return true;
  }

 private:
  // Watches for READY for a short while; true when it came.
  template <class Ready>
  static bool Watch(Ready&& ready) {
    const auto until = std::chrono::steady_clock::now() + kWatch;
    for (;;) {
      for (int i = 0; i < 64; ++i) {
        if (ready()) return true;
        Pause();
      }
      if (std::chrono::steady_clock::now() >= until) return ready();
      // A busy machine gets the core back for whatever else waits for it.
      std::this_thread::yield();
    }
  }
  static void Pause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
  }

  void RunClaimed(const std::function<void(int)>& work, int parts) {
    for (int p = next_.fetch_add(1, std::memory_order_relaxed); p < parts;
         p = next_.fetch_add(1, std::memory_order_relaxed))
      work(p);
  }

  // At least COUNT threads waiting (fewer when the system refuses more).
  void Grow(int count) {
    while (static_cast<int>(threads_.size()) < count) {
      try {
        // The job about to be given counts as new to the thread, however
        // late it starts.
        threads_.emplace_back(
            [this, seen = generation_.load(std::memory_order_relaxed)] { Serve(seen); });
      } catch (const std::system_error&) {
        return;
      }
    }
  }

  void Serve(std::uint64_t seen) {
    for (;;) {
      Watch([&] { return generation_.load(std::memory_order_acquire) != seen; });
      std::unique_lock<std::mutex> lock(mutex_);
      ++sleeping_;
      wake_.wait(lock, [&] {
        return stop_ || (work_ != nullptr && generation_.load(std::memory_order_relaxed) != seen);
      });
      --sleeping_;
      if (stop_) return;
      seen = generation_.load(std::memory_order_relaxed);
      if (joined_ >= helpers_) continue;  // the job has the threads it asked for
      ++joined_;
      const std::function<void(int)>& work = *work_;
      const int parts = parts_;
      active_.fetch_add(1, std::memory_order_relaxed);
      lock.unlock();
      RunClaimed(work, parts);
      if (active_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        const std::lock_guard<std::mutex> done(mutex_);
        done_.notify_one();
      }
    }
  }

  static constexpr std::chrono::microseconds kWatch{200};

  std::mutex busy_;   // held for the whole of a job
  std::mutex mutex_;  // guards what follows
  std::condition_variable wake_;
  std::condition_variable done_;
  std::vector<std::thread> threads_;
  const std::function<void(int)>* work_ = nullptr;  // the job, while it runs
  int parts_ = 0;
  int helpers_ = 0;   // pool threads the job may have
  int joined_ = 0;    // pool threads that have joined it
  int sleeping_ = 0;  // pool threads asleep
  bool stop_ = false;
  std::atomic<std::uint64_t> generation_{0};  // counts the jobs
  std::atomic<int> active_{0};                // pool threads inside the current job
  std::atomic<int> next_{0};                  // the next part to take
};

// The way without the pool: threads of its own that take parts as the
// pool's do, part 0 the caller's.
void RunOnNewThreads(int parts, int threads, const std::function<void(int part)>& work) {
  std::atomic<int> next{1};
  const auto take = [&] {
    for (int p = next.fetch_add(1); p < parts; p = next.fetch_add(1)) work(p);
  };
  std::vector<std::thread> started;
  for (int t = 1; t < threads; ++t) {
    try {
      started.emplace_back(take);
    } catch (const std::system_error&) {
      break;  // the parts go to the threads there are
    }
  }
  work(0);
  take();
  for (std::thread& t : started) t.join();
}

}  // namespace

int PartsFor(long long BYTES, long long MINBYTESPERPART, int MAXPARTS) {
  if (BYTES <= 0 || MINBYTESPERPART <= 0 || MAXPARTS <= 1) return 1;
  // Asked once: the library reads it from system files each time.
  static const long long cores = std::max(1u, std::thread::hardware_concurrency());
  const long long parts =
      std::min({BYTES / MINBYTESPERPART, static_cast<long long>(MAXPARTS), cores});
  return static_cast<int>(std::max(1LL, parts));
}

void RunParts(int PARTS, const std::function<void(int part)>& WORK, int THREADS) {
  if (PARTS <= 0) return;
  const int threads = std::clamp(THREADS > 0 ? THREADS : PARTS, 1, PARTS);
  if (threads == 1) {
    for (int p = 0; p < PARTS; ++p) WORK(p);
    return;
  }
  if (!Pool::Instance().TryRun(PARTS, threads, WORK)) RunOnNewThreads(PARTS, threads, WORK);
}

}  // namespace sup
