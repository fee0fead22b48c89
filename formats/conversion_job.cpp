#include "formats/conversion_job.h"

namespace tarnovox {

ConversionJob::ConversionJob(DynamicLibraryLoader& loader, Deliver deliver)
    : loader_(loader), deliver_(std::move(deliver)) {}

ConversionJob::~ConversionJob() {
  Cancel();
  Wait();
  if (receiver_) {
    receiver_->progress = nullptr;
    receiver_->finished = nullptr;
  }
}

bool ConversionJob::Start(ConversionRequest request, Progress onProgress, Finished onFinished) {
  if (running_) return false;
  Wait();
  cancel_ = false;
  running_ = true;
  receiver_ = std::make_shared<Receiver>(Receiver{std::move(onProgress), std::move(onFinished)});
  std::weak_ptr<Receiver> receiver = receiver_;
  worker_ = std::thread([this, request = std::move(request), receiver] {
    const std::function<void(int)> progress = [this, receiver](int percent) {
      deliver_([receiver, percent] {
        if (auto r = receiver.lock(); r && r->progress) r->progress(percent);
      });
    };
    const ConversionOutcome outcome = ConvertWavToMp3(loader_, request, progress, cancel_);
    deliver_([this, receiver, outcome] {
      auto r = receiver.lock();
      if (!r) return;  // the job is gone
      running_ = false;
      if (r->finished) r->finished(outcome);
    });
  });
  return true;
}

void ConversionJob::Wait() {
  if (worker_.joinable()) worker_.join();
}

}  // namespace tarnovox
