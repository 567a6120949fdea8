// Runs a command and prints its peak resident memory, for machines without GNU time.
//   gw_bench_rusage COMMAND [ARGUMENTS...]
// Prints "peak memory <kilobytes> kB" on stderr after the command ends; exits with its status.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: gw_bench_rusage COMMAND [ARGUMENTS...]\n");
    return 2;
  }
  const pid_t child = ::fork();
  if (child < 0) {
    std::perror("fork");
    return 2;
  }
  if (child == 0) {
    ::execvp(argv[1], argv + 1);
    std::perror(argv[1]);
    ::_exit(127);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
  }
  rusage usage{};
  ::getrusage(RUSAGE_CHILDREN, &usage);
  std::fprintf(stderr, "peak memory %ld kB\n", usage.ru_maxrss);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
