// The key decoder: every named key value, escape-sequence length rules,
// incomplete and unknown sequences, Alt-x, and a full buffer; the terminal
// owner on a pseudo-terminal: raw mode and signal handlers, and both given
// back when it goes.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "devices/keydecoder.h"
#include "devices/mykbhit.h"

namespace {

// Decodes a byte string the way successive polls would, one key per call.
class Decoder : public ::testing::Test {
 protected:
  std::vector<keyvalue> keys(const std::string& bytes) {
    kb.feed(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    std::vector<keyvalue> out;
    while (kb.pendlen > 0) out.push_back(kb.next());
    return out;
  }
  keydecoder kb;
};

TEST_F(Decoder, EveryNamedKeyDecodesAndIsNamed) {
  const struct {
    const char* bytes;
    keyvalue value;
    const char* name;
  } table[] = {
      {"\t", 9, "Tab"}, {"\n", 10, "enter"}, {"\x1b", 27, "esc"}, {"\x7f", 127, "backspace"},
      {"\x1b[A", 0x415B1B, "up"}, {"\x1b[B", 0x425B1B, "down"}, {"\x1b[C", 0x435B1B, "right"},
      {"\x1b[D", 0x445B1B, "left"}, {"\x1b[F", 0x465B1B, "end"}, {"\x1b[4~", 0x7E345B1B, "end"},
      {"\x1b[H", 0x485B1B, "home"}, {"\x1b[1~", 0x7E315B1B, "home"},
      {"\x1b[3~", 0x7E335B1B, "Delete"}, {"\x1b[5~", 0x7E355B1B, "pgup"},
      {"\x1b[6~", 0x7E365B1B, "pgdown"}, {"\x1bOP", 0x504F1B, "F1"},
      {"\x1b[[A", 0x415B5B1B, "F1"}, {"\x1bOQ", 0x514F1B, "F2"}, {"\x1b[[B", 0x425B5B1B, "F2"},
      {"\x1bOR", 0x524F1B, "F3"}, {"\x1b[[C", 0x435B5B1B, "F3"}, {"\x1bOS", 0x534F1B, "F4"},
      {"\x1b[[D", 0x445B5B1B, "F4"}, {"\x1b[[E", 0x455B5B1B, "F5"},
      {"\x1b[15~", 0x7E35315B1B, "F5"}, {"\x1b[17~", 0x7E37315B1B, "F6"},
      {"\x1b[18~", 0x7E38315B1B, "F7"}, {"\x1b[19~", 0x7E39315B1B, "F8"},
      {"\x01", 1, "Ctrl-A"}, {"\x03", 3, "Ctrl-C"}, {"\x1a", 26, "Ctrl-Z"}, {"a", 0x61, "a"},
  };
  for (const auto& k : table) {
    EXPECT_EQ(keys(k.bytes), std::vector<keyvalue>{k.value}) << k.name;
    EXPECT_STREQ(keyname(k.value), k.name);
  }
  EXPECT_EQ(keyF7, 0x7E38315B1Bu);
  EXPECT_EQ(keyF8, 0x7E39315B1Bu);
  EXPECT_STREQ(keyname(0), "");
  EXPECT_STREQ(keyname(0x7E30325B1B), "F9");
  EXPECT_STREQ(keyname(0x7E375B1B), "\x1b");  // decodes but has no name
  // Every form in the table decodes to one key of that name.
  for (const keyform& f : keyforms) {
    EXPECT_EQ(keys(f.bytes), std::vector<keyvalue>{packkey(f.bytes)}) << f.name;
    EXPECT_EQ(keyof(packkey(f.bytes)), f.id) << f.name;
  }
  EXPECT_EQ(keyof('a'), key::none);
}

TEST_F(Decoder, SequencesSplitIntoKeysOnePerPoll) {
  const std::pair<const char*, std::vector<keyvalue>> cases[] = {
      {"ab", {0x61, 0x62}},
      {"\xb0\xa1", {0xB0, 0xA1}},
      {"\x1b[20~", {0x7E30325B1B}},  // F9
      {"\x1b[2~", {0x7E325B1B}},     // Insert
      {"\x1bx", {27, 'x'}},          // Alt-x
      // Ctrl+Up is not a recognised form: ESC, then its bytes one by one.
      {"\x1b[1;5A", {27, '[', '1', ';', '5', 'A'}},
      {"\x1b[A\x1b[19~q", {0x415B1B, keyF8, 'q'}},
      // Esc read together with the sequence behind it: both keys.
      {"\x1b\x1b[4~", {27, 0x7E345B1B}},
      {"\x1b\x1b[A", {27, 0x415B1B}},
      {"\x1b\x1b[[E", {27, 0x455B5B1B}},
      // Incomplete sequences are not waited for.
      {"\x1b[", {27, '['}},
      {"\x1b[1", {27, '[', '1'}},
      // A console F-key cut off after ESC [ [ takes no more than is there.
      {"\x1b[[", {0x5B5B1B}},
      {"ab", {'a', 'b'}},
  };
  for (const auto& c : cases) EXPECT_EQ(keys(c.first), c.second) << c.first + 1;
  // NUL bytes (Ctrl-Space) are skipped: the key behind them comes out of
  // the same poll, and NULs alone leave nothing pending.
  EXPECT_EQ(keys(std::string("\0\0a\0\x1b[A", 7)), (std::vector<keyvalue>{'a', 0x415B1B}));
  EXPECT_EQ(keys(std::string("\0", 1)), (std::vector<keyvalue>{0}));
  EXPECT_EQ(kb.pendlen, 0);
  // Stale bytes behind the pending ones never complete a sequence.
  keys("\x1b[19~");
  EXPECT_EQ(keys("\x1b[1"), (std::vector<keyvalue>{27, '[', '1'}));
}

TEST_F(Decoder, FullBufferTakesNoMore) {
  std::string lots(keydecoder::pendsize + 50, 'z');
  int taken = kb.feed(reinterpret_cast<const unsigned char*>(lots.data()),
                      static_cast<int>(lots.size()));
  EXPECT_EQ(taken, keydecoder::pendsize);
  EXPECT_EQ(kb.feed(reinterpret_cast<const unsigned char*>("x"), 1), 0);
  // An escape sequence at the very end of a full buffer decodes in bounds.
  kb.pendlen = keydecoder::pendsize - 2;
  kb.pendbuf[kb.pendlen - 1] = 27;
  keyvalue last = 0;
  int n = 0;
  for (; kb.pendlen > 0; n++) last = kb.next();
  EXPECT_EQ(n, keydecoder::pendsize - 2);
  EXPECT_EQ(last, 27);
}

}  // namespace

// The preload library comes ahead of the sanitizer runtime in this process.
extern "C" const char* __asan_default_options() { return "verify_asan_link_order=0"; }

namespace {

void marker(int) {}

sighandler_t handlerof(int sig) {
  struct sigaction now = {};
  sigaction(sig, nullptr, &now);
  return now.sa_handler;
}

// A pseudo-terminal stands in for standard input and output, so the
// developer's own terminal is never touched.
class Terminal : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    fflush(stdout);
    savedin = dup(0);
    savedout = dup(1);
    dup2(slave, 0);
    dup2(slave, 1);
  }
  void TearDown() override {
    dup2(savedin, 0);
    dup2(savedout, 1);
    for (int fd : {savedin, savedout, slave, master}) close(fd);
  }
  std::string shown() {
    char buf[100];
    ssize_t n = read(master, buf, sizeof buf);
    return n > 0 ? std::string(buf, n) : "";
  }
  int master = -1, slave = -1, savedin = -1, savedout = -1;
};

TEST_F(Terminal, RawAndCaughtWhileTheReaderLivesThenGivenBack) {
  termios before{};
  ASSERT_EQ(tcgetattr(slave, &before), 0);
  struct sigaction mine = {}, old = {};
  mine.sa_handler = marker;
  sigaction(SIGTERM, &mine, &old);
  sighandler_t hup = handlerof(SIGHUP), intr = handlerof(SIGINT);
  {
    mykbhit kb;
    termios during{};
    tcgetattr(slave, &during);
    EXPECT_EQ(during.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(during.c_iflag & (IXON | IXOFF), 0u);  // Ctrl-S, Ctrl-Q are keys
    EXPECT_EQ(shown(), "\033[?25l");  // the cursor hidden
    EXPECT_NE(handlerof(SIGTERM), marker);
    EXPECT_NE(handlerof(SIGHUP), hup);
    EXPECT_NE(handlerof(SIGINT), intr);
    ASSERT_EQ(write(master, "\x1b[19~q", 6), 6);
    keyvalue k = 0;
    for (int i = 0; i < 1000 && !k; i++) {
      k = kb.kbhit();
      if (!k) usleep(1000);
    }
    EXPECT_EQ(k, keyF8);
    EXPECT_EQ(kb.kbhit(), keyvalue('q'));
    EXPECT_EQ(kb.kbhit(), 0u);
  }
  termios after{};
  tcgetattr(slave, &after);
  EXPECT_EQ(after.c_lflag, before.c_lflag);
  EXPECT_EQ(after.c_iflag, before.c_iflag);
  EXPECT_EQ(after.c_cc[VMIN], before.c_cc[VMIN]);
  EXPECT_EQ(shown(), "\033[?25h");
  EXPECT_EQ(handlerof(SIGTERM), marker);
  EXPECT_EQ(handlerof(SIGHUP), hup);
  EXPECT_EQ(handlerof(SIGINT), intr);
  sigaction(SIGTERM, &old, nullptr);
  // Gone readers leave the terminal alone.
  mykbhit::restoreterminal();
  termios later{};
  tcgetattr(slave, &later);
  EXPECT_EQ(later.c_lflag, after.c_lflag);
}

}  // namespace

namespace {

// An exception nobody catches gives the terminal back before the abort,
// and says what it was on standard error.
TEST(Console, AnUncaughtExceptionGivesTheTerminalBack) {
  int master = -1, slave = -1, errpipe[2];
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  ASSERT_EQ(pipe(errpipe), 0);
  termios before{};
  tcgetattr(slave, &before);
  pid_t child = fork();
  if (child == 0) {
    dup2(slave, 0);
    dup2(slave, 1);
    dup2(errpipe[1], 2);
    mykbhit kb;
    // Out of reach of the test framework's own catch.
    void (*volatile thrower)() = [] { throw std::bad_alloc(); };
    [&]() noexcept { thrower(); }();
    _exit(0);
  }
  close(errpipe[1]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT) << status;
  termios after{};
  tcgetattr(slave, &after);
  EXPECT_EQ(after.c_lflag, before.c_lflag);
  char buf[200] = {};
  ssize_t n = read(errpipe[0], buf, sizeof buf - 1);
  EXPECT_GT(n, 0);
  EXPECT_NE(std::string(buf).find("uncaught exception: std::bad_alloc"), std::string::npos) << buf;
  fcntl(master, F_SETFL, O_NONBLOCK);
  std::string shown;
  char out[100];
  for (ssize_t k; (k = read(master, out, sizeof out)) > 0 && shown.size() < 1000;) {
    shown.append(out, k);
    if (shown.find("\033[?25h") != std::string::npos) break;
  }
  EXPECT_NE(shown.find("\033[?25h"), std::string::npos);
  for (int fd : {master, slave, errpipe[0]}) close(fd);
}

}  // namespace
