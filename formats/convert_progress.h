#pragma once
// What the conversion needs of its dialog and of the file list window.
#include <functional>
#include <string>

#include "formats/conversion_tasks.h"

namespace tarnovox {

class ConvertProgress {
 public:
  virtual ~ConvertProgress() = default;
  // Shows the dialog (not modal) for a conversion into `format` of what
  // `source` and `target` name (two paths, or the files counted) and clears any
  // earlier cancel.
  virtual void Show(ConversionTarget format, const std::string& source, const std::string& target) = 0;
  // Percentage of the sources consumed, 0 to 100.
  virtual void SetProgress(int percent) = 0;
  // Cancel was clicked or the dialog was closed since Show.
  virtual bool Cancelled() const = 0;
  // What Cancel and closing the dialog do from now on (empty: nothing more).
  virtual void SetCancelAction(std::function<void()> cancel) = 0;
  virtual void Close() = 0;
  // The file grid is disabled while a conversion runs so no other list command starts.
  virtual void SetFileGridEnabled(bool enabled) = 0;
};

}  // namespace tarnovox
