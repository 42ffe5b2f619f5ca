#include "infotable/blocks_in_order.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

class BlockSlots {
 public:
  BlockSlots(size_t blocks, size_t slots, const std::function<void(size_t, size_t)>& make)
      : blocks_(blocks), slots_(slots), make_(make), made_(slots, false), failures_(slots) {}

  // Makes blocks until none is left or the work stops.
  void MakeAll() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      changed_.wait(lock, [this] { return stopped_ || next_ == blocks_ || CanTakeNext(); });
      if (stopped_ || next_ == blocks_) return;
      MakeNext(lock);
    }
  }

  // Waits until `block` is made, making others meanwhile when one is free to
  // take; gives its failure, if any.
  std::exception_ptr AwaitMade(size_t block) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!made_[block % slots_]) {
      if (CanTakeNext())
        MakeNext(lock);
      else
        changed_.wait(lock);
    }
    return failures_[block % slots_];
  }

  // The block in `slot` has been used: the slot is free for a later one.
  void Used(size_t slot) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      made_[slot] = false;
      ++used_;
    }
    changed_.notify_all();
  }

  void Stop() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopped_ = true;
    }
    changed_.notify_all();
  }

 private:
  bool CanTakeNext() const { return !stopped_ && next_ < blocks_ && next_ < used_ + slots_; }

  void MakeNext(std::unique_lock<std::mutex>& lock) {
    const size_t block = next_++;
    const size_t slot = block % slots_;
    lock.unlock();
    std::exception_ptr failure;
    try {
      make_(block, slot);
    } catch (...) {
      failure = std::current_exception();
    }
    lock.lock();
    made_[slot] = true;
    failures_[slot] = failure;
    changed_.notify_all();
  }

  const size_t blocks_, slots_;
  const std::function<void(size_t, size_t)>& make_;
  std::mutex mutex_;
  std::condition_variable changed_;
  size_t next_ = 0;  // the next block to be made
  size_t used_ = 0;  // blocks used so far
  bool stopped_ = false;
  std::vector<bool> made_;  // per slot
  std::vector<std::exception_ptr> failures_;
};

}  // namespace

unsigned ThreadsFor(size_t blocks, unsigned threads) {
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  return static_cast<unsigned>(std::max<size_t>(1, std::min<size_t>(threads, blocks)));
}

void MakeBlocksInOrder(size_t blocks, unsigned threads, size_t slots,
                       const std::function<void(size_t, size_t)>& make,
                       const std::function<bool(size_t, size_t)>& use) {
  slots = std::max<size_t>(slots, 1);
  BlockSlots work(blocks, slots, make);
  std::vector<std::thread> helpers;
  for (unsigned i = 1; i < threads; ++i) {
    try {
      helpers.emplace_back([&work] { work.MakeAll(); });
    } catch (const std::system_error&) {
      break;  // no thread to spare: the ones there are make every block
    }
  }
  std::exception_ptr failure;
  for (size_t block = 0; block < blocks && !failure; ++block) {
    failure = work.AwaitMade(block);
    if (failure) break;
    bool goOn = false;
    try {
      goOn = use(block, block % slots);
    } catch (...) {
      failure = std::current_exception();
    }
    work.Used(block % slots);
    if (!goOn) break;
  }
  work.Stop();
  for (std::thread& helper : helpers) helper.join();
  if (failure) std::rethrow_exception(failure);
}
