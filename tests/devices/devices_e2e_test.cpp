// The devices seen from outside the program: on every framebuffer layout
// the program reports the size, shows the screen bitmap pixel for pixel in
// the right place without touching bytes outside the picture, leaves that
// bitmap in aaaaa.bmp and gives the terminal back; garbage on the keyboard
// or the mouse neither crashes nor wedges the program.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tools/e2e/bihuarun.h"

namespace {

struct layoutcase {
  const char* name;
  fbformat screen;
};

std::vector<layoutcase> layouts() {
  fbformat swapped = riglayout(800, 600, 32, 3200);
  swapped.red = {0, 8};
  swapped.blue = {16, 8};
  fbformat panned = riglayout(640, 480, 32, (640 + 48) * 4);
  panned.xoffset = 40;
  panned.yoffset = 24;
  fbformat below = riglayout(800, 600, 32, 3200);  // shown from row 600 of the memory
  below.yoffset = 600;
  fbformat panned16 = riglayout(640, 480, 16, 1400);
  panned16.xoffset = 8;
  panned16.yoffset = 3;
  return {
      {"Bits32Plain", riglayout(1920, 1080, 32, 1920 * 4)},
      {"Bits32PaddedLines", riglayout(1366, 768, 32, 1376 * 4)},
      {"Bits32OddWidth", riglayout(1366, 768, 32, 1366 * 4)},
      {"Bits32PannedDown", below},
      {"Rgb565", riglayout(800, 600, 16, 1600)},
      {"Bits24", riglayout(800, 600, 24, 2400)},
      {"Bits24OddWidthPaddedLines", riglayout(1366, 768, 24, 4100)},
      {"Bits32RedBlueSwapped", swapped},
      {"Bits32Panned", panned},
      {"Rgb565PannedPaddedLines", panned16},
  };
}

// Layouts a broken or odd driver can report. Each is refused before
// anything is allocated for it, with exit status 4 and one line naming the
// wrong value; nothing reaches the device and the terminal comes back.
TEST(BrokenLayout, IsRefusedWithOneLineNamingTheWrongValue) {
  struct badcase {
    fbformat screen;
    const char* named;
  };
  fbformat channelwrap = riglayout(800, 600, 32, 3200);
  channelwrap.red = {0xFFFFFFFFu, 8};
  // Built field by field: the rig's own layouts compute w * 4 in int.
  fbformat wide = riglayout(800, 600, 32, 0x7FFFFFFF), widest = wide;
  wide.width = 1 << 29;
  widest.width = 0x7FFFFFFF;
  widest.height = 1;
  fbformat panned = riglayout(800, 600, 32, 3200);
  panned.xoffset = 1;
  fbformat deep = riglayout(800, 600, 32, 3200);
  deep.yoffset = 0x7FFFFFFF;
  const badcase cases[] = {
      {riglayout(800, 600, 32, 3199), "line length 3199 is shorter"},
      {riglayout(800, 600, 32, 0x7FFFFFFF), "line length 2147483647 is too long"},
      {riglayout(0, 600, 32, 3200), "width 0 "},
      {riglayout(800, 0, 32, 3200), "height 0 "},
      {wide, "width 536870912 "},
      {widest, "width 2147483647 "},
      {riglayout(16384, 16384, 32, 16384 * 4), "frame of 268435456 pixels"},
      {channelwrap, "red channel at bit 4294967295"},
      {panned, "line length 3200 is shorter"},
      {deep, "y offset 2147483647"},
  };
  for (const badcase& c : cases) {
    SCOPED_TRACE(c.named);
    rigoptions o;
    o.screen = c.screen;
    bihuarun run;
    run.launch(o);
    ASSERT_TRUE(run.waitexit());
    EXPECT_EQ(run.exitstatus(), 4);
    std::string out = run.output();
    size_t size = out.find('\n');  // the size line comes first
    ASSERT_NE(size, std::string::npos);
    std::string why = out.substr(size + 1);
    EXPECT_EQ(why.find('\n'), why.size() - 1) << out;
    EXPECT_NE(why.find(c.named), std::string::npos) << out;
    EXPECT_EQ(run.pushes(), 0u);
    EXPECT_TRUE(run.terminalrestored());
    EXPECT_EQ(run.errors(), "");
  }
}

void PrintTo(const layoutcase& c, std::ostream* os) { *os << c.name; }

class FramebufferLayout : public ::testing::TestWithParam<layoutcase> {};

TEST_P(FramebufferLayout, ShowsTheBitmapExactlyAndNothingElse) {
  const fbformat& screen = GetParam().screen;
  bihuarun run;
  rigoptions o;
  o.screen = screen;
  ASSERT_TRUE(run.start(o));
  EXPECT_EQ(run.output(), "w and h is " + std::to_string(screen.width) + "," +
                              std::to_string(screen.height) + "\n");
  run.type("hello");
  for (const char* k : {"left", "up", "home", "tab", "backspace", "F3", "ctrl-c"}) run.key(k);
  // The right pane's frame and text reach the last columns of the rows the
  // left pane's frame leaves.
  run.key("esc");
  run.type("world");
  // The cursor drawn on the last columns and taken away again leaves them
  // as they were.
  ASSERT_TRUE(run.settle());
  rigrect edge{screen.width - 24, screen.height / 2 - 24, 24, 48};
  rigimage before = run.frame().crop(edge);
  ASSERT_TRUE(run.moveto(screen.width - 1, screen.height / 2));
  ASSERT_TRUE(run.settle());
  EXPECT_GT(run.frame().crop(edge).count(0xFF0000), 0);
  ASSERT_TRUE(run.moveto(screen.width / 2, screen.height / 2));
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(sameimage(run.frame().crop(edge), before));
  ASSERT_TRUE(run.stop());
  EXPECT_TRUE(run.terminalrestored());

  // aaaaa.bmp holds the last screen pushed, without the mouse cursor. The
  // red cursor shows whether the channels are in their places.
  rigimage bitmap = run.bmp();
  ASSERT_EQ(bitmap.width, screen.width);
  ASSERT_EQ(bitmap.height, screen.height);
  EXPECT_TRUE(sameimage(run.frame(), bihuarun::shown(screen, run.withcursor(bitmap))));

  // Bytes before the first visible pixel and after the last one keep the
  // pattern the device held before the program started.
  std::vector<unsigned char> fb = run.fbbytes();
  size_t first = bihuarun::firstbyte(screen), end = bihuarun::endbyte(screen);
  ASSERT_GE(fb.size(), end);
  size_t touched = 0;
  for (size_t i = 0; i < fb.size(); i++)
    if ((i < first || i >= end) && fb[i] != bihuarun::fillbyte(i)) touched++;
  EXPECT_EQ(touched, 0u);
}

INSTANTIATE_TEST_SUITE_P(Devices, FramebufferLayout, ::testing::ValuesIn(layouts()),
                         [](const ::testing::TestParamInfo<layoutcase>& i) { return i.param.name; });

// Random bytes with no line end (Enter in the command pane would run them
// through the shell) and no tilde (so no F7 or F8 by chance).
std::string randombytes(std::mt19937& rng, int n) {
  std::string s;
  while (static_cast<int>(s.size()) < n) {
    char c = static_cast<char>(rng() & 0xFF);
    if (c != '\r' && c != '\n' && c != '~') s += c;
  }
  return s;
}

TEST(KeyboardGarbage, NeitherCrashesNorWedgesTheProgram) {
  bihuarun run;
  ASSERT_TRUE(run.start(800, 600));
  std::mt19937 rng(20240607);
  for (int i = 0; i < 4; i++) {
    run.type(randombytes(rng, 50));
    ASSERT_TRUE(run.settle());
  }
  // Unknown and malformed sequences, Ctrl-C/Z/\, high bytes, a lone Esc
  // run, a cut-off console F-key at the very end of the input.
  for (const char* s : {"\x1b[1;5A", "\x1b[2~", "\x1b[99~", "\x1b[[Z", "\x1bOZ", "\x1b\x1b\x1b",
                        "\x1b[", "\x1bO", "\x03\x1a\x1c", "\xa1\xa1\xff\x80", "\x1b[[", "\x1b[1"}) {
    run.type(s);
    ASSERT_TRUE(run.settle()) << "after " << s + 1;
  }
  // A burst of keys with no effect drains, and F8 still ends the program.
  std::string burst;
  for (int i = 0; i < 400; i++) burst += "\x1b[20~";
  run.type(burst);
  ASSERT_TRUE(run.settle());
  ASSERT_TRUE(run.stop());
  EXPECT_TRUE(run.terminalrestored());
}

TEST(MouseGarbage, BurstsOfRandomBytesNeitherCrashNorHang) {
  bihuarun run;
  ASSERT_TRUE(run.start(800, 600));
  std::mt19937 rng(99);
  for (int burst = 0; burst < 40; burst++) {
    std::string bytes;
    int n = 1 + rng() % 30;  // odd sizes split packets across reads
    // No left button bit: a random click might land on the F8 button.
    for (int i = 0; i < n; i++) bytes += static_cast<char>(rng() & 0xFE);
    run.mousebytes(bytes);
  }
  run.type("x");
  ASSERT_TRUE(run.settle(300));
  ASSERT_TRUE(run.stop());
  EXPECT_TRUE(run.terminalrestored());
}

}  // namespace
