// Running part of a test as a user who cannot create files in a folder of mode 0555.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace gw::testing {

// Runs `job` in a child process as a user who cannot create files in a folder of mode 0555: the
// superuser writes into any folder whatever its mode, so under the superuser the child takes the
// ids of "nobody". The child's exit status: what `job` returned, or 100 and up when the child
// could not start it.
inline int RunWithoutWriteAccessToFolders(const std::function<int()>& job) {
  constexpr uid_t kNobody = 65534;
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
      ::_exit(100);
    }
    ::_exit(job());
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
    return 101;
  }
  return WEXITSTATUS(status);
}

}  // namespace gw::testing
