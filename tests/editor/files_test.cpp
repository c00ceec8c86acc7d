// Loading and saving: what a pane takes from a file, that a save replaces
// the file only when every byte is written, and the notices on the way.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/editor/editviewtest.h"

#include "tests/tempdir.h"

namespace {

using testfiles::read;
using testfiles::tempdir;
using testfiles::write;

}  // namespace

TEST(Files, LoadFiltersAndSaveKeepsTheLineBreaks) {
  tempdir d;
  write(d / "a.txt", "one\ntwo\n");
  pane p("old");
  ASSERT_TRUE(p.ed->readfile((d / "a.txt").c_str()));
  EXPECT_EQ(p.text(), "one\r\ntwo\r\n");
  EXPECT_EQ(notice(), "open file " + (d / "a.txt"));
  EXPECT_FALSE(p.ed->save());
  EXPECT_EQ(notice(), "文件未改，取消保存");
  p.ed->insertchar('x');
  ASSERT_TRUE(p.ed->save());
  EXPECT_EQ(read(d / "a.txt"), "xone\ntwo\n");
  EXPECT_EQ(notice(), "文件" + (d / "a.txt") + "已保存，共9字节");
  EXPECT_FALSE(p.ed->ischanged());
}

TEST(Files, OpeningMends) {
  tempdir d;
  pane p("keep");
  std::string name0 = p.ed->filename;
  // A file with a zero byte, one too big after filtering (LF-only doubles),
  // one with too many display lines, a long path, a directory: refused with
  // a notice naming why; the pane keeps its text and name.
  write(d / "zero", std::string("ab\0cd", 5));
  write(d / "big", std::string(editview::maxtextlen / 2 + 1, '\n'));
  write(d / "lines", std::string(maxlinenumber, '\n'));
  std::string longname = d / std::string(500, 'n');
  const char* refused[] = {"zero", "big", "lines"};
  for (const char* f : refused) {
    clearnotice();
    EXPECT_FALSE(p.ed->readfile((d / f).c_str())) << f;
    EXPECT_NE(notice().find(d / f), std::string::npos) << notice();
    EXPECT_EQ(p.text(), "keep");
    EXPECT_EQ(p.ed->filename, name0);
  }
  EXPECT_FALSE(p.ed->readfile(longname.c_str()));
  EXPECT_FALSE(p.ed->readfile(d.path.c_str()));
  EXPECT_NE(notice().find("Is a directory"), std::string::npos) << notice();
  EXPECT_EQ(p.text(), "keep");
  EXPECT_EQ(p.ed->filename, name0);
  // A missing file or an empty one: an empty pane under that name.
  ASSERT_TRUE(p.ed->readfile((d / "new.txt").c_str()));
  EXPECT_EQ(p.ed->len, 0);
  EXPECT_EQ(p.ed->filename, d / "new.txt");
  EXPECT_FALSE(std::ifstream(d / "new.txt").good());  // not created by opening
  p.set("again");
  write(d / "empty", "");
  ASSERT_TRUE(p.ed->readfile((d / "empty").c_str()));
  EXPECT_EQ(p.ed->len, 0);
  EXPECT_EQ(p.ed->cur, p.ed->text);
  // A read-only file can be read.
  write(d / "ro", "read me");
  chmod((d / "ro").c_str(), 0444);
  ASSERT_TRUE(p.ed->readfile((d / "ro").c_str()));
  EXPECT_EQ(p.text(), "read me");
}

TEST(Files, FailedSaveLeavesFileAndTextAsTheyWere) {
  tempdir d;
  write(d / "f.txt", "disk");
  write(d / "plain", "x");
  pane p;
  ASSERT_TRUE(p.ed->readfile((d / "f.txt").c_str()));
  p.ed->insertchar('!');
  // A path through a regular file, a missing folder: what root cannot bypass.
  for (std::string bad : {d / "plain/f.txt", d / "nofolder/f.txt"}) {
    strcpy(p.ed->filename, bad.c_str());
    strcpy(p.ed->diskname, bad.c_str());
    EXPECT_FALSE(p.ed->save());
    EXPECT_EQ(notice().rfind("保存失败，", 0), 0u) << notice();  // why, before the long name
    EXPECT_NE(notice().find(bad), std::string::npos);
    EXPECT_NE(notice().find(bad.find("plain") != std::string::npos ? "Not a directory"
                                                                     : "No such file"),
              std::string::npos)
        << notice();
    EXPECT_TRUE(p.ed->ischanged());
    EXPECT_FALSE(p.ed->saveas(bad.c_str()));
    EXPECT_EQ(p.ed->filename, bad);
  }
  EXPECT_EQ(read(d / "f.txt"), "disk");
  EXPECT_EQ(read(d / "plain"), "x");
  // No temporary file is left behind.
  EXPECT_EQ(system(("test $(ls -A " + d.path + " | wc -l) -eq 2").c_str()), 0);
  // A pane with an empty name never writes.
  p.ed->filename[0] = 0;
  EXPECT_FALSE(p.ed->save());
  EXPECT_FALSE(p.ed->saveas(""));
}

TEST(Files, ReadOnlyFileRefusesTheSaveReadOnlyFolderSavesInPlace) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders and files";
  tempdir d;
  write(d / "ro.txt", "mine");
  chmod((d / "ro.txt").c_str(), 0444);
  pane r;
  ASSERT_TRUE(r.ed->readfile((d / "ro.txt").c_str()));
  r.ed->insertchar('!');
  EXPECT_FALSE(r.ed->save());
  EXPECT_NE(notice().find("Permission denied"), std::string::npos) << notice();
  EXPECT_EQ(read(d / "ro.txt"), "mine");

  // A file we may write in a folder we may not: written in place.
  write(d / "f.txt", "disk");
  pane p;
  ASSERT_TRUE(p.ed->readfile((d / "f.txt").c_str()));
  p.ed->insertchar('!');
  chmod(d.path.c_str(), 0555);
  EXPECT_TRUE(p.ed->save()) << notice();
  EXPECT_FALSE(p.ed->ischanged());
  chmod(d.path.c_str(), 0755);
  EXPECT_EQ(read(d / "f.txt"), "!disk");
}

TEST(Files, SaveKeepsPermissionsAndReplacesByRename) {
  tempdir d;
  write(d / "m.txt", "abc");
  chmod((d / "m.txt").c_str(), 0640);
  bool root = geteuid() == 0;
  if (root) {
    EXPECT_EQ(chown((d / "m.txt").c_str(), 65534, 65534), 0);
  }
  struct stat before;
  stat((d / "m.txt").c_str(), &before);
  pane p;
  ASSERT_TRUE(p.ed->readfile((d / "m.txt").c_str()));
  p.ed->insertchar('z');
  ASSERT_TRUE(p.ed->save());
  struct stat after;
  stat((d / "m.txt").c_str(), &after);
  EXPECT_EQ(after.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(after.st_uid, 65534u);  // root saving keeps the owner
  }
  EXPECT_NE(after.st_ino, before.st_ino);  // a new file renamed over the old
  ASSERT_TRUE(p.ed->saveas((d / "other.txt").c_str()));
  EXPECT_EQ(p.ed->filename, d / "other.txt");
  EXPECT_EQ(read(d / "other.txt"), "zabc");
  EXPECT_EQ(notice(), "文件存为" + (d / "other.txt") + ",共4字节");
}

TEST(Files, DefaultNameAsksBeforeOverwritingAFileNeverLoaded) {
  tempdir d;
  char old[4096];
  ASSERT_TRUE(getcwd(old, sizeof old));
  ASSERT_EQ(chdir(d.path.c_str()), 0);
  write("ed.txt", "someone else's");
  pane p;
  EXPECT_STREQ(p.ed->filename, "ed.txt");
  p.ed->insertchar('q');
  EXPECT_FALSE(p.ed->save());
  EXPECT_EQ(notice(), "已有同名文件，不是本窗口打开的，再按F7覆盖：ed.txt");  // why first, then the name
  EXPECT_EQ(read("ed.txt"), "someone else's");
  EXPECT_TRUE(p.ed->save());  // the second F7 overwrites
  EXPECT_EQ(read("ed.txt"), "q");
  // Without a file there, the first save writes.
  pane p1("", 800, 800, 1);
  p1.ed->insertchar('r');
  EXPECT_TRUE(p1.ed->save());
  EXPECT_EQ(read("ed1.txt"), "r");
  ASSERT_EQ(chdir(old), 0);
}

TEST(Files, Utf8FilesKeepTheirFormAndRefuseWhatGbkLacks) {
  tempdir d;
  pane p("old");
  // Byte-order mark and CR LF: the pane holds GBK, the file stays UTF-8.
  write(d / "u.txt", u8"\uFEFF中文\r\nb\r\n");
  ASSERT_TRUE(p.ed->readfile((d / "u.txt").c_str()));
  EXPECT_EQ(p.text(), "中文\r\nb\r\n");
  EXPECT_TRUE(p.ed->utf8file && p.ed->utf8bom && p.ed->linebreaks == breakstyle::crlf);
  p.ed->dispstate();
  EXPECT_NE(std::string(statusline()).find(",UTF-8+BOM,CRLF  |"), std::string::npos) << statusline();
  p.ed->insertchar('x');
  ASSERT_TRUE(p.ed->save());
  EXPECT_EQ(read(d / "u.txt"), u8"\uFEFFx中文\r\nb\r\n");
  EXPECT_EQ(notice(), "文件" + (d / "u.txt") + "已保存，共15字节");
  // Text the clipboard brought that is no GBK cannot be written as UTF-8:
  // refused naming where, the file and the pane as they were.
  p.ed->insertbytes(p.ed->text + 8, reinterpret_cast<const unsigned char*>("\x81\x7F"), 2);
  EXPECT_FALSE(p.ed->save());
  EXPECT_EQ(notice(), "不能存为UTF-8：第2行第2列的代码81不是GBK字符（" + (d / "u.txt") + "）");
  EXPECT_EQ(read(d / "u.txt"), u8"\uFEFFx中文\r\nb\r\n");
  // A character with no GBK form: refused by line and column, the pane kept.
  write(d / "e.txt", u8"ok\r\nab\U0001F600\n");
  EXPECT_FALSE(p.ed->readfile((d / "e.txt").c_str()));
  EXPECT_EQ(notice(), "不能打开，第2行第3列的U+1F600没有GBK编码：" + (d / "e.txt"));
  EXPECT_EQ(p.ed->filename, d / "u.txt");
  EXPECT_TRUE(p.ed->utf8file);
  // GBK again after loading a GBK file: nothing added to the state line.
  write(d / "g.txt", "中文\n");
  ASSERT_TRUE(p.ed->readfile((d / "g.txt").c_str()));
  EXPECT_FALSE(p.ed->utf8file);
  p.ed->dispstate();
  EXPECT_EQ(std::string(statusline()).find("UTF"), std::string::npos);
}
