// Command-line options: the usage text, the version, and the one pass over
// argv that decides whether the program starts. Plain ASCII on purpose:
// these lines go to whatever terminal or pipe started the program, before
// any of the program's own screen exists.
#include "app/options.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifndef BIHUA_VERSION
#define BIHUA_VERSION "unknown"
#endif

namespace {

const char usage[] =
    "Usage: bihua [FILE [FILE2]]\n"
    "       bihua -- -FILE           (a file whose name starts with '-')\n"
    "       bihua --fb /dev/fbN [FILE [FILE2]]  (another framebuffer, e.g. an SPI panel)\n"
    "       bihua --display drm|fb|auto [FILE [FILE2]]  (auto: DRM/KMS if it works, else "
    "/dev/fb0)\n"
    "       bihua --learn [FILE [FILE2]]  (pinyin remembers the words chosen)\n"
    "       bihua --size N|auto [FILE [FILE2]]  (text size in pixels, 16-96; default 24,\n"
    "                                            auto: larger on screens over 1920 wide)\n"
    "       bihua --help | --version\n"
    "\n"
    "A text editor for the Linux framebuffer console (/dev/fb0): GBK text in\n"
    "two panes, a command line below them, pinyin and wubi input built in.\n"
    "Run it on a text console, not in a terminal window.\n"
    "\n"
    "Files: no FILE opens aaaaa.txt in the left pane; FILE opens in the left\n"
    "pane, FILE2 in the right one; with three or more names none is opened.\n"
    "\n"
    "Keys:\n"
    "  F1  Chinese on/off (with full-width punctuation)\n"
    "  F2  input method: English, pinyin, wubi\n"
    "  F3  select on/off     F4  copy     F5  paste     F6  cut\n"
    "  F7  save the pane     F8  quit\n"
    "  Esc next pane: left, right, command line\n"
    "  While Chinese candidates show: digit or space chooses, '.' and ','\n"
    "  page forward and back, Backspace erases a typed letter.\n"
    "  Pinyin takes whole sentences (up to 64 letters, ' between syllables):\n"
    "  space takes the sentence, a digit a word at its start; Enter types\n"
    "  the letters. With --learn, the words chosen come first next time,\n"
    "  kept in ~/.local/share/bihua/learned; Shift+digit forgets one.\n"
    "\n"
    "Command line (the bottom pane; Enter runs the line):\n"
    "  open1 FILE   open FILE in the left pane   (open2: the right pane)\n"
    "  find1 WORD   find WORD in the left pane   (find2: the right pane;\n"
    "               no WORD finds the last one again)\n"
    "  anything else runs in the shell; its output goes to the right pane.\n"
    "\n"
    "The clipboard is kept in /tmp/clip.txt between runs. On quitting, the\n"
    "last screen is written to aaaaa.bmp in the current folder.\n"
    "See bihua(1) for more.\n";

bool isoption(const char* word) { return word[0] == '-'; }

// Prints to standard output; a full disk or closed pipe is status 1.
int print(const char* text) {
  if (fputs(text, stdout) < 0 || fflush(stdout) != 0) {
    fprintf(stderr, "bihua: cannot write the output: %s\n", strerror(errno));
    return 1;
  }
  return 0;
}

// "--size"'s value: 16..96 or "auto"; 0 when it is neither.
int sizevalue(const char* word) {
  if (strcmp(word, "auto") == 0) return sizeauto;
  char* end = nullptr;
  errno = 0;
  long n = strtol(word, &end, 10);
  if (errno || end == word || *end || n < 16 || n > 96) return 0;
  return static_cast<int>(n);
}

// Takes the word at `at` out of argv, shifting the words after it down.
void dropword(int& argc, char** argv, int at) {
  for (int i = at; i + 1 < argc; i++) argv[i] = argv[i + 1];
  argc--;
  argv[argc] = nullptr;
}

}  // namespace

const char* optionfb = nullptr;
const char* optiondisplay = nullptr;
bool optionlearn = false;
int optionsize = 24;

int autosize(int w) { return std::min(96, std::max(24, w * 24 / 1920)); }

const char* usagetext() { return usage; }

int readoptions(int& argc, char** argv) {
  for (int i = 1; i < argc; i++) {
    const char* word = argv[i];
    if (strcmp(word, "--") == 0) {
      dropword(argc, argv, i);
      return optrun;
    }
    if (strcmp(word, "--fb") == 0 || strcmp(word, "--display") == 0) {
      bool fb = word[2] == 'f';
      const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
      if (!value) {
        fprintf(stderr, "bihua: %s needs %s\n\n%s", word,
                fb ? "a device, such as /dev/fb1" : "drm, fb or auto", usage);
        return 2;
      }
      if (!fb && strcmp(value, "drm") != 0 && strcmp(value, "fb") != 0 &&
          strcmp(value, "auto") != 0) {
        fprintf(stderr, "bihua: --display takes drm, fb or auto, not '%s'\n\n%s", value, usage);
        return 2;
      }
      (fb ? optionfb : optiondisplay) = value;
      dropword(argc, argv, i);
      dropword(argc, argv, i);
      i--;
      continue;
    }
    if (strcmp(word, "--learn") == 0) {
      optionlearn = true;
      dropword(argc, argv, i);
      i--;
      continue;
    }
    if (strcmp(word, "--size") == 0) {
      int size = i + 1 < argc ? sizevalue(argv[i + 1]) : 0;
      if (size == 0) {
        fprintf(stderr, "bihua: --size needs a text size from 16 to 96 pixels, or auto\n\n%s",
                usage);
        return 2;
      }
      optionsize = size;
      dropword(argc, argv, i);
      dropword(argc, argv, i);
      i--;
      continue;
    }
    if (!isoption(word)) continue;
    if (strcmp(word, "--help") == 0) {
      return print(usage);
    }
    if (strcmp(word, "--version") == 0) {
      return print("bihua " BIHUA_VERSION "\n");
    }
    fprintf(stderr, "bihua: unknown option '%s' (a file named so opens as: bihua -- %s)\n\n%s",
            word, word, usage);
    return 2;
  }
  return optrun;
}
