// Page files: text files that replace existing pages only once they have been
// written completely, the pages of one run put in place together, and the
// folder check made before writing.
#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "richtext/status.h"

namespace quillet {

// Attribute bit that includes folders in a ProbePath lookup.
inline constexpr int kDirectoryAttribute = 16;

// Name of the first directory entry matching `path`: a path that ends in a
// separator lists that folder. "" when nothing matches, "error" when the lookup
// itself fails (no permission, a malformed path).
std::string ProbePath(std::string_view path, int attributes);

class PageSet;

// One page file. Text goes to the staging file of its PageSet, one unnamed
// file in the target's folder for all the set's pages, so that a run holds
// one descriptor however many pages wait. Putting the set in place gives each
// page a file of its own under the target's name, keeping the mode and owner
// of the page it replaces: an existing page is never left half-written, and a
// run that is killed leaves nothing behind. A page opened without a set is put
// in place by ClosePageFile. Every operation returns a Status that, when it
// fails, names the file (detail) and gives the system's error number (first).
class PageFile {
 public:
  // With a set, ClosePageFile leaves putting the page in place to the set.
  explicit PageFile(PageSet* set = nullptr) : set_(set) {}
  PageFile(const PageFile&) = delete;
  PageFile& operator=(const PageFile&) = delete;
  ~PageFile();  // discards a page that was not closed

  [[nodiscard]] Status OpenPageFile(std::string_view path);
  // Writes `text` and CR LF; with `addBreak`, "<br>" and CR LF come before that.
  [[nodiscard]] Status WritePageText(std::string_view text, bool addBreak);
  [[nodiscard]] Status ClosePageFile();

  // A written page on its way to its place.
  struct Staged {
    std::string path;  // the target, as the caller named it
    off_t start = 0;   // where its text lies in the set's staging file
    off_t length = 0;
    int fd = -1;           // a file of its own, while the set is put in place
    std::string tempName;  // name in the target's folder while staged; "" while unnamed
  };

 private:
  Status Fail(StatusKind kind, int error);
  void Abandon();

  PageSet* set_ = nullptr;
  std::unique_ptr<PageSet> alone_;  // the set of a page opened without one
  Staged page_;
  bool open_ = false;
};

// The pages of one run, put in place together: when anything fails, every
// page the folder held before is left as it was. Two runs that lock the same
// folder take turns.
class PageSet {
 public:
  PageSet();
  PageSet(const PageSet&) = delete;
  PageSet& operator=(const PageSet&) = delete;
  ~PageSet();  // discards pages that were not put in place

  // Waits until no other run holds the folder, then holds it until destroyed.
  [[nodiscard]] Status Lock(std::string_view folder);
  // A file no page of this set may replace (the book being read): Commit
  // refuses, before anything is put in place, when a target is that file.
  void Protect(std::string path) { protected_ = std::move(path); }
  // Puts every closed page in place; when it fails, the folder is as it was.
  [[nodiscard]] Status Commit();
  // Targets of the pages, in the order they were closed.
  std::vector<std::string> Paths() const;

 private:
  friend class PageFile;
  // Starts `page` at the end of the staging file, which the first page
  // creates in its folder; 0 or the error. One page is written at a time.
  int Begin(PageFile::Staged& page);
  // Drops what a page that was not closed wrote.
  void Drop(const PageFile::Staged& page);
  void Add(PageFile::Staged page);

  std::vector<PageFile::Staged> pages_;
  std::string protected_;
  int staging_ = -1;         // the pages' text, one after another
  std::string stagingName_;  // its path where the file system has no unnamed files
  off_t end_ = 0;
  bool writing_ = false;
  int lock_ = -1;
};

// Writes `text` followed by CR LF as a whole file, the way every page is written.
// Starts `body` on a thread of its own that termination signals never reach:
// they go to the thread that holds them back while pages are put in place, so
// that a run stopped then still leaves one whole book.
std::thread ThreadWithoutTermination(std::function<void()> body);

[[nodiscard]] Status WriteTextFile(std::string_view path, std::string_view text,
                                   PageSet* set = nullptr);

}  // namespace quillet
