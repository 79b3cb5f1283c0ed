#include "builder/page_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <random>
#include <system_error>
#include <utility>

namespace quillet {
namespace fs = std::filesystem;

namespace {

bool IsSeparator(char c) {
  return c == '/' || c == '\\';
}

// A page that exists but may not be written is not replaced behind its back,
// although the rename through its folder would allow it.
bool IsWriteProtected(const fs::path& path, const fs::file_status& status) {
  if (!fs::is_regular_file(status)) return false;
  constexpr fs::perms kWrite =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  if ((status.permissions() & kWrite) == fs::perms::none) return true;
  return ::access(path.c_str(), W_OK) != 0;
}

fs::path PathOf(std::string_view utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

std::string ProbePath(std::string_view path, int attributes) {
  const bool listFolder = !path.empty() && IsSeparator(path.back());
  std::error_code error;
  const fs::file_status status = fs::status(PathOf(path), error);
  if (error && error != std::errc::no_such_file_or_directory &&
      error != std::errc::not_a_directory) {
    return "error";
  }
  if (!fs::exists(status)) return "";
  const bool folder = fs::is_directory(status);
  if (listFolder) return folder ? "." : "";  // a folder always lists itself first
  if (folder && (attributes & kDirectoryAttribute) == 0) return "";
  return fs::path(PathOf(path)).filename().string();
}

namespace {

std::string FolderOf(const std::string& path) {
  const fs::path parent = PathOf(path).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

std::string InFolder(const std::string& path, const std::string& name) {
  return (fs::path(FolderOf(path)) / name).string();
}

// A hidden name of 64 random bits in the page's folder: planted files cannot
// guess it, and one that is taken all the same is skipped.
std::string RandomName(std::string_view kind) {
  static std::mt19937_64 random{std::random_device{}()};
  char name[48];
  std::snprintf(name, sizeof name, ".quillet-%s-%016llx", std::string(kind).c_str(),
                static_cast<unsigned long long>(random()));
  return name;
}

// Runs `make` with fresh random names until one is free.
template <typename Make>
int WithFreshName(const std::string& path, std::string_view kind, std::string& name, Make make) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = RandomName(kind);
    if (make(InFolder(path, name)) == 0) return 0;
    if (errno != EEXIST) break;
  }
  const int error = errno;
  name.clear();
  return error;
}

// An unnamed file in `folder`, or -1 with errno set. Unnamed until it is
// linked into place, so nothing outlives a killed run.
int OpenUnnamed(const std::string& folder, int flags) {
#ifdef O_TMPFILE
  static const bool procFds = ::access("/proc/self/fd", X_OK) == 0;
  if (procFds) return ::open(folder.c_str(), O_TMPFILE | flags | O_CLOEXEC, 0666);
#endif
  errno = EOPNOTSUPP;
  return -1;
}

// A new file in the folder of `path`, unnamed where the file system allows,
// else under a hidden name of `kind` left in `name`; the descriptor, or -1
// with errno set.
int CreateHidden(const std::string& path, std::string_view kind, int flags, std::string& name) {
  int fd = OpenUnnamed(FolderOf(path), flags);
  if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return fd;
  const int error = WithFreshName(path, kind, name, [&fd, flags](const std::string& temp) {
    fd = ::open(temp.c_str(), flags | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return fd >= 0 ? 0 : -1;
  });
  errno = error;
  return error == 0 ? fd : -1;
}

// Copies `length` bytes at `start` of `from` to the end of `to`; 0 or the error.
int CopyRange(int from, off_t start, off_t length, int to) {
  while (length > 0) {
    const ssize_t copied =
        ::copy_file_range(from, &start, to, nullptr, static_cast<std::size_t>(length), 0);
    if (copied > 0) {
      length -= copied;
      continue;
    }
    if (copied < 0 && errno == EINTR) continue;
    if (copied == 0) return EIO;
    // Across file systems, or where the kernel has no such call: through a buffer.
    if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
    std::array<char, 1 << 16> buffer{};
    const ssize_t got =
        ::pread(from, buffer.data(),
                static_cast<std::size_t>(std::min<off_t>(length, buffer.size())), start);
    if (got <= 0) {
      if (got < 0 && errno == EINTR) continue;
      return got < 0 ? errno : EIO;
    }
    for (ssize_t put = 0; put < got;) {
      const ssize_t written = ::write(to, buffer.data() + put, static_cast<std::size_t>(got - put));
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return written < 0 ? errno : EIO;
      put += written;
    }
    start += got;
    length -= got;
  }
  return 0;
}

// Writes the pieces one after another, in as few calls as the system takes
// and without joining them first; 0 or the error.
int WriteAll(int fd, std::initializer_list<std::string_view> pieces) {
  std::array<iovec, 4> parts{};
  std::size_t left = 0;
  for (const std::string_view piece : pieces) {
    if (!piece.empty()) parts.at(left++) = {const_cast<char*>(piece.data()), piece.size()};
  }
  for (iovec* next = parts.data(); left > 0;) {
    const ssize_t written = ::writev(fd, next, static_cast<int>(left));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return written < 0 ? errno : EIO;
    // Past what was written: whole pieces, then the front of the next one.
    auto done = static_cast<std::size_t>(written);
    for (; left > 0 && done >= next->iov_len; --left, ++next) done -= next->iov_len;
    if (left > 0) {
      next->iov_base = static_cast<char*>(next->iov_base) + done;
      next->iov_len -= done;
    }
  }
  return 0;
}

// What a page's name holds before the swap, looked at once for every step of it.
struct OldPage {
  bool exists = false;
  struct stat status {};
};

OldPage LookAt(const std::string& path) {
  OldPage old;
  old.exists = ::stat(path.c_str(), &old.status) == 0;
  return old;
}

// True when a page made as `made` has the mode and owner `old` gives it
// already. A set-user-ID or set-group-ID page never has: giving it its owner
// drops those bits, as it always did.
bool AlreadyAlike(const struct stat& made, const struct stat& old) {
  return (old.st_mode & (S_ISUID | S_ISGID)) == 0 &&
         (made.st_mode & 07777) == (old.st_mode & 07777) && made.st_uid == old.st_uid &&
         made.st_gid == old.st_gid;
}

// Gives an unnamed page a name in its folder, and the mode and owner of the
// page it will replace. A page made with them already is left alone: changing
// an inode costs more than looking at it.
int NameStaged(PageFile::Staged& page, const OldPage& old) {
  struct stat made {};
  if (old.exists && !(::fstat(page.fd, &made) == 0 && AlreadyAlike(made, old.status))) {
    // File systems without modes or owners keep what they have.
    if (::fchmod(page.fd, old.status.st_mode & 07777) != 0 && errno != EPERM &&
        errno != EOPNOTSUPP) {
      return errno;
    }
    if (::fchown(page.fd, old.status.st_uid, old.status.st_gid) != 0 && errno != EPERM &&
        errno != EOPNOTSUPP) {
      return errno;
    }
  }
  if (!page.tempName.empty()) return 0;
  const std::string fd = "/proc/self/fd/" + std::to_string(page.fd);
  return WithFreshName(page.path, "page", page.tempName, [&fd](const std::string& temp) {
    return ::linkat(AT_FDCWD, fd.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW);
  });
}

// Puts a named page in place. An old page of that name keeps a second name,
// `backup`: a hard link, or where the file system has none, the old page
// itself moved aside.
int PlaceStaged(PageFile::Staged& page, std::string& backup) {
  // Looked at again: another program may have moved the page since the set began.
  if (const OldPage old = LookAt(page.path); old.exists) {
    if (S_ISDIR(old.status.st_mode)) return EISDIR;
    const auto keep = [&page](const std::string& name) {
      return ::link(page.path.c_str(), name.c_str());
    };
    const auto moveAside = [&page](const std::string& name) {
      return ::rename(page.path.c_str(), name.c_str());
    };
    if (WithFreshName(page.path, "old", backup, keep) != 0) {
      if (const int error = WithFreshName(page.path, "old", backup, moveAside); error != 0) {
        return error;
      }
    }
  }
  if (::rename(InFolder(page.path, page.tempName).c_str(), page.path.c_str()) != 0) return errno;
  page.tempName.clear();
  return 0;
}

// A page that would take the place of the book being read, which may be the
// very file the run reads from; "" when none would. A book read from a pipe
// or a device is no file a page could take the place of.
Status ReplacesBook(const std::vector<PageFile::Staged>& pages, const std::vector<OldPage>& olds,
                    const std::string& book) {
  struct stat status {};
  if (book.empty() || ::stat(book.c_str(), &status) != 0) return {};
  if (!S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode)) return {};
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const struct stat& old = olds[i].status;
    if (olds[i].exists && old.st_dev == status.st_dev && old.st_ino == status.st_ino) {
      return Failure(StatusKind::kWouldReplaceBook, pages[i].path);
    }
  }
  return {};
}

void Discard(PageFile::Staged& page) {
  if (page.fd >= 0) ::close(page.fd);
  page.fd = -1;
  if (!page.tempName.empty()) ::unlink(InFolder(page.path, page.tempName).c_str());
  page.tempName.clear();
}

// Termination signals wait while pages are swapped, so that a run stopped
// then still leaves one whole book and no stray names.
class TerminationHeld {
 public:
  TerminationHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) sigaddset(&held, signal);
    pthread_sigmask(SIG_BLOCK, &held, &previous_);
  }
  ~TerminationHeld() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
  TerminationHeld(const TerminationHeld&) = delete;
  TerminationHeld& operator=(const TerminationHeld&) = delete;

 private:
  sigset_t previous_;
};

Status Failed(StatusKind kind, const std::string& path, int error) {
  return {kind, path, error, 0};
}

}  // namespace

std::thread ThreadWithoutTermination(std::function<void()> body) {
  const TerminationHeld held;  // the new thread starts with this thread's mask
  return std::thread(std::move(body));
}

PageFile::~PageFile() {
  Abandon();
}

void PageFile::Abandon() {
  if (open_) (set_ != nullptr ? set_ : alone_.get())->Drop(page_);
  open_ = false;
}

Status PageFile::Fail(StatusKind kind, int error) {
  const std::string path = page_.path;
  Abandon();
  return Failed(kind, path, error);
}

Status PageFile::OpenPageFile(std::string_view path) {
  Abandon();
  page_ = Staged{};
  page_.path = std::string(path);
  const fs::path target = PathOf(path);
  std::error_code ignored;
  const fs::file_status status = fs::status(target, ignored);
  if (target.filename().empty() || fs::is_directory(status))
    return Fail(StatusKind::kCannotCreate, EISDIR);
  if (IsWriteProtected(target, status)) return Fail(StatusKind::kCannotWrite, EACCES);
  if (set_ == nullptr && alone_ == nullptr) alone_ = std::make_unique<PageSet>();
  if (const int error = (set_ != nullptr ? set_ : alone_.get())->Begin(page_); error != 0) {
    return Fail(StatusKind::kCannotCreate, error);
  }
  open_ = true;
  return {};
}

Status PageFile::WritePageText(std::string_view text, bool addBreak) {
  if (!open_) return Fail(StatusKind::kCannotWrite, EBADF);
  const std::string_view lineBreak = addBreak ? "<br>\r\n" : "";
  const int staging = (set_ != nullptr ? set_ : alone_.get())->staging_;
  if (const int error = WriteAll(staging, {text, lineBreak, "\r\n"}); error != 0) {
    return Fail(StatusKind::kCannotWrite, error);
  }
  page_.length += static_cast<off_t>(text.size() + lineBreak.size() + 2);
  return {};
}

Status PageFile::ClosePageFile() {
  if (!open_) return Fail(StatusKind::kCannotClose, EBADF);
  open_ = false;
  if (set_ != nullptr) {
    set_->Add(std::exchange(page_, Staged{}));
    return {};
  }
  alone_->Add(std::exchange(page_, Staged{}));
  Status status = alone_->Commit();
  alone_.reset();
  return status;
}

PageSet::PageSet() = default;

PageSet::~PageSet() {
  for (PageFile::Staged& page : pages_) Discard(page);
  if (staging_ >= 0) ::close(staging_);
  if (!stagingName_.empty()) ::unlink(stagingName_.c_str());
  if (lock_ >= 0) ::close(lock_);
}

int PageSet::Begin(PageFile::Staged& page) {
  if (writing_) return EBUSY;
  if (staging_ < 0) {
    std::string name;
    staging_ = CreateHidden(page.path, "pages", O_RDWR, name);
    if (staging_ < 0) return errno;
    if (!name.empty()) stagingName_ = InFolder(page.path, name);
  }
  page.start = end_;
  writing_ = true;
  return 0;
}

void PageSet::Drop(const PageFile::Staged& page) {
  // A page cut short leaves the file where it began, ready for the next.
  if (::ftruncate(staging_, page.start) == 0) ::lseek(staging_, page.start, SEEK_SET);
  end_ = page.start;
  writing_ = false;
}

void PageSet::Add(PageFile::Staged page) {
  end_ = page.start + page.length;
  writing_ = false;
  pages_.push_back(std::move(page));
}

Status PageSet::Lock(std::string_view folder) {
  const std::string path = folder.empty() ? std::string(".") : std::string(folder);
  lock_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (lock_ < 0) return Failed(StatusKind::kCannotWrite, path, errno);
  while (::flock(lock_, LOCK_EX) != 0) {
    if (errno != EINTR) return Failed(StatusKind::kCannotWrite, path, errno);
  }
  return {};
}

std::vector<std::string> PageSet::Paths() const {
  std::vector<std::string> paths;
  for (const PageFile::Staged& page : pages_) paths.push_back(page.path);
  return paths;
}

Status PageSet::Commit() {
  std::vector<OldPage> olds;
  olds.reserve(pages_.size());
  for (const PageFile::Staged& page : pages_) olds.push_back(LookAt(page.path));
  if (Status refusal = ReplacesBook(pages_, olds, protected_); !refusal.ok()) {
    for (PageFile::Staged& staged : pages_) Discard(staged);
    return refusal;
  }
  const TerminationHeld held;
  // Each page gets a file of its own, one at a time, so that the run never
  // holds more than two descriptors.
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    PageFile::Staged& page = pages_[i];
    page.fd = CreateHidden(page.path, "page", O_WRONLY, page.tempName);
    int error = page.fd < 0 ? errno : CopyRange(staging_, page.start, page.length, page.fd);
    if (error == 0) error = NameStaged(page, olds[i]);
    if (page.fd >= 0) ::close(page.fd);
    page.fd = -1;
    if (error != 0) {
      const std::string path = pages_[i].path;
      for (PageFile::Staged& staged : pages_) Discard(staged);
      return Failed(StatusKind::kCannotWrite, path, error);
    }
  }
  // Old pages keep a second name until every new page is in place, so that a
  // failure half way can put them back.
  std::vector<std::string> backups(pages_.size());
  std::size_t failed = 0;
  int error = 0;
  for (; failed < pages_.size(); ++failed) {
    if ((error = PlaceStaged(pages_[failed], backups[failed])) != 0) break;
  }
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    const std::string backup = backups[i].empty() ? "" : InFolder(pages_[i].path, backups[i]);
    if (error != 0 && i <= failed) {
      if (!backup.empty()) {
        ::rename(backup.c_str(), pages_[i].path.c_str());
        ::unlink(backup.c_str());  // a link to the page still in place is left by rename
      } else if (i < failed) {
        ::unlink(pages_[i].path.c_str());  // there was no old page
      }
    } else if (!backup.empty()) {
      ::unlink(backup.c_str());
    }
  }
  for (PageFile::Staged& page : pages_) Discard(page);
  return error != 0 ? Failed(StatusKind::kCannotWrite, pages_[failed].path, error) : Status{};
}

Status WriteTextFile(std::string_view path, std::string_view text, PageSet* set) {
  PageFile file(set);
  Status status = file.OpenPageFile(path);
  if (status.ok()) status = file.WritePageText(text, false);
  if (status.ok()) status = file.ClosePageFile();
  return status;
}

}  // namespace quillet
