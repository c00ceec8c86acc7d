// The command line: --help, --version and a refused option end the program
// before it touches the framebuffer, the terminal or the clipboard file;
// "--" lets a file name start with "-". Run through the rig with no
// /dev/fb0 at all, so any attempt to open it would end in status 1.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "app/options.h"
#include "tools/e2e/bihuarun.h"

namespace {

bool exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// Runs bihua with the words and no framebuffer; checks that nothing but
// the two output streams was touched.
void runwithout(bihuarun& run, std::vector<std::string> words) {
  rigoptions o;
  o.fbmissing = true;
  o.args = std::move(words);
  run.launch(o);
  ASSERT_TRUE(run.waitexit());
  EXPECT_EQ(run.pushes(), 0u);
  EXPECT_EQ(run.terminaloutput(), "");  // not even the cursor hidden
  EXPECT_TRUE(run.terminalrestored());
  EXPECT_FALSE(exists(run.clipfile())) << "the clipboard file was written";
  EXPECT_FALSE(run.hasfile("aaaaa.bmp"));
  EXPECT_FALSE(run.hasfile("aaaaa.txt"));
}

TEST(Options, HelpPrintsTheUsageAndExitsZero) {
  for (std::vector<std::string> words : std::vector<std::vector<std::string>>{
           {"--help"}, {"notes.txt", "--help"}, {"--help", "--bogus"}}) {
    SCOPED_TRACE(words[0]);
    bihuarun run;
    runwithout(run, words);
    EXPECT_EQ(run.exitstatus(), 0);
    std::string out = run.output();
    EXPECT_EQ(out.rfind("Usage: bihua [FILE [FILE2]]\n", 0), 0u) << out;
    for (const char* part : {"F1", "F8", "Esc", "open1", "find2", "/tmp/clip.txt", "aaaaa.bmp"})
      EXPECT_NE(out.find(part), std::string::npos) << part;
    EXPECT_EQ(out, usagetext());
    EXPECT_EQ(run.errors(), "");
  }
}

TEST(Options, VersionPrintsOneLineAndExitsZero) {
  bihuarun run;
  runwithout(run, {"--version"});
  EXPECT_EQ(run.exitstatus(), 0);
  EXPECT_EQ(run.output(), "bihua " BIHUA_VERSION "\n");
  EXPECT_EQ(run.errors(), "");
}

TEST(Options, AnyOtherDashWordIsRefusedWithTheUsageAndStatusTwo) {
  for (const char* bad : {"-x", "-", "--helpme", "-h", "--version=2"}) {
    SCOPED_TRACE(bad);
    bihuarun run;
    runwithout(run, {"notes.txt", bad, "--help"});
    EXPECT_EQ(run.exitstatus(), 2);
    EXPECT_EQ(run.output(), "");
    std::string err = run.errors();
    EXPECT_NE(err.find(std::string("unknown option '") + bad + "'"), std::string::npos) << err;
    EXPECT_NE(err.find("Usage: bihua"), std::string::npos) << err;
  }
}

TEST(Options, AfterTheEndMarkDashWordsAreFileNames) {
  rigoptions o;
  o.args = {"--", "-notes.txt", "--help"};
  o.files = {{"-notes.txt", "hello\r\n"}};
  bihuarun run;
  ASSERT_TRUE(run.start(o));
  run.type("x");
  run.key("F7");
  ASSERT_TRUE(run.settle());
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.exitstatus(), 0);
  EXPECT_EQ(run.file("-notes.txt"), "xhello\r\n");
  EXPECT_EQ(run.output().find("Usage"), std::string::npos);
}

// The words main goes on with: the program name and the file names, in
// order, exactly as a command line without options would give them.
TEST(Options, TheEndMarkIsTakenOutAndTheFileWordsStay) {
  struct cmdcase {
    std::vector<std::string> in, out;
  };
  for (const cmdcase& c : std::vector<cmdcase>{
           {{"bihua"}, {"bihua"}},
           {{"bihua", "a.txt", "b.txt"}, {"bihua", "a.txt", "b.txt"}},
           {{"bihua", "--", "-a.txt"}, {"bihua", "-a.txt"}},
           {{"bihua", "a.txt", "--", "--", "--help"}, {"bihua", "a.txt", "--", "--help"}},
           {{"bihua", "--"}, {"bihua"}},
       }) {
    std::vector<std::string> words = c.in;
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(&w[0]);
    argv.push_back(nullptr);
    int argc = static_cast<int>(words.size());
    ASSERT_EQ(readoptions(argc, argv.data()), optrun);
    std::vector<std::string> got(argv.begin(), argv.begin() + argc);
    EXPECT_EQ(got, c.out);
    EXPECT_EQ(argv[argc], nullptr);
  }
}

}  // namespace

// --fb opens the named framebuffer instead of /dev/fb0 and is not taken for
// a file name; a device that is not there is named in the failure line.
TEST(Options, FbOpensTheNamedFramebuffer) {
  bihuarun run;
  rigoptions o;
  o.fbmissing = false;
  o.fbother = "/dev/fb1";
  o.args = {"--fb", "/dev/fb1", "notes.txt"};
  o.files = {{"notes.txt", "abc"}};
  ASSERT_TRUE(run.start(o));
  run.type("x");
  ASSERT_TRUE(run.settle());
  run.key("F7");
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.hasfile("notes.txt"));
  EXPECT_FALSE(run.hasfile("--fb"));

  bihuarun missing;
  rigoptions m;
  m.args = {"--fb", "/dev/fb7"};
  missing.launch(m);
  ASSERT_TRUE(missing.waitexit());
  EXPECT_EQ(missing.exitstatus(), 1);
  EXPECT_NE(missing.errors().find("bihua: /dev/fb7: "), std::string::npos) << missing.errors();

  bihuarun bare;
  runwithout(bare, {"--fb"});
  EXPECT_EQ(bare.exitstatus(), 2);
  EXPECT_EQ(bare.errors().rfind("bihua: --fb needs a device, such as /dev/fb1\n", 0), 0u);
}

// The text size scales the whole layout; auto takes 24 up to 1920 pixels
// wide and twice that at 3840; a size outside 16..96 is refused.
TEST(Options, SizeScalesTheScreenAndAutoFollowsItsWidth) {
  auto screen = [](int w, int h, std::vector<std::string> args) {
    bihuarun run;
    rigoptions o;
    o.screen = rigoptions::defaultscreen(w, h);
    o.args = args;
    o.args.push_back("notes.txt");
    o.files = {{"notes.txt", "abc\r\n中文"}};
    EXPECT_TRUE(run.start(o));
    run.type("x");
    EXPECT_TRUE(run.settle());
    run.key("F7");
    EXPECT_TRUE(run.settle());
    EXPECT_EQ(run.file("notes.txt"), "xabc\r\n中文");
    rigimage im = run.frame();
    run.savepng(::testing::TempDir() + "size-" + std::to_string(w) + "-" +
                (o.args.size() > 1 ? o.args[1] : "none") + ".png");
    EXPECT_TRUE(run.stop());
    return im;
  };
  rigimage big = screen(3840, 2160, {"--size", "48"});
  EXPECT_TRUE(screen(3840, 2160, {"--size", "auto"}).px == big.px);
  EXPECT_FALSE(screen(3840, 2160, {}).px == big.px);
  EXPECT_TRUE(screen(1920, 1080, {"--size", "auto"}).px == screen(1920, 1080, {}).px);
  // Pane 0 starts 90 cells-of-24 down: 180 pixels at 48, and pane 2 ends
  // 4 pixels above the bottom.
  const uint32_t white = 0xFFFFFF;
  EXPECT_NE(big.at(300, 178), white);
  EXPECT_EQ(big.at(300, 182), white);
  EXPECT_EQ(big.at(300, 2160 - 6), white);
  EXPECT_NE(big.at(300, 2160 - 2), white);

  for (const char* bad : {"8", "97", "big", "24px", ""}) {
    bihuarun run;
    runwithout(run, {"--size", bad});
    EXPECT_EQ(run.exitstatus(), 2) << bad;
    EXPECT_EQ(run.errors().rfind("bihua: --size needs a text size from 16 to 96", 0), 0u);
  }
}
