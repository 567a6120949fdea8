// Running part of a test as a user who cannot create files in a folder of mode 0555.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace gw::testing {

// Starts `job` in a child process as a user who cannot create files in a folder of mode 0555:
// the superuser writes into any folder whatever its mode, so under the superuser the child takes
// the ids of "nobody". The child exits with what `job` returns, or with 100 when it could not
// drop its privileges.
inline pid_t StartWithoutWriteAccessToFolders(const std::function<int()>& job) {
  constexpr uid_t kNobody = 65534;
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
      ::_exit(100);
    }
    ::_exit(job());
  }
  return child;
}

// The exit status of a child started above; 101 when it did not end normally.
inline int ExitStatusOf(pid_t child) {
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
    return 101;
  }
  return WEXITSTATUS(status);
}

// Runs `job` as above and waits for it: its exit status.
inline int RunWithoutWriteAccessToFolders(const std::function<int()>& job) {
  return ExitStatusOf(StartWithoutWriteAccessToFolders(job));
}

}  // namespace gw::testing
