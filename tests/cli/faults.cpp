// Preloaded into quillet by the command-line tests to cause failures that a
// test cannot cause otherwise: a read that fails half way through a file, a
// disk that fills up, a write that never returns, a slow or failing rename, a
// folder that behaves like a FAT card.
//
// Only files whose path starts with QUILLET_FAULT_PATH are touched, so the
// program's own output and libraries are left alone:
//   QUILLET_FAULT_READ_AFTER=N   reads fail with EIO once N bytes were read
//   QUILLET_FAULT_WRITE_AFTER=N  writes fail with ENOSPC once N bytes were written
//   QUILLET_FAULT_HANG_AFTER=N   the write that passes N bytes never returns;
//                                QUILLET_FAULT_HANG_MARK names a file created then
//   QUILLET_FAULT_WRITE_DELAY=MS every write first waits MS milliseconds
//   QUILLET_FAULT_RENAME_DELAY=MS every rename first waits MS milliseconds;
//                                QUILLET_FAULT_RENAME_MARK names a file created
//                                at the first
//   QUILLET_FAULT_RENAME_ONTO=NAME  the first rename onto a file called NAME
//                                fails with EIO; later ones succeed
//   QUILLET_FAULT_NO_LINKS=1     no hard links (EPERM) and no unnamed files
//                                (EOPNOTSUPP), as on FAT
// A gathered write (writev) waits and hangs as one write and fills the disk
// piece by piece.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

long long Setting(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? -1 : std::atoll(value);
}

bool Watched(int fd) {
  const char* prefix = std::getenv("QUILLET_FAULT_PATH");
  if (prefix == nullptr || fd < 0) return false;
  char link[64];
  char path[4096];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t length = readlink(link, path, sizeof path - 1);
  if (length < 0) return false;
  path[length] = '\0';
  return std::strncmp(path, prefix, std::strlen(prefix)) == 0;
}

// Whether `path`, taken from the folder `dirFd`, lies under QUILLET_FAULT_PATH.
bool WatchedPath(int dirFd, const char* path) {
  const char* prefix = std::getenv("QUILLET_FAULT_PATH");
  if (prefix == nullptr || path == nullptr) return false;
  std::filesystem::path whole(path);
  if (whole.is_relative()) {
    char folder[4096];
    if (dirFd == AT_FDCWD) {
      if (getcwd(folder, sizeof folder) == nullptr) return false;
    } else {
      char link[64];
      std::snprintf(link, sizeof link, "/proc/self/fd/%d", dirFd);
      const ssize_t length = readlink(link, folder, sizeof folder - 1);
      if (length < 0) return false;
      folder[length] = '\0';
    }
    whole = std::filesystem::path(folder) / whole;
  }
  const std::string normal = whole.lexically_normal().string();
  return normal.compare(0, std::strlen(prefix), prefix) == 0;
}

std::atomic<long long> bytesRead{0};
std::atomic<long long> bytesWritten{0};

template <typename Function>
Function Next(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" ssize_t read(int fd, void* buffer, size_t count) {
  static const auto real = Next<ssize_t (*)(int, void*, size_t)>("read");
  const long long limit = Setting("QUILLET_FAULT_READ_AFTER");
  if (limit < 0 || !Watched(fd)) return real(fd, buffer, count);
  const long long left = limit - bytesRead.load();
  if (left <= 0) {
    errno = EIO;
    return -1;
  }
  const ssize_t got = real(fd, buffer, count < static_cast<size_t>(left) ? count : left);
  if (got > 0) bytesRead += got;
  return got;
}

namespace {

// Whether writes to `fd` are to be faulted at all.
bool Faulted(int fd) {
  return (Setting("QUILLET_FAULT_WRITE_AFTER") >= 0 || Setting("QUILLET_FAULT_HANG_AFTER") >= 0 ||
          Setting("QUILLET_FAULT_WRITE_DELAY") >= 0) &&
         Watched(fd);
}

// What every faulted call does before it writes `count` bytes: wait, or hang
// for good when they would pass the mark.
void BeforeWriting(size_t count) {
  const long long delay = Setting("QUILLET_FAULT_WRITE_DELAY");
  if (delay > 0) usleep(static_cast<useconds_t>(delay * 1000));
  const long long hang = Setting("QUILLET_FAULT_HANG_AFTER");
  if (hang >= 0 && bytesWritten.load() + static_cast<long long>(count) > hang) {
    if (const char* mark = std::getenv("QUILLET_FAULT_HANG_MARK")) {
      const int marker = open(mark, O_WRONLY | O_CREAT, 0644);
      if (marker >= 0) close(marker);
    }
    for (;;) pause();
  }
}

// Writes what still fits before the disk is full.
ssize_t WriteUntilFull(int fd, const void* buffer, size_t count) {
  static const auto real = Next<ssize_t (*)(int, const void*, size_t)>("write");
  const long long full = Setting("QUILLET_FAULT_WRITE_AFTER");
  if (full >= 0) {
    const long long left = full - bytesWritten.load();
    if (left <= 0) {
      errno = ENOSPC;
      return -1;
    }
    if (static_cast<long long>(count) > left) count = static_cast<size_t>(left);
  }
  const ssize_t put = real(fd, buffer, count);
  if (put > 0) bytesWritten += put;
  return put;
}

}  // namespace

extern "C" ssize_t write(int fd, const void* buffer, size_t count) {
  static const auto real = Next<ssize_t (*)(int, const void*, size_t)>("write");
  if (!Faulted(fd)) return real(fd, buffer, count);
  BeforeWriting(count);
  return WriteUntilFull(fd, buffer, count);
}

// A gathered write waits and hangs as one write, and fills the disk piece by
// piece, stopping where a piece falls short, as the kernel's would.
extern "C" ssize_t writev(int fd, const iovec* pieces, int count) {
  static const auto real = Next<ssize_t (*)(int, const iovec*, int)>("writev");
  if (!Faulted(fd)) return real(fd, pieces, count);
  size_t all = 0;
  for (int i = 0; i < count; ++i) all += pieces[i].iov_len;
  BeforeWriting(all);
  ssize_t total = 0;
  for (int i = 0; i < count; ++i) {
    const ssize_t put = WriteUntilFull(fd, pieces[i].iov_base, pieces[i].iov_len);
    if (put < 0) return total > 0 ? total : -1;
    total += put;
    if (static_cast<size_t>(put) < pieces[i].iov_len) break;
  }
  return total;
}

// Writes through stdio only wait, so that slow runs can be made of any writer.
extern "C" size_t fwrite(const void* buffer, size_t size, size_t count, FILE* stream) {
  static const auto real = Next<size_t (*)(const void*, size_t, size_t, FILE*)>("fwrite");
  const long long delay = Setting("QUILLET_FAULT_WRITE_DELAY");
  if (delay > 0 && Watched(fileno(stream))) usleep(static_cast<useconds_t>(delay * 1000));
  return real(buffer, size, count, stream);
}

namespace {

bool WithoutLinks() {
  return Setting("QUILLET_FAULT_NO_LINKS") > 0;
}

// What every rename onto a watched path does first: wait, or fail once when
// it is the first onto the name given.
int BeforeRenaming(int dirFd, const char* to) {
  if (!WatchedPath(dirFd, to)) return 0;
  const long long delay = Setting("QUILLET_FAULT_RENAME_DELAY");
  if (delay > 0) {
    static std::atomic<bool> marked{false};
    const char* mark = std::getenv("QUILLET_FAULT_RENAME_MARK");
    if (mark != nullptr && !marked.exchange(true)) {
      const int marker = open(mark, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
      if (marker >= 0) close(marker);
    }
    usleep(static_cast<useconds_t>(delay * 1000));
  }
  const char* onto = std::getenv("QUILLET_FAULT_RENAME_ONTO");
  static std::atomic<bool> failed{false};
  if (onto != nullptr && std::filesystem::path(to).filename() == onto && !failed.exchange(true)) {
    return EIO;
  }
  return 0;
}

}  // namespace

extern "C" int rename(const char* from, const char* to) {
  static const auto real = Next<int (*)(const char*, const char*)>("rename");
  if (const int error = BeforeRenaming(AT_FDCWD, to); error != 0) {
    errno = error;
    return -1;
  }
  return real(from, to);
}

extern "C" int renameat(int fromDir, const char* from, int toDir, const char* to) {
  static const auto real = Next<int (*)(int, const char*, int, const char*)>("renameat");
  if (const int error = BeforeRenaming(toDir, to); error != 0) {
    errno = error;
    return -1;
  }
  return real(fromDir, from, toDir, to);
}

extern "C" int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
  static const auto real = Next<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
  if (const int error = BeforeRenaming(toDir, to); error != 0) {
    errno = error;
    return -1;
  }
  return real(fromDir, from, toDir, to, flags);
}

extern "C" int link(const char* from, const char* to) {
  static const auto real = Next<int (*)(const char*, const char*)>("link");
  if (WithoutLinks() && WatchedPath(AT_FDCWD, to)) {
    errno = EPERM;
    return -1;
  }
  return real(from, to);
}

extern "C" int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
  static const auto real = Next<int (*)(int, const char*, int, const char*, int)>("linkat");
  if (WithoutLinks() && WatchedPath(toDir, to)) {
    errno = EPERM;
    return -1;
  }
  return real(fromDir, from, toDir, to, flags);
}

namespace {

// An unnamed file in a watched folder is refused, as FAT refuses it.
template <typename Open>
int OpenMaybeUnnamed(Open real, const char* path, int flags, va_list more) {
  mode_t mode = 0;
  if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) mode = va_arg(more, mode_t);
  if ((flags & O_TMPFILE) == O_TMPFILE && WithoutLinks() && WatchedPath(AT_FDCWD, path)) {
    errno = EOPNOTSUPP;
    return -1;
  }
  return real(path, flags, mode);
}

}  // namespace

extern "C" int open(const char* path, int flags, ...) {
  static const auto real = Next<int (*)(const char*, int, ...)>("open");
  va_list more;
  va_start(more, flags);
  const int fd = OpenMaybeUnnamed(real, path, flags, more);
  va_end(more);
  return fd;
}

extern "C" int open64(const char* path, int flags, ...) {
  static const auto real = Next<int (*)(const char*, int, ...)>("open64");
  va_list more;
  va_start(more, flags);
  const int fd = OpenMaybeUnnamed(real, path, flags, more);
  va_end(more);
  return fd;
}
