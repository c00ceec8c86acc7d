// The status line: its two halves, cutting long texts, painting the bar.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/globals.h"
#include "tests/views/viewtest.h"
#include "views/mybutton.h"
#include "views/selectview.h"
#include "views/statusbar.h"

namespace {

TEST(StatusLine, HalvesAreJoinedByTheSeparatorAndCutAt500Bytes) {
  dispmsg("");
  dispmsg1("");
  EXPECT_STREQ(statusline(), "  |  ");
  std::snprintf(publicbuffer, publicbuffersize, "read %d bytes", 5);
  dispmsg1(publicbuffer);
  EXPECT_STREQ(statusline(), "  |  read 5 bytes");
  dispmsg("ed.txt");
  EXPECT_STREQ(statusline(), "ed.txt  |  read 5 bytes");

  std::string(9999, 'b').copy(publicbuffer, 10000);
  publicbuffer[9999] = 0;
  dispmsg1(publicbuffer);
  dispmsg(std::string(500, 'a').c_str());
  EXPECT_EQ(std::string(statusline()), std::string(500, 'a') + "  |  " + std::string(500, 'b'));
  dispmsg1("");
  EXPECT_EQ(std::string(statusline()), std::string(500, 'a') + "  |  ");
}

// A GBK pair across the 500th byte goes whole or not at all; so do the
// labels of buttons (49 bytes) and options (9).
TEST(StatusLine, CutsNeverSplitAPair) {
  const std::string zhe = "\xDF\x40";  // 這: its trail is '@'
  dispmsg1("");
  dispmsg((std::string(499, 'a') + zhe).c_str());
  EXPECT_EQ(std::string(statusline()), std::string(499, 'a') + "  |  ");
  dispmsg((std::string(498, 'a') + zhe + "b").c_str());
  EXPECT_EQ(std::string(statusline()), std::string(498, 'a') + zhe + "  |  ");
  dispmsg(("\x81" + std::string(498, 'a') + zhe).c_str());  // a stray byte is one byte
  EXPECT_EQ(std::string(statusline()), "\x81" + std::string(498, 'a') + "  |  ");

  mybutton m;
  m.addtext((std::string(48, 'a') + zhe).c_str());
  EXPECT_EQ(std::string(m.text), std::string(48, 'a'));
  selectview box;
  box.setselects((std::string(8, 'a') + zhe).c_str(), (std::string(7, 'a') + zhe).c_str(),
                 nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(std::string(box.items[0]), std::string(8, 'a'));
  EXPECT_EQ(std::string(box.items[1]), std::string(7, 'a') + zhe);
}

TEST(StatusLine, PaintsTheBarTheSameEachTime) {
  screen s(800, 60);
  myview bar(0, 0, 800, 30);
  statebar = &bar;
  dispmsg1("open file ed.txt");
  paintstatus();
  EXPECT_EQ(s.at(400, 0), yellow);
  EXPECT_EQ(s.at(400, 30), yellow);
  EXPECT_GT(s.count(black, 0, 1, 799, 25), 100);
  EXPECT_EQ(s.count(black, 0, 26, 799, 59), 0);
  auto first = s.pixels();
  dispmsg1("open file ed.txt");
  paintstatus();
  EXPECT_EQ(s.pixels(), first);
  statebar = nullptr;
}

}  // namespace
