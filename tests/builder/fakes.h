// Recording stand-ins for the desktop, so the builder runs headless in tests.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "builder/platform.h"

namespace quillet::testing {

class RecordingOpener : public PageOpener {
 public:
  void Open(const std::string& path) override { opened.push_back(path); }
  std::vector<std::string> opened;
};

class RecordingMessages : public MessageSink {
 public:
  void Show(const std::string& message) override { shown.push_back(message); }
  std::vector<std::string> shown;
};

class FixedFolderChooser : public FolderChooser {
 public:
  explicit FixedFolderChooser(std::optional<std::string> answer) : answer_(std::move(answer)) {}
  std::optional<std::string> ChooseFolder() override { return answer_; }

 private:
  std::optional<std::string> answer_;
};

class FixedBookChooser : public BookChooser {
 public:
  std::optional<std::string> ChooseBook() override { return answer; }
  std::optional<std::string> answer;
};

class FixedClipboard : public Clipboard {
 public:
  std::string Rtf() const override { return rtf; }
  std::string Html() const override { return html; }
  std::string Text() const override { return text; }
  std::string rtf, html, text;
};

}  // namespace quillet::testing
