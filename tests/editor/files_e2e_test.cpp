// Every file comes back as it went, end to end: real Chinese texts, GBK
// characters whose second byte looks like ASCII, stray bytes and every
// line-break style are opened in the real program, typed into, saved with
// F7 and compared byte for byte with the original plus what was typed.
// Plain literals are GBK here, u8"" ones UTF-8.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/e2e/bihuarun.h"

namespace {

const std::string corpus = std::string(BIHUA_SOURCE_DIR) + "/tests/editor/corpus/";

std::string slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

std::vector<std::string> corpusfiles() {
  std::vector<std::string> names;
  if (DIR* d = opendir(corpus.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n[0] != '.' && n != "README.md") names.push_back(n);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Opens `bytes` as `name`, types the keys, saves, quits; the file after.
struct edit {
  std::string name, bytes;
  std::vector<std::string> keys;  // a key by name, or text to type after "="
};

std::string saved(const edit& e, bihuarun& run) {
  rigoptions o;
  o.files[e.name] = e.bytes;
  o.args = {e.name};
  if (!run.start(o)) return "<no start>";
  for (const std::string& k : e.keys) {
    if (k[0] == '=')
      run.type(k.substr(1));
    else
      run.key(k);
  }
  run.key("F7");
  if (!run.settle()) return "<no settle>";
  // BIHUA_KEEP_PICTURES=1: the screen of each edit, for a human to look at.
  if (getenv("BIHUA_KEEP_PICTURES")) run.savepng("/tmp/bihua-files-" + e.name + ".png");
  if (!run.stop()) return "<no stop>";
  return run.file(e.name);
}

TEST(RealFiles, EachComesBackByteForBytePlusWhatWasTyped) {
  std::vector<std::string> names = corpusfiles();
  ASSERT_EQ(names.size(), 6u);
  for (const std::string& n : names) {
    std::string original = slurp(corpus + n);
    ASSERT_GT(original.size(), 2000u) << n;
    bihuarun run;
    EXPECT_EQ(saved({n, original, {"=ab"}}, run), "ab" + original) << n;
  }
}

TEST(RealFiles, LowTrailCharactersStepWholeAndSaveExactly) {
  // 這 DF 40, 說 D5 66, ‐ A9 5C: their second bytes are '@', 'f' and '\'.
  // Right steps over them whole, Backspace takes the typed letter alone.
  std::vector<std::string> keys = {"right", "right", "right", "right", "right", "=X",
                                   "end",   "=ZY",   "backspace"};
  bihuarun gbk;
  EXPECT_EQ(saved({"g.txt", "這是說明‐ok\r\n", keys}, gbk), "這是說明‐XokZ\r\n");
  bihuarun utf8;
  EXPECT_EQ(saved({"u.txt", u8"這是說明‐ok\n", keys}, utf8), u8"這是說明‐XokZ\n");
  // Backspace after 說 takes it whole and nothing else.
  bihuarun erase;
  EXPECT_EQ(saved({"e.txt", "這說ok", {"right", "right", "backspace"}}, erase), "這ok");
}

TEST(RealFiles, LineBreaksGoBackInTheStyleTheyCameIn) {
  struct {
    const char* name;
    std::string in, out;
  } cases[] = {
      {"cr.txt", "one\rtwo\rthree\r", "Xone\rtw\ro\rthree\r"},
      {"lf.txt", "中\ntwo\nthree\n", "X中\ntw\no\nthree\n"},
      {"crlf.txt", "中\r\ntwo\r\nthree\r\n", "X中\r\ntw\r\no\r\nthree\r\n"},
  };
  for (const auto& c : cases) {
    bihuarun run;
    // Enter in the middle of "two" makes a break of the file's own style.
    EXPECT_EQ(saved({c.name, c.in, {"=X", "down", "home", "right", "right", "enter"}}, run),
              c.out)
        << c.name;
  }
}

TEST(RealFiles, MixedBreaksAreNamedWhenOpenedAndWrittenInTheFirstStyle) {
  bihuarun run;
  rigoptions o;
  o.files["m.txt"] = "a\nb\r\nc\rd";
  o.args = {"m.txt"};
  ASSERT_TRUE(run.start(o));
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.shows("换行符不统一，保存时都写成LF；open file m.txt"));
  run.type("X");
  run.key("F7");
  ASSERT_TRUE(run.settle());
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.file("m.txt"), "Xa\nb\nc\nd");
}

TEST(RealFiles, StrayBytesAreKeptExactly) {
  // 0x80 and 0xFF lead nothing; 0x81 before a CR, 0xD6 at the end have no
  // trail. Each is one column: two Rights pass "a" and 0x80.
  const std::string stray = "a\x80" "b\xFF" "c\x81\r\nd\xD6";
  bihuarun run;
  EXPECT_EQ(saved({"s.txt", stray, {"right", "right", "=Y"}}, run),
            "a\x80Yb\xFF" "c\x81\r\nd\xD6");
}

}  // namespace
