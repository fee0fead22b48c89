// The MPEG frame search, the frame header and the whole description of an MP3
// file (frame information and ID3v1 tag) on a file holding the input.
#include "fuzz/fuzz_input.h"
#include "tags/mp3_file_tags.h"
#include "tags/mpeg_frame_header.h"
#include "tests/support/plain_tag_editor.h"
#include "tests/support/scripted_ui_hooks.h"

using namespace tarnovox;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const auto sync = FindFrameSync(data, size)) {
    if (*sync + 4 > size || data[*sync] != 0xFF || data[*sync + 1] < 0xE0) fuzz::Fail("bad frame sync");
    const MpegFrameFormat format = ReadFrameFormat(data[*sync + 1], data[*sync + 2], data[*sync + 3]);
    if (format.Channels != 1 && format.Channels != 2) fuzz::Fail("channel count");
  }
  const fuzz::InputFile file(data, size, ".mp3");
  RecorderState state;
  state.PickedFile = file.Path();
  testing::PlainTagEditor editor;
  testing::ScriptedUiHooks ui;
  Mp3FileTags tags(state, editor, ui);
  tags.DescribeMp3File();
  if (!ui.messages.empty()) fuzz::Fail("a readable file gave a message");
  for (const auto& [field, text] : editor.texts) {
    if (text.size() > 30) fuzz::Fail("tag field wider than the tag");
  }
  return 0;
}
