#pragma once
// Runs zelhost with its stderr on a pseudo-terminal, as a user at a terminal
// would, optionally pressing Ctrl-C once a given text has appeared there.

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "zelhost_runner.h"

namespace e2e {

// As RunResult, `err` being what the terminal showed (stdout stays a file).
struct TerminalRun : RunResult {
  bool interrupted = false;  // the awaited text appeared and SIGINT was sent
};

struct TerminalOptions {
  std::vector<std::string> env;  // extra NAME=VALUE entries
  std::string interruptAfter;    // send SIGINT once the terminal shows this; empty: never
  int timeoutSeconds = 120;
};

inline TerminalRun RunZelhostOnTerminal(const std::vector<std::string>& args, const TerminalOptions& options = {}) {
  TerminalRun run;
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return run;
  const std::string slave = ptsname(master);
  const quorix::test::TempDir dir;
  const std::string out = (dir.Path() / "out").string();
  std::vector<std::string> argv{ZelhostPath()};
  argv.insert(argv.end(), args.begin(), args.end());
  const pid_t pid = Spawn(argv, out, slave, options.env, master);
  if (pid < 0) {
    close(master);
    return run;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
  int wstatus = 0;
  bool exited = false;
  // Reads until the child has exited and the terminal has nothing more to give.
  while (true) {
    pollfd fd{master, POLLIN, 0};
    if (poll(&fd, 1, 20) > 0 && (fd.revents & POLLIN) != 0) {
      char buffer[4096];
      const ssize_t got = read(master, buffer, sizeof buffer);
      if (got > 0) run.err.append(buffer, static_cast<size_t>(got));
      if (got > 0) continue;
    }
    if (!run.interrupted && !options.interruptAfter.empty() &&
        run.err.find(options.interruptAfter) != std::string::npos) {
      kill(pid, SIGINT);
      run.interrupted = true;
    }
    if (exited) break;
    exited = Ended(pid, wstatus, deadline, run.timedOut);
  }
  close(master);
  run.status = ExitStatus(wstatus);
  run.out = quorix::test::ReadBytes(out);
  return run;
}

}  // namespace e2e
