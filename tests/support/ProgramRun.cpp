#include "ProgramRun.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
bool stillOpen(int a, int b) { return a >= 0 || b >= 0; }
}  // namespace

ProgramRun runProgram(std::vector<std::string> args, const Watch& watch, std::chrono::seconds limit) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1), dup2(err[1], 2);
    close(out[0]), close(err[0]), close(out[1]), close(err[1]);
    // An ignored signal stays ignored across exec: the program gets the
    // dispositions a user's shell gives it, whatever this process ignores.
    signal(SIGPIPE, SIG_DFL);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]), close(err[1]);
  ProgramRun run;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (int open = 2; open > 0 && std::chrono::steady_clock::now() < deadline;) {
    pollfd fds[] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    if (poll(fds, 2, 1000) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (!fds[i].revents) continue;
      char buffer[4096];
      const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n <= 0) {
        close(fds[i].fd);
        (i ? err : out)[0] = -1, --open;
        continue;
      }
      (i ? run.err : run.out).append(buffer, static_cast<std::size_t>(n));
      if (watch) watch(pid, run.err);
    }
  }
  if (stillOpen(out[0], err[0])) kill(pid, SIGKILL);
  for (int fd : {out[0], err[0]})
    if (fd >= 0) close(fd);
  int status = 0;
  waitpid(pid, &status, 0);
  run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}
