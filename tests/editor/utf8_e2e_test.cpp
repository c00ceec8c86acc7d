// UTF-8 files end to end: typed into and saved back as UTF-8 with the line
// breaks they had; refused whole when a character has no GBK form; a GBK
// file still byte for byte as it was. Plain literals are GBK here, u8""
// ones UTF-8.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tools/e2e/bihuarun.h"

namespace {

void keep(const bihuarun& run, const char* name) {
  if (getenv("BIHUA_KEEP_PICTURES")) run.savepng(std::string("/tmp/") + name + ".png");
}

TEST(Utf8Files, TypedPinyinIsSavedBackAsUtf8WithLf) {
  bihuarun run;
  rigoptions o;
  o.files["u.txt"] = u8"中文\nline two\n";
  o.args = {"u.txt"};
  ASSERT_TRUE(run.start(o));
  run.key("F1");
  run.type("wo ");  // the first candidate, 我
  run.key("F1");
  run.type("ab");
  run.key("enter");
  ASSERT_TRUE(run.settle());
  keep(run, "utf8-typed");
  run.key("F7");
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("u.txt"), u8"我ab\n中文\nline two\n");
  ASSERT_TRUE(run.stop());
}

TEST(Utf8Files, AFileWithAnEmojiIsRefusedAndThePaneKept) {
  bihuarun run;
  rigoptions o;
  o.files["a.txt"] = "中文\r\n";
  o.files["e.txt"] = u8"ok\n表情\U0001F600\n";
  o.args = {"a.txt"};
  ASSERT_TRUE(run.start(o));
  run.key("esc");
  run.key("esc");
  ASSERT_TRUE(run.settle());
  run.type("open1 e.txt");
  run.key("enter");
  ASSERT_TRUE(run.settle());
  keep(run, "utf8-refused");
  run.key("esc");  // back to pane 0, which still holds a.txt
  ASSERT_TRUE(run.settle());
  run.type("x");
  run.key("F7");
  ASSERT_TRUE(run.settle());
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.file("a.txt"), "x中文\r\n");
  EXPECT_EQ(run.file("e.txt"), u8"ok\n表情\U0001F600\n");
}

TEST(Utf8Files, AGbkFileRoundTripsByteForByte) {
  bihuarun run;
  rigoptions o;
  // 中 alone would be UTF-8 (D6 D0); the whole is not.
  const std::string gbk = "中文\r\n第二行 ab\r\n\xA1\xA4\xA1\xAA\r\n";
  o.files["g.txt"] = gbk;
  o.args = {"g.txt"};
  ASSERT_TRUE(run.start(o));
  run.key("F1");
  run.type("wo ");
  run.key("backspace");
  run.key("F1");
  run.type("z");
  run.key("F7");
  ASSERT_TRUE(run.settle());
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.file("g.txt"), "z" + gbk);
}

}  // namespace
