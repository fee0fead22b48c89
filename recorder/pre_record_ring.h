#pragma once
// The newest stretch of monitored sound, kept so a take can begin before the
// command (or the sound) that started it. Frames are numbered from the open of
// the monitoring stream on, so a take can ask for an exact range and the join
// between kept and live frames loses or doubles nothing.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace tarnovox {

class PreRecordRing {
 public:
  // Keeps the newest `frames` frames of `frameBytes` bytes each and forgets
  // what it held; 0 frees the memory.
  void Resize(uint64_t frames, uint32_t frameBytes);
  bool On() const { return capacity_ > 0; }
  // A new open of the stream: nothing captured before it is available.
  void Clear() { end_ = 0; }
  void Push(const uint8_t* bytes, size_t count);
  // The number of the frame the next Push begins with.
  uint64_t End() const { return end_; }
  // The oldest frame still kept.
  uint64_t Oldest() const { return end_ > capacity_ ? end_ - capacity_ : 0; }
  // Hands out frames [from, to) in order, in at most two spans (bytes, count);
  // `from` is raised to Oldest().
  void Visit(uint64_t from, uint64_t to, const std::function<void(const uint8_t*, size_t)>& out) const;

 private:
  std::vector<uint8_t> data_;
  uint64_t capacity_ = 0;  // frames
  uint32_t frameBytes_ = 4;
  uint64_t end_ = 0;
};

}  // namespace tarnovox
