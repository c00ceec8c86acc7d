// The command pane's child process: starting the shell with posix_spawn,
// the SIGCHLD self-pipe, reaping without waiting and the staged stop of a
// whole process group.
#include "app/shellcmd.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

extern char** environ;

namespace {

int childwake[2] = {-1, -1};

void childended(int) {
  int saved = errno;
  char b = 1;
  ssize_t r = write(childwake[1], &b, 1);
  (void)r;
  errno = saved;
}

// The self-pipe and the SIGCHLD handler, once for the process.
void catchchildren() {
  if (childwake[0] >= 0) return;
  if (pipe2(childwake, O_NONBLOCK | O_CLOEXEC) != 0) {
    childwake[0] = childwake[1] = -1;
    return;
  }
  struct sigaction act = {};
  act.sa_handler = childended;
  act.sa_flags = SA_RESTART | SA_NOCLDSTOP;
  sigfillset(&act.sa_mask);
  sigaction(SIGCHLD, &act, nullptr);
}

void drainwake() {
  char buf[64];
  if (childwake[0] >= 0)
    while (read(childwake[0], buf, sizeof buf) > 0) {
    }
}

// A descriptor moved to 3 or above (close-on-exec), so that the child's
// dup2 onto 0, 1 or 2 never meets the descriptor itself.
int abovestdio(int fd) {
  if (fd > 2) return fd;
  int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
  close(fd);
  return moved;
}

int statusof(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

// sh -c line in a new process group: stdin /dev/null, stdout and stderr
// into out, every other descriptor closed, signals at their defaults and
// none blocked. The caller's descriptors stay as they are.
int spawnshell(const char* line, int out, pid_t& pid) {
  posix_spawn_file_actions_t files;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&files);
  posix_spawnattr_init(&attr);
  posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&files, out, 1);
  posix_spawn_file_actions_adddup2(&files, out, 2);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
  posix_spawn_file_actions_addclosefrom_np(&files, 3);
#endif
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setflags(&attr,
                           POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setsigmask(&attr, &none);
  char sh[] = "sh", dashc[] = "-c";
  char* argv[] = {sh, dashc, const_cast<char*>(line), nullptr};
  int r = posix_spawn(&pid, "/bin/sh", &files, &attr, argv, environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&files);
  return r;
}

}  // namespace

shellcommand::~shellcommand() { stop(); }

int shellcommand::wakefd() { return childwake[0]; }

bool shellcommand::start(const char* line) {
  stop();
  catchchildren();
  int p[2];
  if (pipe2(p, O_CLOEXEC) != 0) return false;
  p[0] = abovestdio(p[0]);
  p[1] = abovestdio(p[1]);
  if (p[0] < 0 || p[1] < 0) {
    int e = errno;
    if (p[0] >= 0) close(p[0]);
    if (p[1] >= 0) close(p[1]);
    errno = e;
    return false;
  }
  pid_t child = -1;
  int r = spawnshell(line, p[1], child);
  close(p[1]);
  if (r != 0) {
    close(p[0]);
    errno = r;
    return false;
  }
  fcntl(p[0], F_SETFL, fcntl(p[0], F_GETFL) | O_NONBLOCK);
  pid = group = child;
  fd = p[0];
  exitstatus = 0;
  return true;
}

bool shellcommand::stop() {
  bool was = active();
  closeoutput();
  // A shell already reaped may have left members of its group behind.
  bool left = group > 0 && (pid > 0 || kill(-group, 0) == 0);
  if (left) {
    kill(-group, SIGTERM);
    kill(-group, SIGCONT);  // a stopped member would never see the SIGTERM
    stopped.push_back(
        {group, clock::now() + std::chrono::milliseconds(killdelayms), pid <= 0, false});
  }
  pid = group = -1;
  return was;
}

void shellcommand::closeoutput() {
  if (fd >= 0) close(fd);
  fd = -1;
}

bool shellcommand::service() {
  drainwake();
  bool ended = false;
  int status = 0;
  if (pid > 0) {
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid || (r < 0 && errno == ECHILD)) {
      exitstatus = r == pid ? statusof(status) : -1;
      pid = -1;
      ended = true;
    }
  }
  auto now = clock::now();
  for (stopping& s : stopped) {
    if (!s.reaped && waitpid(s.group, &status, WNOHANG) != 0) s.reaped = true;
    if (!s.killed && now >= s.killat) {
      kill(-s.group, SIGKILL);
      s.killed = true;
    }
    // Nothing of the group is left: no SIGKILL needed.
    if (!s.killed && s.reaped && kill(-s.group, 0) != 0) s.killed = true;
  }
  stopped.erase(std::remove_if(stopped.begin(), stopped.end(),
                               [](const stopping& s) { return s.reaped && s.killed; }),
                stopped.end());
  return ended;
}

int shellcommand::waitms() const {
  int wait = -1;
  auto now = clock::now();
  for (const stopping& s : stopped) {
    if (s.killed) continue;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(s.killat - now).count();
    int ms = left < 0 ? 0 : static_cast<int>(left) + 1;
    if (wait < 0 || ms < wait) wait = ms;
  }
  return wait;
}
