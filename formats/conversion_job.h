#pragma once
// Conversions running on worker threads, one per core at most: each worker
// takes the next file of the batch until none is left. Progress and the
// outcome are handed to `deliver`, which must run them on the thread that owns
// the job (the window thread posts them to its event loop): the callbacks never
// run on a worker, and never after the job is gone.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "formats/mp3_conversion.h"

namespace tarnovox {

// One file of a batch: `run` converts it, reporting the percentage of the
// source consumed, and stops at its next chunk once `cancel` is set. Whatever
// happens, the target is complete or as it was, and no part file stays.
struct ConversionTask {
  using Run = std::function<ConversionOutcome(const std::function<void(int)>& progress,
                                              const std::atomic<bool>& cancel)>;
  std::string source;
  std::string target;
  uint64_t weight = 1;  // its share of the batch's progress: the source's size
  Run run;
};

class ConversionJob {
 public:
  using Deliver = std::function<void(std::function<void()>)>;
  using Progress = std::function<void(int percent)>;
  // One outcome per task, in the tasks' order.
  using Finished = std::function<void(const std::vector<ConversionOutcome>&)>;

  // `workers` 0: one per core.
  explicit ConversionJob(Deliver deliver, unsigned workers = 0);
  // Cancels a running batch and waits for its workers (their part files are gone then).
  ~ConversionJob();
  ConversionJob(const ConversionJob&) = delete;
  ConversionJob& operator=(const ConversionJob&) = delete;

  // Starts the batch; false while one runs already. `onProgress` gets the
  // batch's percentage, weighted by the tasks' sizes.
  bool Start(std::vector<ConversionTask> tasks, Progress onProgress, Finished onFinished);
  // Every worker stops at its next chunk and takes no further file; the
  // outcome (Cancelled for what was not converted) still arrives.
  void Cancel() { cancel_ = true; }
  // Until the outcome has been delivered.
  bool Running() const { return running_; }
  // Waits for the workers; the outcome arrives through `deliver` as always.
  void Wait();

 private:
  struct Batch;
  // What the workers' deliveries reach; cut loose when the job goes.
  struct Receiver {
    Progress progress;
    Finished finished;
  };
  void Work(const std::shared_ptr<Batch>& batch);

  Deliver deliver_;
  unsigned workers_;
  std::shared_ptr<Receiver> receiver_;
  std::atomic<bool> cancel_{false};
  bool running_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace tarnovox
