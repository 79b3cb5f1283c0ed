// One window over recording stand-ins, for the window's tests.
#pragma once

#include <optional>
#include <string>

#include "builder/window/main_window.h"
#include "tests/builder/fakes.h"

namespace quillet::testing {

// A folder chooser that gives whatever the test put in `answer`.
class AnswerChooser : public FolderChooser {
 public:
  std::optional<std::string> ChooseFolder() override { return answer; }
  std::optional<std::string> answer;
};

struct WindowFixture {
  RecordingOpener opener;
  RecordingMessages messages;
  AnswerChooser folders;
  FixedClipboard clipboard;
  rtf2htmlTest window{WindowServices{&opener, &messages, &folders, &clipboard}};

  WindowFixture() { window.Form_Load(); }
};

}  // namespace quillet::testing
