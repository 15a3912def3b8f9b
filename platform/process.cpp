#include "platform/process.h"

#include <fcntl.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zor::process {

namespace {

// What the child reports through the pipe before it would have run the program.
struct ChildFailure {
  int stage;  // 1 entering the folder, 2 starting the program
  int error;
};

}  // namespace

Result runAndWait(const std::vector<std::string>& argv, const std::string& folder) {
  Result result;
  if (argv.empty() || argv[0].empty()) {
    result.error = "no program named";
    return result;
  }
  // Everything the child needs is made before fork: only async-signal-safe calls follow there.
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const char* dir = folder.empty() ? nullptr : folder.c_str();

  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) {
    result.error = std::strerror(errno);
    return result;
  }
  const pid_t pid = ::fork();
  if (pid < 0) {
    result.error = std::strerror(errno);
    ::close(report[0]);
    ::close(report[1]);
    return result;
  }
  if (pid == 0) {
    ChildFailure failure{1, 0};
    if (!dir || ::chdir(dir) == 0) {
      failure.stage = 2;
      ::execv(args[0], args.data());
    }
    failure.error = errno;
    ssize_t ignored = ::write(report[1], &failure, sizeof failure);
    (void)ignored;
    ::_exit(127);
  }
  ::close(report[1]);
  ChildFailure failure{0, 0};
  ssize_t got = 0;
  do {
    got = ::read(report[0], &failure, sizeof failure);
  } while (got < 0 && errno == EINTR);
  ::close(report[0]);

  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (got == static_cast<ssize_t>(sizeof failure)) {
    result.error = std::string(failure.stage == 1 ? "cannot enter the folder " + folder + ": " : "") +
                   std::strerror(failure.error);
    return result;
  }
  result.started = true;
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  else if (WIFSIGNALED(status)) result.exitCode = 128 + WTERMSIG(status);
  return result;
}

}  // namespace zor::process
