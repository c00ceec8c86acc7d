// shellcommand: one shell command of the command pane as a child process.
// The shell runs in a process group of its own with standard input from
// /dev/null and standard output and error into a pipe, and inherits no
// other descriptor of the program; the program's own descriptors are never
// touched while it starts. Nothing here waits for a child: ended children
// are reaped without waiting when SIGCHLD wakes the main loop (wakefd), a
// command that is stopped gets SIGTERM (and SIGCONT, should it be stopped)
// to its whole group and, if any of the group is left a second later,
// SIGKILL. Stopping closes the output pipe, so the rest of the output is
// dropped.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <vector>

class shellcommand {
 public:
  // How long a stopped group has to end before it is killed.
  static constexpr int killdelayms = 1000;

  shellcommand() = default;
  shellcommand(const shellcommand&) = delete;
  shellcommand& operator=(const shellcommand&) = delete;
  // Stops what still runs (without waiting).
  ~shellcommand();

  // Starts `sh -c line`. A command still running is stopped first. False
  // (errno set) when no pipe or process could be made.
  bool start(const char* line);
  // Stops the running command and closes its output. False when there
  // was none (neither running nor with output still open).
  bool stop();
  // Whether a command was started and is not yet stopped or both ended
  // and read to its end.
  bool active() const { return pid > 0 || fd >= 0; }
  // Whether its shell has not ended yet.
  bool running() const { return pid > 0; }

  // The read end of the output pipe (non-blocking), -1 when closed.
  int outputfd() const { return fd; }
  // Closes the output: the end was reached, or the output is refused.
  void closeoutput();

  // Reaps ended children and sends the SIGKILLs that are due. True when
  // the current command's shell ended in this call; its status is then in
  // exitstatus (a shell's exit status, or 128 + the signal that ended it).
  bool service();
  int exitstatus = 0;

  // Milliseconds until service() must run again for a SIGKILL that is
  // due, -1 when none is waiting.
  int waitms() const;

  // Readable when a child has ended (SIGCHLD); -1 before the first start.
  static int wakefd();

 private:
  using clock = std::chrono::steady_clock;
  struct stopping {
    pid_t group;
    clock::time_point killat;
    bool reaped;  // the shell itself has been waited for
    bool killed;  // SIGKILL sent (or the group found empty)
  };
  pid_t pid = -1;    // the shell, -1 once reaped or stopped
  pid_t group = -1;  // its process group, kept after the shell is reaped
  int fd = -1;
  std::vector<stopping> stopped;
};
