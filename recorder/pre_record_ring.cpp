#include "recorder/pre_record_ring.h"

#include <algorithm>
#include <cstring>

namespace tarnovox {

void PreRecordRing::Resize(uint64_t frames, uint32_t frameBytes) {
  frameBytes_ = frameBytes;
  capacity_ = frames;
  end_ = 0;
  data_.assign(static_cast<size_t>(frames * frameBytes), 0);
  if (frames == 0) data_.shrink_to_fit();
}

void PreRecordRing::Push(const uint8_t* bytes, size_t count) {
  if (capacity_ == 0) return;
  uint64_t frames = count / frameBytes_;
  uint64_t first = end_;
  end_ += frames;
  if (frames > capacity_) {  // only the newest capacity_ frames can stay
    bytes += (frames - capacity_) * frameBytes_;
    first += frames - capacity_;
    frames = capacity_;
  }
  while (frames > 0) {
    const uint64_t slot = first % capacity_;
    const uint64_t run = std::min(frames, capacity_ - slot);
    std::memcpy(data_.data() + slot * frameBytes_, bytes, run * frameBytes_);
    bytes += run * frameBytes_;
    first += run;
    frames -= run;
  }
}

void PreRecordRing::Visit(uint64_t from, uint64_t to,
                          const std::function<void(const uint8_t*, size_t)>& out) const {
  from = std::max(from, Oldest());
  to = std::min(to, end_);
  while (from < to) {
    const uint64_t slot = from % capacity_;
    const uint64_t run = std::min(to - from, capacity_ - slot);
    out(data_.data() + slot * frameBytes_, static_cast<size_t>(run * frameBytes_));
    from += run;
  }
}

}  // namespace tarnovox
