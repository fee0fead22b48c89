#pragma once
// A conversion running on a worker thread of its own. Its progress and its
// outcome are handed to `deliver`, which must run them on the thread that
// owns the job (the window thread posts them to its event loop): the
// callbacks never run on the worker, and never after the job is gone.
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "formats/mp3_conversion.h"

namespace tarnovox {

class ConversionJob {
 public:
  using Deliver = std::function<void(std::function<void()>)>;
  using Progress = std::function<void(int percent)>;
  using Finished = std::function<void(const ConversionOutcome&)>;

  ConversionJob(DynamicLibraryLoader& loader, Deliver deliver);
  // Cancels a running conversion and waits for its worker (its part file is gone then).
  ~ConversionJob();
  ConversionJob(const ConversionJob&) = delete;
  ConversionJob& operator=(const ConversionJob&) = delete;

  // Starts converting; false while a conversion runs already.
  bool Start(ConversionRequest request, Progress onProgress, Finished onFinished);
  // The worker stops at its next chunk; the outcome (Cancelled) still arrives.
  void Cancel() { cancel_ = true; }
  // Until the outcome has been delivered.
  bool Running() const { return running_; }
  // Waits for the worker; the outcome arrives through `deliver` as always.
  void Wait();

 private:
  // What the worker's deliveries reach; cut loose when the job goes.
  struct Receiver {
    Progress progress;
    Finished finished;
  };

  DynamicLibraryLoader& loader_;
  Deliver deliver_;
  std::shared_ptr<Receiver> receiver_;
  std::atomic<bool> cancel_{false};
  bool running_ = false;
  std::thread worker_;
};

}  // namespace tarnovox
