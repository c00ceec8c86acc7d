// The rig's own pieces where a fault would silently weaken every
// end-to-end test: the key count settle() waits for, picture comparison,
// and the preload library's device mapping and push counter. (Reading the
// program's BMP back is exercised by every end-to-end run that compares
// aaaaa.bmp with the screen.)
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tools/e2e/rigimage.h"
#include "tools/e2e/rigkeys.h"

namespace {

termios consolemode(bool ixon) {
  termios t{};
  t.c_iflag = ICRNL | (ixon ? IXON : 0);
  t.c_cc[VSTART] = 0x11;
  t.c_cc[VSTOP] = 0x13;
  return t;
}

TEST(RigKeys, CountsKeyValuesAsTheReaderSplitsThem) {
  termios t = consolemode(true);
  for (const char* name : {"F1", "F5", "F6", "F8", "up", "home", "delete", "esc", "enter", "ctrl-c",
                           "xterm-F2", "insert"})
    EXPECT_EQ(keycount(keybytes(name), t), 1) << name;
  EXPECT_EQ(keycount("abc", t), 3);
  EXPECT_EQ(keycount("\x1bx", t), 2);               // Alt-x: Esc, then x
  EXPECT_EQ(keycount("\x1b[1;5A", t), 6);           // unknown: Esc and five bytes
  EXPECT_EQ(keycount(std::string("a\0b", 3), t), 2);  // NUL is no key
  EXPECT_EQ(keycount("\x1b[[", t), 1);              // cut-off console F-key
  EXPECT_EQ(keycount("\x1b[20~\x1b[19~", t), 2);
}

TEST(RigKeys, FlowControlBytesNeverReachTheProgram) {
  EXPECT_EQ(keycount("a\x13" "b\x11", consolemode(true)), 2);
  EXPECT_EQ(keycount("a\x13" "b\x11", consolemode(false)), 4);
  EXPECT_THROW(keybytes("F13"), std::invalid_argument);
}

TEST(RigImage, ReferencePicturesRoundTripThroughPng) {
  rigimage img(7, 4, 0xFFFF00);
  img.at(0, 0) = 0x123456;
  img.at(6, 3) = 0xFF0000;
  std::string png = testing::TempDir() + std::to_string(getpid()) + "-rig_reference.png";
  ASSERT_TRUE(img.savepng(png));
  EXPECT_TRUE(sameimage(rigimage::loadpng(png), img));
  EXPECT_TRUE(matchesreference(img, png));
  rigimage changed = img;
  changed.at(3, 2) = 0;
  EXPECT_FALSE(matchesreference(changed, png));
  EXPECT_TRUE(matchesreference(changed, png, {{3, 2, 1, 1}}));
  std::remove(png.c_str());
  std::remove((testing::TempDir() + std::to_string(getpid()) + "-rig_reference-actual.png").c_str());
}

// Runs a shell line with the preload library and the given variables.
std::string underrig(const std::string& vars, const std::string& line) {
  std::string cmd = vars + " LD_PRELOAD=" FBRIG_LIBRARY " sh -c '" + line + "' 2>&1";
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[256];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

TEST(FbRig, MapsEverySpellingOfTheDevicesToStandIns) {
  // Names of this process's own: another run of this test may be going on.
  std::string dir = testing::TempDir() + std::to_string(getpid()) + "-";
  std::string clip = dir + "rig_clip.txt", fb = dir + "rig_fb", count = dir + "rig_count";
  std::ofstream(clip) << "clip";
  std::ofstream(count, std::ios::binary) << std::string(8, '\0');
  std::string vars = "FBRIG_CLIP=" + clip + " FBRIG_FB=" + fb + " FBRIG_COUNT=" + count;
  EXPECT_EQ(underrig(vars, "cat //tmp//clip.txt /tmp/./clip.txt /dev/../tmp/clip.txt"),
            "clipclipclip");
  EXPECT_EQ(underrig("FBRIG_CLIP=", "cat /tmp/clip.txt 2>/dev/null || echo missing"), "missing\n");
  EXPECT_EQ(underrig("", "{ echo x >/dev/fb0; } 2>/dev/null || echo missing"), "missing\n");

  // Each write to the framebuffer is one push; other writes are not.
  EXPECT_EQ(underrig(vars, "printf ab >/dev/fb0; printf cd >/dev//fb0; printf ef"), "ef");
  std::ifstream in(count, std::ios::binary);
  uint64_t pushes = 0;
  in.read(reinterpret_cast<char*>(&pushes), sizeof pushes);
  EXPECT_EQ(pushes, 2u);
  std::ifstream f(fb);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>()), "cd");
  for (const std::string& p : {clip, fb, count}) std::remove(p.c_str());
}

// With room for all five counters the library also counts the bytes the
// program (the process that opened the framebuffer) reads from its terminal.
TEST(FbRig, CountsTheBytesReadFromTheTerminal) {
  std::string dir = testing::TempDir() + std::to_string(getpid()) + "-";
  std::string fb = dir + "rig_fb4", count = dir + "rig_count4";
  std::ofstream(count, std::ios::binary) << std::string(40, '\0');
  std::string cmd = "printf 'hello\\nxyz' | FBRIG_FB=" + fb + " FBRIG_COUNT=" + count +
                    " LD_PRELOAD=" FBRIG_LIBRARY " sh -c 'exec 3>/dev/fb0; read x; cat >/dev/null'";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  std::ifstream in(count, std::ios::binary);
  uint64_t counters[5] = {};
  in.read(reinterpret_cast<char*>(counters), sizeof counters);
  EXPECT_EQ(counters[3], 6u);  // "hello\n"; the "xyz" went to cat, which has no framebuffer
  for (const std::string& p : {fb, count}) std::remove(p.c_str());
}

}  // namespace
