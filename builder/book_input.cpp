#include "book_input.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace quillet {
namespace {

bool EndsWithNoCase(std::string_view text, std::string_view ending) {
  if (text.size() < ending.size()) return false;
  const std::string_view tail = text.substr(text.size() - ending.size());
  for (std::size_t i = 0; i < tail.size(); ++i) {
    const char c = tail[i] >= 'A' && tail[i] <= 'Z' ? static_cast<char>(tail[i] + 32) : tail[i];
    if (c != ending[i]) return false;
  }
  return true;
}

}  // namespace

InputKind InputKindOf(std::string_view name, std::string_view content) {
  if (name != "-") {
    if (EndsWithNoCase(name, ".rtf")) return InputKind::kRtf;
    if (EndsWithNoCase(name, ".txt")) return InputKind::kPlainText;
    if (EndsWithNoCase(name, ".htm") || EndsWithNoCase(name, ".html")) return InputKind::kHtml;
  }
  return content.starts_with("{\\rtf") ? InputKind::kRtf : InputKind::kPlainText;
}

std::optional<std::string> ReadBookFile(const std::string& name, std::string& error) {
  std::ostringstream bytes;
  if (name == "-") {
    bytes << std::cin.rdbuf();
    return bytes.str();
  }
  std::error_code ignored;
  if (std::filesystem::is_directory(name, ignored)) {
    error = "No se puede leer / Cannot read " + name + ": " + std::strerror(EISDIR);
    return std::nullopt;
  }
  std::ifstream in(name, std::ios::binary);
  if (!in) {
    error = "No se puede leer / Cannot read " + name + ": " + std::strerror(errno);
    return std::nullopt;
  }
  bytes << in.rdbuf();
  if (in.bad()) {
    error = "No se puede leer / Cannot read " + name;
    return std::nullopt;
  }
  return bytes.str();
}

void LoadIntoBox(DocumentBox& box, InputKind kind, std::string_view bytes) {
  if (kind == InputKind::kRtf) {
    box.SetTextRTF(bytes);
  } else {
    box.SetPlainText(bytes);
  }
}

}  // namespace quillet
