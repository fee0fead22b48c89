// The label file beside a recording, read for the position bar's ticks and the
// jumps between marks.
#include <cmath>

#include "formats/label_file.h"
#include "fuzz/fuzz_input.h"

using namespace tarnovox;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<Label> labels = ParseLabels(bytes);
  if (labels.size() > kMaxLabels) fuzz::Fail("more labels than the bound");
  for (size_t i = 0; i < labels.size(); ++i) {
    const Label& label = labels[i];
    if (!std::isfinite(label.seconds) || label.seconds < 0 || label.seconds > 10 * 24 * 3600.0)
      fuzz::Fail("a time out of range");
    if (i > 0 && labels[i - 1].seconds > label.seconds) fuzz::Fail("labels out of order");
    if (label.text.find_first_of("\t\n") != std::string::npos) fuzz::Fail("a text holding a separator");
    // Each label written back reads the same (up to the six decimals written).
    const std::vector<Label> again = ParseLabels(LabelLine(static_cast<uint64_t>(label.seconds * 1000000), 1000000,
                                                           label.text));
    if (again.size() != 1 || again[0].text != label.text) fuzz::Fail("a label written back reads otherwise");
  }
  // The file read from the disk is the bytes parsed, when it is within the bound.
  if (size < kMaxLabelFileBytes) {
    const fuzz::InputFile file(data, size, ".labels.txt");
    const std::vector<Label> read = ReadLabelFile(file.Path());
    if (read.size() != labels.size()) fuzz::Fail("the file reads otherwise than its bytes");
  }
  return 0;
}
