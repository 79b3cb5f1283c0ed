#include "richtext/formats/helper_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace quillet {
namespace {

constexpr std::size_t kKeptOutput = 16 * 1024;
constexpr int kPollMilliseconds = 100;
constexpr std::size_t kMessageLines = 4;
constexpr std::size_t kMessageLineLength = 300;

// Both ends of a pipe, closed when it goes.
struct Pipe {
  int read = -1;
  int write = -1;
  ~Pipe() {
    if (read >= 0) close(read);
    if (write >= 0) close(write);
  }
};

// What a spawned helper needs from the parent: its standard input from /dev/null,
// its output and errors into the pipe, a process group of its own, default signals.
class SpawnSetup {
 public:
  explicit SpawnSetup(int output) {
    posix_spawn_file_actions_init(&actions_);
    posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions_, output, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions_, output, STDERR_FILENO);
    posix_spawnattr_init(&attributes_);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes_, &signals);
    sigfillset(&signals);
    posix_spawnattr_setsigdefault(&attributes_, &signals);
    posix_spawnattr_setpgroup(&attributes_, 0);
    posix_spawnattr_setflags(
        &attributes_, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  const posix_spawn_file_actions_t* actions() const { return &actions_; }
  const posix_spawnattr_t* attributes() const { return &attributes_; }

 private:
  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
};

// Reads what is there without waiting; false at the end of the output.
bool Drain(int fd, std::string& kept) {
  char buffer[4096];
  while (true) {
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count > 0) {
      const std::size_t room = kKeptOutput - std::min(kKeptOutput, kept.size());
      kept.append(buffer, std::min(room, static_cast<std::size_t>(count)));
      continue;
    }
    if (count < 0 && errno == EINTR) continue;
    return count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
  }
}

// True once the helper has ended, leaving it unreaped so that its group still exists.
bool HasEnded(pid_t pid) {
  siginfo_t info{};
  return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
         info.si_pid == pid;
}

// Kills what is left of the helper's group, then reaps the helper; its exit code.
int Finish(pid_t pid) {
  kill(-pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : 1;
}

}  // namespace

PrivateFolder::PrivateFolder() {
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  if (error) return;
  std::string name = (base / "quillet-XXXXXX").string();
  if (mkdtemp(name.data()) != nullptr) path_ = name;
}

PrivateFolder::~PrivateFolder() {
  std::error_code ignored;
  if (ok()) std::filesystem::remove_all(path_, ignored);
}

std::optional<std::string> FindProgram(std::string_view program, std::string_view search_path) {
  if (search_path.empty()) {
    const char* path = std::getenv("PATH");
    search_path = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
  }
  while (true) {
    const std::size_t colon = search_path.find(':');
    const std::string_view folder = search_path.substr(0, colon);
    if (!folder.empty()) {
      std::string candidate = std::string(folder) + "/" + std::string(program);
      struct stat info;
      if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
          access(candidate.c_str(), X_OK) == 0) {
        return candidate;
      }
    }
    if (colon == std::string_view::npos) return std::nullopt;
    search_path.remove_prefix(colon + 1);
  }
}

namespace {

// This process's environment, with the temporary folder replaced when one is given.
std::vector<std::string> HelperEnvironment(const std::string& tempFolder) {
  std::vector<std::string> environment;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    const std::string_view entry(*variable);
    const bool temp =
        entry.starts_with("TMPDIR=") || entry.starts_with("TMP=") || entry.starts_with("TEMP=");
    if (!temp || tempFolder.empty()) environment.emplace_back(entry);
  }
  if (!tempFolder.empty()) {
    for (const char* name : {"TMPDIR=", "TMP=", "TEMP="}) {
      environment.push_back(name + tempFolder);
    }
  }
  return environment;
}

}  // namespace

HelperOutcome RunHelper(const HelperRun& run) {
  HelperOutcome outcome;
  Pipe pipe;
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) {
    outcome.end = HelperEnd::kNotStarted;
    return outcome;
  }
  pipe.read = ends[0];
  pipe.write = ends[1];
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(run.program.c_str()));
  for (const std::string& argument : run.arguments)
    argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  std::vector<std::string> environment = HelperEnvironment(run.temp_folder);
  std::vector<char*> envp;
  for (std::string& variable : environment) envp.push_back(variable.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  {
    const SpawnSetup setup(pipe.write);
    if (posix_spawn(&pid, run.program.c_str(), setup.actions(), setup.attributes(), argv.data(),
                    envp.data()) != 0) {
      outcome.end = HelperEnd::kNotStarted;
      return outcome;
    }
  }
  close(pipe.write);
  pipe.write = -1;
  fcntl(pipe.read, F_SETFL, O_NONBLOCK);
  const auto deadline = std::chrono::steady_clock::now() + run.timeout;
  bool output_open = true;
  while (!HasEnded(pid)) {
    if (run.cancelled && run.cancelled()) {
      outcome.end = HelperEnd::kCancelled;
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      outcome.end = HelperEnd::kTimedOut;
      break;
    }
    pollfd wait_for{pipe.read, POLLIN, 0};
    poll(&wait_for, output_open ? 1 : 0, kPollMilliseconds);
    if (output_open) output_open = Drain(pipe.read, outcome.output);
  }
  outcome.exit_code = Finish(pid);
  Drain(pipe.read, outcome.output);
  return outcome;
}

std::string FirstLines(std::string_view output) {
  std::string lines;
  std::size_t count = 0;
  while (!output.empty() && count < kMessageLines) {
    const std::size_t end = output.find('\n');
    std::string_view line = output.substr(0, end);
    output = end == std::string_view::npos ? std::string_view() : output.substr(end + 1);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    // LibreOffice says this on every run, whatever happens.
    if (line.empty() || line.find("javaldx") != std::string_view::npos) continue;
    if (!lines.empty()) lines += " | ";
    lines += line.substr(0, kMessageLineLength);
    ++count;
  }
  return lines;
}

}  // namespace quillet
