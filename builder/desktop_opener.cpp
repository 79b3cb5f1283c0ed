#include "builder/desktop_opener.h"

#ifdef _WIN32
#include <shellapi.h>
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace quillet {

#ifdef _WIN32

void DesktopOpener::Open(const std::string& path) {
  ShellExecuteA(nullptr, "open", path.c_str(), "", nullptr, SW_SHOWNORMAL);
}

#else

void DesktopOpener::Open(const std::string& path) {
#ifdef __APPLE__
  const char* program = "open";
#else
  const char* program = "xdg-open";
#endif
  // Two forks, so the viewer is not our child and we need not wait for it.
  const pid_t child = fork();
  if (child < 0) return;
  if (child == 0) {
    if (fork() == 0) {
      execlp(program, program, path.c_str(), static_cast<char*>(nullptr));
    }
    _exit(0);
  }
  waitpid(child, nullptr, 0);
}

#endif

}  // namespace quillet
