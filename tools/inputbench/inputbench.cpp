// Prints the lookup time per typed letter of the input method: pinyin
// characters and words for every prefix of every syllable, and wubi for
// every prefix of the full codes of 3000 frequent characters (those that
// begin the most frequent words). Each letter is timed as the best of a
// few runs; the figures are the median and the worst over all letters,
// beside floors measured in the same run. A benchmark, not a test.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "graphics/mybitmap.h"
#include "input/inputwords.h"
#include "input/inpywb.h"
#include "input/pyinput.h"
#include "input/pysentence.h"
#include "views/viewevents.h"

namespace {

const int repeats = 3;

double us(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::micro>(d).count();
}

// Best of `repeats` runs of f, in microseconds.
double best(const std::function<void()>& f) {
  double b = 1e18;
  for (int r = 0; r < repeats; r++) {
    auto t0 = std::chrono::steady_clock::now();
    f();
    b = std::min(b, us(std::chrono::steady_clock::now() - t0));
  }
  return b;
}

void report(const char* name, std::vector<double> t) {
  std::sort(t.begin(), t.end());
  std::printf("%-34s median %8.2f us   worst %8.2f us   (%zu letters)\n", name, t[t.size() / 2],
              t.back(), t.size());
}

std::string codeof(uint64_t field) {
  char s[9] = {};
  std::memcpy(s, &field, 8);
  return s;
}

// Sets the code to a prefix and empties the page state, as typing does.
void settyped(pyinput& p, const std::string& typed) {
  std::memset(p.code, 0, 8);
  std::memcpy(p.code, typed.data(), typed.size());
  p.startcode();
}

std::vector<std::string> syllables() {
  std::set<std::string> s;
  for (int i = 0; i < zhiinputsize; i++) s.insert(codeof(keyinputpy[i]));
  return {s.begin(), s.end()};
}

// Full wubi codes of the 3000 characters that begin the most frequent words.
std::vector<std::string> wubicodes(pyinput& p) {
  std::vector<std::pair<int, unsigned short>> firsts;
  for (int s = 0; s < inputwordslots; s++)
    if (inputwordfirst[s] < inputwordfirst[s + 1]) {
      int k = inputwordlist[inputwordfirst[s]];
      unsigned short ch;
      std::memcpy(&ch, inputhzchi + inputhzchiindex[k], 2);
      firsts.emplace_back(inputwordrank[k], ch);
    }
  std::sort(firsts.begin(), firsts.end());
  std::vector<std::string> out;
  for (const auto& f : firsts) {
    if (out.size() == 3000) break;
    uint64_t c = p.azhiwb(f.second);
    if (c) out.push_back(codeof(c));
  }
  return out;
}

// Letters of ordinary sentences, cut to the lengths measured.
const char* const sentenceletters =
    "jintiantianqihenhaowomenqugongyuansanbubaocunwenjianbingtuichuzhegewentihennanjiejue";

// Time of the last letter of the first `length` letters: the engine alone
// (push, with the state of the letters before) and the row (the key, with
// its lists and redraw); each the best of a few runs, the letter taken
// back outside the timing.
void sentencefigures(pyinput& p, int length, double& engine, double& row) {
  std::string letters(sentenceletters, length);
  pysentence s;
  for (int i = 0; i + 1 < length; i++) s.push(letters[i]);
  engine = row = 1e18;
  for (int r = 0; r < 3 * repeats; r++) {
    auto t0 = std::chrono::steady_clock::now();
    s.push(letters.back());
    engine = std::min(engine, us(std::chrono::steady_clock::now() - t0));
    s.pop();
  }
  p.reset();
  for (int i = 0; i + 1 < length; i++) p.keymouse(evChar, letters[i], 0, 0, 0, 0);
  for (int r = 0; r < 3 * repeats; r++) {
    auto t0 = std::chrono::steady_clock::now();
    p.keymouse(evChar, letters.back(), 0, 0, 0, 0);
    row = std::min(row, us(std::chrono::steady_clock::now() - t0));
    p.keymouse(evChar, 8, 0, 0, 0, 0);
  }
  p.reset();
}

}  // namespace

int main() {
  mybitmap screen(1920, 1080);
  myview::pmymap = &screen;
  pyinput p(1920);
  std::vector<double> chars, words, wubi, keys;

  p.mode = 1;
  for (const std::string& py : syllables())
    for (size_t n = 1; n <= py.size(); n++) {
      std::string typed = py.substr(0, n);
      chars.push_back(best([&] {
        settyped(p, typed);
        p.search(true);
      }));
      words.push_back(best([&] { p.chipos = 0, p.search1(true); }));
      keys.push_back(best([&] {
        settyped(p, typed.substr(0, n - 1));
        p.keymouse(evChar, typed.back(), 0, 0, 0, 0);
      }));
    }
  double engine[3], rowkey[3];
  const int lengths[3] = {10, 20, 40};
  for (int i = 0; i < 3; i++) sentencefigures(p, lengths[i], engine[i], rowkey[i]);
  p.mode = 2;
  std::vector<std::string> codes = wubicodes(p);
  for (const std::string& wb : codes)
    for (size_t n = 1; n <= wb.size(); n++) {
      std::string typed = wb.substr(0, n);
      wubi.push_back(best([&] {
        settyped(p, typed);
        p.searchwb(true);
      }));
    }
  digiselview::waitsel = 0;

  // Floors: one read of every phrase code (what a wubi scan must touch at
  // least) and one copy of an 800 x 600 frame.
  volatile uint64_t sink = 0;
  double scan = best([&] {
    uint64_t s = 0;
    for (int k = 0; k < inputhzchinumber; k++) s += inputhzchiwb[k];
    sink = sink + s;
  });
  std::vector<unsigned char> a(800 * 600 * 4, 1), b(a.size());
  double copy = best([&] {
    std::memcpy(b.data(), a.data(), a.size());
    sink = sink + b[12345];
  });

  std::printf("lookup per typed letter (goal: under 100 us), best of %d runs a letter\n", repeats);
  report("pinyin characters (search)", chars);
  report("pinyin words (search1)", words);
  report("wubi (searchwb)", wubi);
  report("pinyin letter with row redraw", keys);
  for (int i = 0; i < 3; i++)
    std::printf("sentence, letter %2d: engine %8.2f us   row with redraw %8.2f us\n", lengths[i],
                engine[i], rowkey[i]);
  std::printf("%zu syllables, %zu wubi codes\n", syllables().size(), codes.size());
  std::printf("floor: one read of %d phrase codes   %8.2f us\n", inputhzchinumber, scan);
  std::printf("floor: one 800 x 600 frame memcpy     %8.2f us\n", copy);
  return 0;
}
