#pragma once
// The file of a take, written as its frames arrive. The capture thread is its
// only user once the take has begun.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace tarnovox {

// The path of the next free take name, or "" when none is left.
using NextTakeFile = std::function<std::string()>;

class TakeWriter {
 public:
  virtual ~TakeWriter() = default;
  // Appends whole frames in the take's format. After a failure the writer
  // takes nothing more and returns false; Failure() says why.
  virtual bool Append(const uint8_t* frames, size_t bytes) = 0;
  // Writes what it still holds, completes the file and closes it. Returns
  // false when that failed (Failure() says why); what was written stays.
  virtual bool Finish() = 0;
  // The text the user is told of the first failure; empty while none happened.
  virtual const std::string& Failure() const = 0;
  // Marks the current file at the frames appended to it so far, as `text`.
  // Returns "" or the text the user is told when the label file could not be
  // written (the mark is kept for the file itself where its format holds marks).
  virtual std::string AddMark(const std::string& text) = 0;
  // The file the frames go into now (a long take goes on in a new file).
  virtual const std::string& CurrentFile() const = 0;
  // Completes the current file as Finish would and goes on in the next free
  // one, so the frames appended next begin it. Returns false when either step
  // failed or no name is left (Failure() says why); the writer then takes
  // nothing more.
  virtual bool ContinueInNextFile() = 0;
};

}  // namespace tarnovox
