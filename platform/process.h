// Running another program to its end: an argument vector (no shell, no
// quoting), a working folder, and the reason when it could not be started.
#pragma once

#include <string>
#include <vector>

namespace zor::process {

struct Result {
  bool started = false;
  int exitCode = -1;   // the exit status; 128 + the signal for a program killed by one
  std::string error;   // why it could not be started
};

// Starts argv[0] (a path, not looked up in PATH) with the arguments in `folder`
// and the current environment, and blocks until it ends. Nothing else of the
// calling program runs meanwhile.
Result runAndWait(const std::vector<std::string>& argv, const std::string& folder);

}  // namespace zor::process
