#include "formats/conversion_job.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>

namespace tarnovox {

namespace {
constexpr int kNiceness = 5;
}  // namespace

// The shared state of one batch: the next task to take, each task's consumed
// share, and the outcomes; the last worker to end delivers them.
struct ConversionJob::Batch {
  std::vector<ConversionTask> tasks;
  std::weak_ptr<Receiver> receiver;
  std::mutex mutex;
  size_t next = 0;
  unsigned workersLeft = 0;
  uint64_t totalWeight = 0;
  std::vector<uint64_t> done;  // per task, weight x percent
  int reported = -1;
  std::vector<ConversionOutcome> outcomes;
};

ConversionJob::ConversionJob(Deliver deliver, unsigned workers)
    : deliver_(std::move(deliver)), workers_(workers ? workers : std::max(1u, std::thread::hardware_concurrency())) {}

ConversionJob::~ConversionJob() {
  Cancel();
  Wait();
  if (receiver_) {
    receiver_->progress = nullptr;
    receiver_->finished = nullptr;
  }
}

bool ConversionJob::Start(std::vector<ConversionTask> tasks, Progress onProgress, Finished onFinished) {
  if (running_) return false;
  Wait();
  cancel_ = false;
  running_ = true;
  receiver_ = std::make_shared<Receiver>(Receiver{std::move(onProgress), std::move(onFinished)});
  auto batch = std::make_shared<Batch>();
  batch->receiver = receiver_;
  batch->outcomes.assign(tasks.size(), {ConversionOutcome::Result::Cancelled, {}});
  batch->done.assign(tasks.size(), 0);
  for (const ConversionTask& task : tasks) batch->totalWeight += std::max<uint64_t>(task.weight, 1);
  batch->tasks = std::move(tasks);
  const unsigned count = static_cast<unsigned>(std::clamp<size_t>(batch->tasks.size(), 1, workers_));
  batch->workersLeft = count;
  for (unsigned i = 0; i < count; ++i) {
    threads_.emplace_back([this, batch, i] {
      // Below the recorder's threads, so a take recorded meanwhile keeps its
      // processor; each worker a step below the one before, so on a shared
      // core one runs ahead and the others fill its waits for the disk
      // instead of all waiting at the same moment.
      (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kNiceness + static_cast<int>(i));
      Work(batch);
    });
  }
  return true;
}

void ConversionJob::Work(const std::shared_ptr<Batch>& batch) {
  for (;;) {
    size_t index;
    {
      std::lock_guard lock(batch->mutex);
      if (cancel_ || batch->next == batch->tasks.size()) break;
      index = batch->next++;
    }
    const ConversionTask& task = batch->tasks[index];
    const uint64_t weight = std::max<uint64_t>(task.weight, 1);
    const std::function<void(int)> progress = [this, &batch, index, weight](int percent) {
      std::lock_guard lock(batch->mutex);
      batch->done[index] = weight * static_cast<uint64_t>(std::clamp(percent, 0, 100));
      uint64_t sum = 0;
      for (uint64_t share : batch->done) sum += share;
      const int overall = static_cast<int>(sum / batch->totalWeight);
      if (overall == batch->reported) return;
      batch->reported = overall;
      deliver_([receiver = batch->receiver, overall] {
        if (auto r = receiver.lock(); r && r->progress) r->progress(overall);
      });
    };
    ConversionOutcome outcome = task.run(progress, cancel_);
    std::lock_guard lock(batch->mutex);
    batch->outcomes[index] = std::move(outcome);
  }
  std::lock_guard lock(batch->mutex);
  if (--batch->workersLeft > 0) return;
  deliver_([this, batch] {
    auto r = batch->receiver.lock();
    if (!r) return;  // the job is gone
    running_ = false;
    if (r->finished) r->finished(batch->outcomes);
  });
}

void ConversionJob::Wait() {
  for (std::thread& thread : threads_) {
    if (thread.joinable()) thread.join();
  }
  threads_.clear();
}

}  // namespace tarnovox
