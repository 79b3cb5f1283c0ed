// Permission tests run as root too, as they do in CI: a child process gives up
// root for nobody, whom file modes bind.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace quillet::testing {

inline constexpr uid_t kNobody = 65534;

// Whether a child process can become an ordinary user: root in a container may
// be denied changing its identity. Any other user is one already.
inline bool CanBecomeOrdinaryUser() {
  if (::geteuid() != 0) return true;
  const pid_t child = ::fork();
  if (child == 0) std::_Exit(::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 ? 0 : 1);
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

// Leaves this process bound by file modes and the process limit, as any user
// is: root becomes nobody, and `folder` becomes nobody's. For child processes
// only; exits with 2 when it cannot.
inline void AsOrdinaryUser(const std::filesystem::path& folder) {
  if (::geteuid() != 0) return;
  if (::chown(folder.c_str(), kNobody, kNobody) != 0 || ::setgroups(0, nullptr) != 0 ||
      ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
    std::_Exit(2);
  }
}

}  // namespace quillet::testing
