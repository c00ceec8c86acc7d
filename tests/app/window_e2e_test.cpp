// The application window seen from outside: the cross follows the mouse
// without losing motion, clicks on the function-key bar flash a button and
// are echoed on the status line, the F8 button ends the program, keys are
// echoed, and Esc redraws the whole screen. Garbage from the mouse is
// tried in devices_e2e_test.cpp.
#include <gtest/gtest.h>

#include <string>

#include "tools/e2e/bihuarun.h"
#include "views/mybutton.h"
#include "views/myview.h"
#include "views/statusbar.h"
#include "app/globals.h"

namespace {

const uint32_t red = 0xFF0000, yellow = 0xFFFF00;

// The status bar as the program must paint it for this echo of an event,
// drawn here with the same view code on a bitmap of the screen's width.
rigimage statusbarwith(int width, const char* notice, const char* state = "") {
  mybitmap b(width, 31);
  myview::pmymap = &b;
  myview bar(0, 0, width, gcharwidth * 30 / 24);
  statebar = &bar;
  dispmsg(state);
  statuskey();
  dispmsg1(notice);
  paintstatus();
  statebar = nullptr;
  rigimage out(width, 31);
  for (int y = 0; y < 31; y++)
    for (int x = 0; x < width; x++) out.at(x, y) = b.getpixel(x, y).value() & 0xFFFFFF;
  return out;
}

// Where the eight buttons sit on a screen of this width.
rigrect button(int width, int i) {
  mybitmap b(1, 1);
  myview::pmymap = &b;
  buttongroup bar;
  for (int k = 0; k < 8; k++) bar.addbutton("F0:xx");
  bar.resetwidth(width);
  const mybutton& m = *bar.buttons[i];
  return {m.x1, m.y1, m.x2 - m.x1 + 1, m.y2 - m.y1 + 1};
}

TEST(MouseCursor, FollowsPacketsAndLosesNoMotionInABurst) {
  bihuarun run;
  ASSERT_TRUE(run.start(800, 600));
  EXPECT_EQ(run.pixel(100, 100), red);  // starts at (100, 100)
  ASSERT_TRUE(run.moveto(400, 300));
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.pixel(400, 300), red);
  EXPECT_EQ(run.pixel(400, 320), red);
  EXPECT_NE(run.pixel(100, 100), red);

  // Twenty packets written at once: every one of them moves the cross.
  std::string burst;
  for (int i = 0; i < 20; i++) burst += std::string{8, 10, 0};
  run.mousebytes(burst);
  ASSERT_TRUE(run.settle(300));
  EXPECT_EQ(run.pixel(600, 300), red);
  EXPECT_EQ(run.pixel(580, 300), red);
  EXPECT_NE(run.pixel(579, 300), red);
  ASSERT_TRUE(run.stop());
  // The saved screen never holds the cross (it was over pane 1's white).
  EXPECT_EQ(run.bmp().crop(run.cursorbox()).count(red), 0);
}

// A long sweep past the screen's corner leaves the cross at the corner, and
// the first move back moves it at once.
TEST(MouseCursor, IsKeptOnTheScreen) {
  bihuarun run;
  ASSERT_TRUE(run.start(800, 600));
  for (int i = 0; i < 80; i++) ASSERT_TRUE(run.mouse(-127, 127));  // left and up
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.pixel(0, 0), red);
  EXPECT_EQ(run.cursorx(), 0);
  ASSERT_TRUE(run.moveto(30, 40));
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.pixel(30, 40), red);
  EXPECT_EQ(run.pixel(30, 60), red);
  for (int i = 0; i < 80; i++) ASSERT_TRUE(run.mouse(127, -127));  // right and down
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.pixel(799, 599), red);
  ASSERT_TRUE(run.moveto(700, 500));
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.pixel(700, 520), red);
  ASSERT_TRUE(run.stop());
}

TEST(MouseCursor, StaysParkedWithoutAMouse) {
  bihuarun run;
  rigoptions o;
  o.mouse = false;
  ASSERT_TRUE(run.start(o));
  run.type("abc");
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.pixel(100, 100), red);
  ASSERT_TRUE(run.stop());
}

TEST(FunctionKeyBar, AClickFlashesTheButtonAndIsEchoed) {
  bihuarun run;
  ASSERT_TRUE(run.start(800, 600));
  rigrect f3 = button(800, 2);
  ASSERT_TRUE(run.moveto(f3.x + f3.w / 2, f3.y + f3.h / 2));
  ASSERT_TRUE(run.settle());
  uint64_t before = run.pushes();
  ASSERT_TRUE(run.mouse(0, 0, 1));
  ASSERT_TRUE(run.mouse(0, 0, 0));
  ASSERT_TRUE(run.settle());
  // Press: green flash, plain again, the press itself; release: one more.
  EXPECT_GE(run.pushes() - before, 4u);
  rigrect cross = run.cursorbox();
  EXPECT_TRUE(sameimage(run.crop({0, 0, 800, 31}), statusbarwith(800, "按钮302按下",
                                      "aaaaa.txt:当前1行,1列,共0字节,共1行,代码: 0"),
                        {cross}));
  ASSERT_TRUE(run.stop());
}

// The F1 and F2 buttons do what their keys do: after a click on F1,
// "wo " types 我 as the F1 key would.
TEST(FunctionKeyBar, TheF1ButtonSwitchesToPinyin) {
  bihuarun run;
  ASSERT_TRUE(run.start(800, 600, {"f1.txt"}));
  rigrect f1 = button(800, 0);
  ASSERT_TRUE(run.click(f1.x + f1.w / 2, f1.y + f1.h / 2));
  ASSERT_TRUE(run.settle());
  run.type("wo ");
  run.key("F7");
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("f1.txt"), "我");
  ASSERT_TRUE(run.stop());
}

// Ctrl-S saves as F7 does; other control bytes that are no key put nothing
// into the text and say so.
TEST(ControlKeys, CtrlSSavesAndOtherControlBytesInsertNothing) {
  bihuarun run;
  ASSERT_TRUE(run.start(1024, 768, {"ctrl.txt"}));
  run.type("ab\x01\x02\x11" "c\x05");
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.shows("此键无功能：Ctrl-E"));
  run.type("\x13");
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("ctrl.txt"), "abc");
  run.type("\x7f\x14\x13");  // Backspace keeps its meaning
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("ctrl.txt"), "ab");
  ASSERT_TRUE(run.stop());
}

TEST(FunctionKeyBar, TheF8ButtonEndsTheProgram) {
  bihuarun run;
  ASSERT_TRUE(run.start(1920, 1080));
  rigrect f8 = button(1920, 7);
  ASSERT_TRUE(run.moveto(f8.x + 5, f8.y + 5));
  ASSERT_TRUE(run.mouse(0, 0, 1));  // the program ends before reading a release
  ASSERT_TRUE(run.waitexit());
  EXPECT_EQ(run.exitstatus(), 0);
  EXPECT_TRUE(run.terminalrestored());
  EXPECT_EQ(run.bmp().width, 1920);
}

TEST(FunctionKeyBar, TheF8ButtonAsksFirstWhileTextIsUnsaved) {
  bihuarun run;
  ASSERT_TRUE(run.start(1920, 1080));
  run.type("q");
  rigrect f8 = button(1920, 7);
  ASSERT_TRUE(run.moveto(f8.x + 5, f8.y + 5));
  ASSERT_TRUE(run.mouse(0, 0, 1));
  ASSERT_TRUE(run.mouse(0, 0, 0));
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.running());
  ASSERT_TRUE(run.mouse(0, 0, 1));  // a second click leaves without saving
  ASSERT_TRUE(run.waitexit());
  EXPECT_EQ(run.exitstatus(), 0);
  EXPECT_FALSE(run.hasfile("aaaaa.txt"));
}

TEST(KeyEcho, KeysAndCharactersAreEchoedOnTheStatusLine) {
  bihuarun run;
  ASSERT_TRUE(run.start(800, 600));
  // The left half is the focused pane's state line (pane 0 on aaaaa.txt).
  run.key("up");
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(sameimage(run.crop({0, 0, 800, 31}),
                        statusbarwith(800, "键按下键值为38, 标志为0",
                                      "aaaaa.txt:当前1行,1列,共0字节,共1行,代码: 0")));
  run.type("q");
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(sameimage(run.crop({0, 0, 800, 31}),
                        statusbarwith(800, "字符信息为113, 标志为0",
                                      "aaaaa.txt:当前1行,2列,共1字节,共1行,代码: 0")));
  // After Esc the newly focused pane is drawn last: its state shows.
  run.key("esc");
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(sameimage(run.crop({0, 0, 800, 31}),
                        statusbarwith(800, "键按下键值为27, 标志为0",
                                      "ed1.txt:当前1行,1列,共0字节,共1行,代码: 0")));
  ASSERT_TRUE(run.stop());
}

// The same file in both panes: Esc copies the pane being left over the
// other only while the other has no unsaved edits of its own (edits it
// merely shares with the pane being left are no reason to refuse).
TEST(SameFileCopy, NeverOverwritesUnsavedEditsOfTheOtherPane) {
  bihuarun run;
  rigoptions o;
  o.args = {"a.txt", "a.txt"};
  o.files = {{"a.txt", "text\r\n"}};
  ASSERT_TRUE(run.start(o));
  ASSERT_TRUE(run.click(600, 300));  // pane 1
  run.type("X");
  ASSERT_TRUE(run.click(200, 300));  // pane 0
  run.type("Y");
  run.key("esc");  // pane 0 to pane 1: pane 1's X must stay
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.shows("另一窗格有未保存的修改，未复制：a.txt"));
  run.key("ctrl-z");  // pane 1's history is its own still
  run.type("Z");
  run.key("F7");
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("a.txt"), "text\r\nZ");  // a click puts the cursor at the end
  // Saved, pane 1 may be copied over again: leaving pane 0 copies its text.
  ASSERT_TRUE(run.click(200, 300));
  run.key("esc");
  ASSERT_TRUE(run.settle());
  run.key("F7");  // pane 1, holding pane 0's text and its idea of the file
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("a.txt"), "text\r\nZ");  // pane 1's own save changed it on disk
  run.key("F7");
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("a.txt"), "text\r\nY");
  ASSERT_TRUE(run.stop());
}

}  // namespace

namespace {

// At 640 x 480 every notice is seen whole: one that does not fit beside
// the state has the line to itself until the next key, and one wider than
// the screen loses the middle of its file name, never its reason.
TEST(Notices, AreSeenWholeOnASmallScreen) {
  std::string longname = "a-file-with-a-very-long-name-" + std::string(60, 'n') + "-end.txt";
  rigoptions o = withfiles({{"notes.txt", "abc"}}, {"notes.txt", "new/x.txt"});
  o.screen = rigoptions::defaultscreen(640, 480);
  bihuarun run;
  ASSERT_TRUE(run.start(o));
  run.type("x");
  run.key("F8");
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.shows("未保存；再按F8不保存退出，按其他键取消：notes.txt"));
  run.key("F7");
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.shows("文件notes.txt已保存，共4字节"));
  run.type("\x01");
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.shows("此键无功能：Ctrl-A"));
  rigwritefile(run.path("new"), "keep");  // its folder is a file by now
  run.key("esc");
  run.type("y");
  run.key("F7");
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.shows("保存失败，Not a directory：new/x.txt"));
  // The next key gives the state its place back: the echo follows it.
  run.key("left");
  ASSERT_TRUE(run.settle());
  EXPECT_FALSE(run.shows("保存失败，Not a directory：new/x.txt"));
  run.key("esc");
  run.type(std::string("open1 ") + longname);
  run.key("enter");
  ASSERT_TRUE(run.settle());
  run.savepng(::testing::TempDir() + "notices-640.png");
  // 53 columns: the reason's 8, then 21 + "..." + 21 of the name.
  EXPECT_TRUE(run.shows("新文件：a-file-with-a-very-lo...nnnnnnnnnnnnn-end.txt"));
  ASSERT_TRUE(run.stop());
}

}  // namespace

namespace {

// The focus frame is drawn around the focused pane only: after clicks and
// a failed find, the panes look as the same clicks alone leave them.
TEST(FocusFrame, LeavesNoPiecesOnAnUnfocusedPane) {
  rigoptions o = withfiles({{"a.txt", "text"}, {"b.txt", "more"}}, {"a.txt", "b.txt"});
  bihuarun run;
  ASSERT_TRUE(run.start(o));
  ASSERT_TRUE(run.click(600, 300));
  ASSERT_TRUE(run.click(200, 300));
  run.key("esc");
  ASSERT_TRUE(run.settle());
  run.key("esc");
  ASSERT_TRUE(run.settle());
  run.type("find1 zzz");
  run.key("enter");
  ASSERT_TRUE(run.settle());
  ASSERT_TRUE(run.click(600, 300));
  ASSERT_TRUE(run.settle());
  rigimage after = run.crop({0, 92, 800, 460});
  rigrect cross = run.cursorbox();
  ASSERT_TRUE(run.stop());

  bihuarun once;
  ASSERT_TRUE(once.start(o));
  ASSERT_TRUE(once.click(200, 300));
  ASSERT_TRUE(once.click(600, 300));
  ASSERT_TRUE(once.settle());
  rigimage want = once.crop({0, 92, 800, 460});
  ASSERT_TRUE(once.stop());
  // Only the panes' frames and margins count: the command pane's text
  // and the status line differ, and both pictures leave the cross out.
  rigrect crossin{cross.x, cross.y - 92, cross.w, cross.h};
  EXPECT_TRUE(sameimage(after, want, {crossin}));
}

}  // namespace

namespace {

// Esc redraws only what the focus changed: three of them bring back the
// first screen exactly, at every size.
TEST(FocusFrame, EscRoundTheThreePanesLeavesTheScreenAsItWas) {
  for (auto size : {std::make_pair(800, 600), std::make_pair(1920, 1080)}) {
    rigoptions o = withfiles({{"a.txt", "text\r\n中文"}, {"b.txt", "more"}}, {"a.txt", "b.txt"});
    o.screen = rigoptions::defaultscreen(size.first, size.second);
    bihuarun run;
    ASSERT_TRUE(run.start(o));
    rigimage first = run.frame();
    for (int i = 0; i < 3; i++) {
      run.key("esc");
      ASSERT_TRUE(run.settle());
    }
    rigimage now = run.frame();
    // The status line echoes the last key.
    int bar = 30;
    EXPECT_TRUE(sameimage(now.crop({0, bar, size.first, size.second - bar}),
                          first.crop({0, bar, size.first, size.second - bar}), {}))
        << size.first;
    ASSERT_TRUE(run.stop());
  }
}

}  // namespace
