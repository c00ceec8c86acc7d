// What the program writes on its way out, through the real program: the
// rescue of unsaved text on SIGTERM when the file's folder or the disk
// refuses it (then $HOME, then a private file in /tmp), in UTF-8 for a
// UTF-8 file in a UTF-8 system; and the last screen, aaaaa.bmp, which
// never follows a link planted there and says on standard error when it
// could not be written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "tools/e2e/bihuarun.h"

namespace {

const int nobody = 65534;

bool mentions(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The working directory made early, with a folder "ro" holding notes.txt.
void plantfolder(bihuarun& run) {
  ASSERT_EQ(mkdir(run.dir().c_str(), 0755), 0);
  ASSERT_EQ(mkdir(run.path("ro").c_str(), 0755), 0);
  rigwritefile(run.path("ro/notes.txt"), "keep\r\n");
}

}  // namespace

TEST(Rescue, AFolderThatRefusesSendsItToHome) {
  bihuarun run;
  plantfolder(run);
  rigoptions o = withfiles({}, {"ro/notes.txt"});
  o.readonlyprefix = "ro/";
  ASSERT_TRUE(run.start(o));
  run.type("ab");
  ASSERT_TRUE(run.settle());
  ASSERT_TRUE(run.endwith(SIGTERM));
  EXPECT_EQ(run.exitstatus(), 128 + SIGTERM);
  EXPECT_EQ(rigreadfile(run.home() + "/notes.txt.save"), "abkeep\r\n");
  EXPECT_FALSE(run.hasfile("ro/notes.txt.save"));
  EXPECT_TRUE(mentions(run.errors(), "written to " + run.home() + "/notes.txt.save")) << run.errors();
  EXPECT_TRUE(run.terminalrestored());
}

TEST(Rescue, AFullDiskLeavesNoPartFileAndGoesToHome) {
  bihuarun run;
  rigoptions o = withfiles({{"notes.txt", "keep\r\n"}}, {"notes.txt"});
  o.fullprefix = "notes.txt.save";
  ASSERT_TRUE(run.start(o));
  run.type("cd");
  ASSERT_TRUE(run.settle());
  ASSERT_TRUE(run.endwith(SIGHUP));
  EXPECT_FALSE(run.hasfile("notes.txt.save"));
  EXPECT_EQ(rigreadfile(run.home() + "/notes.txt.save"), "cdkeep\r\n");
  EXPECT_EQ(run.file("notes.txt"), "keep\r\n");
}

TEST(Rescue, WithNoWritableFolderNorHomeItIsAPrivateFileInTmp) {
  if (geteuid() != 0) GTEST_SKIP() << "running as another user needs root";
  bihuarun run;
  plantfolder(run);
  // A name of this run's own, as the file lands in the real /tmp.
  std::string name = "rescue-" + run.dir().substr(run.dir().find("bihuarig.") + 9, 6) + ".txt";
  ASSERT_EQ(rename(run.path("ro/notes.txt").c_str(), run.path("ro/" + name).c_str()), 0);
  rigoptions o = withfiles({}, {"ro/" + name});
  o.user = nobody;
  ASSERT_TRUE(run.start(o));
  ASSERT_EQ(chown(run.home().c_str(), 0, 0), 0);  // $HOME no longer the user's
  run.type("ef");
  ASSERT_TRUE(run.settle());
  ASSERT_TRUE(run.endwith(SIGTERM));
  std::string rescued = "/tmp/" + name + ".save";
  struct stat st {};
  ASSERT_EQ(lstat(rescued.c_str(), &st), 0) << run.errors();
  EXPECT_EQ(rigreadfile(rescued), "efkeep\r\n");
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(st.st_uid, static_cast<uid_t>(nobody));
  EXPECT_TRUE(mentions(run.errors(), "written to " + rescued)) << run.errors();
  unlink(rescued.c_str());
}

TEST(Rescue, AUtf8FileInAUtf8SystemIsRescuedAsF7WouldWriteIt) {
  const std::string name = u8"中文.txt";
  rigoptions o = withfiles({{name, u8"中文\n第二行\n"}}, {name});
  o.locale = {{"LANG", "C.UTF-8"}};
  bihuarun killed;
  ASSERT_TRUE(killed.start(o));
  killed.type("a");
  ASSERT_TRUE(killed.settle());
  ASSERT_TRUE(killed.endwith(SIGTERM));
  EXPECT_EQ(killed.file(name + ".save"), u8"a中文\n第二行\n");
  EXPECT_TRUE(mentions(killed.errors(), "written to " + name + ".save")) << killed.errors();
  // The same edit saved with F7: the same bytes.
  bihuarun saved;
  ASSERT_TRUE(saved.start(o));
  saved.type("a");
  saved.key("f7");
  ASSERT_TRUE(saved.settle());
  EXPECT_EQ(saved.file(name), killed.file(name + ".save"));
  ASSERT_TRUE(saved.stop());
}

TEST(Picture, ALinkPlantedAtTheBitmapsNameLeavesItsTargetAlone) {
  bihuarun run;
  ASSERT_EQ(mkdir(run.dir().c_str(), 0755), 0);
  rigwritefile(run.path("victim.txt"), "precious\n");
  ASSERT_EQ(symlink("victim.txt", run.path("aaaaa.bmp").c_str()), 0);
  ASSERT_TRUE(run.start(800, 600));
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.exitstatus(), 0);
  EXPECT_EQ(run.file("victim.txt"), "precious\n");
  struct stat st {};
  ASSERT_EQ(lstat(run.path("aaaaa.bmp").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_TRUE(mentions(run.errors(), "aaaaa.bmp: it is a symbolic link")) << run.errors();
  EXPECT_TRUE(run.terminalrestored());
}

TEST(Picture, AFolderTheUserMayNotWriteIsToldAtExit) {
  if (geteuid() != 0) GTEST_SKIP() << "running as another user needs root";
  rigoptions o;
  o.user = nobody;
  bihuarun run;
  ASSERT_TRUE(run.start(o));
  ASSERT_EQ(chown(run.dir().c_str(), 0, 0), 0);
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.exitstatus(), 0);
  EXPECT_FALSE(run.hasfile("aaaaa.bmp"));
  EXPECT_TRUE(mentions(run.errors(), "not written to aaaaa.bmp: Permission denied")) << run.errors();
}
