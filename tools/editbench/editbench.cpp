// Prints what one typed character costs in an editor pane at 1920 x 1080:
// the insertion, the relayout, the pane's redraw with its state line and
// the push of the frame (one write into a file standing in for the
// device), median and worst, in a 10 kB and a 1 MB text, beside one
// full-frame memcpy and one layout of the whole text measured in the same
// run; then the time to load and save a 1 MB GBK file, and the same text
// as a UTF-8 file; and a 100 kB paste in a 1 MB text beside its undo and
// redo. A benchmark, not a test.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "editor/editview.h"
#include "graphics/mybitmap.h"
#include "views/statusbar.h"

namespace {

const int screenw = 1920, screenh = 1080, keys = 400;

using clock_ = std::chrono::steady_clock;

double ms(clock_::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// GBK prose: lines of Chinese with some English words and digits.
std::string sampletext(size_t bytes) {
  const char* line =
      "\xD6\xD0\xCE\xC4\xB1\xE0\xBC\xAD\xC6\xF7 editor \xB2\xE2\xCA\xD4 12345, "
      "\xD5\xE2\xCA\xC7\xD2\xBB\xD0\xD0\xCE\xC4\xD7\xD6 and some words here; "
      "\xCE\xC4\xBC\xFE\xB1\xA3\xB4\xE6\r\n";
  std::string s;
  while (s.size() < bytes) s += line;
  s.resize(bytes);
  return s;
}

struct stats {
  double median, worst;
};

stats summarise(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return {v[v.size() / 2], v.back()};
}

void typing(const char* name, editview& ed, mybitmap& screen, int fd, const std::string& text) {
  ed.loadcontent(reinterpret_cast<unsigned char*>(const_cast<char*>(text.data())),
                 static_cast<int>(text.size()));
  ed.setcur(ed.text + ed.len / 2);  // mid-text: half of it moves each time
  ed.draw();
  size_t frame = static_cast<size_t>(screenw) * screenh * 4;
  std::vector<double> edit, total;
  for (int i = 0; i < keys; i++) {
    auto t0 = clock_::now();
    ed.insertchar(i % 40 == 39 ? ' ' : 'a' + i % 26);  // insert, relayout, draw, state line
    auto t1 = clock_::now();
    if (pwrite(fd, screen.pixels, frame, 0) != static_cast<ssize_t>(frame)) std::perror("pwrite");
    auto t2 = clock_::now();
    edit.push_back(ms(t1 - t0));
    total.push_back(ms(t2 - t0));
  }
  // The text work alone: insertion and relayout, no drawing.
  std::vector<double> bare;
  for (int i = 0; i < keys; i++) {
    unsigned char b = static_cast<unsigned char>('a' + i % 26);
    auto t0 = clock_::now();
    ed.insertlaid(ed.cur, &b, 1);
    ed.setcur(ed.cur + 1);
    bare.push_back(ms(clock_::now() - t0));
  }
  stats e = summarise(edit), t = summarise(total), b = summarise(bare);
  auto f0 = clock_::now();
  ed.setpara();  // nothing noted: the whole text
  double full = ms(clock_::now() - f0);
  std::printf("%-6s %7d bytes: keystroke median %6.3f worst %6.3f ms (without push %6.3f / %6.3f;"
              " insert+relayout alone %6.3f / %6.3f; whole-text layout %6.3f)\n",
              name, ed.len, t.median, t.worst, e.median, e.worst, b.median, b.worst, full);
}

// Loading the file at path, then saving it (temp file, fsync, rename).
void loadandsave(const char* form, editview& ed, const char* path, size_t bytes) {
  std::vector<double> loads, saves;
  for (int i = 0; i < 5; i++) {
    auto t0 = clock_::now();
    ed.readfile(path);
    loads.push_back(ms(clock_::now() - t0));
    auto t1 = clock_::now();
    ed.savefile(path);
    saves.push_back(ms(clock_::now() - t1));
  }
  stats l = summarise(loads), w = summarise(saves);
  std::printf("load %zu-byte %s file (%d bytes, %d lines in the pane): median %6.2f worst "
              "%6.2f ms; save median %6.2f worst %6.2f ms\n",
              bytes, form, ed.len, ed.linecount, l.median, l.worst, w.median, w.worst);
}

// The clipboard the paste reads.
std::string clipboard;
unsigned char* getclip(unsigned long& n) {
  n = clipboard.size();
  return reinterpret_cast<unsigned char*>(&clipboard[0]);
}

// A 100 kB paste into the middle of a text that it fills to the capacity,
// then its undo and its redo, each with the pane's redraw.
void pasteundo(editview& ed) {
  const int paste = 100000;
  clipboard = sampletext(paste);
  clipboard += '\0';
  editview::getclipdata = getclip;
  std::string text = sampletext(editview::maxtextlen - paste - 10);
  ed.loadcontent(reinterpret_cast<unsigned char*>(&text[0]), static_cast<int>(text.size()));
  std::vector<double> p, u, r;
  for (int i = 0; i < 7; i++) {
    ed.setcur(ed.text + ed.len / 2);
    auto t0 = clock_::now();
    ed.paste();
    auto t1 = clock_::now();
    ed.undo();
    auto t2 = clock_::now();
    ed.redo();
    auto t3 = clock_::now();
    ed.undo();
    p.push_back(ms(t1 - t0));
    u.push_back(ms(t2 - t1));
    r.push_back(ms(t3 - t2));
  }
  stats sp = summarise(p), su = summarise(u), sr = summarise(r);
  std::printf("paste %d bytes into a %d-byte text: median %6.3f worst %6.3f ms;"
              " its undo %6.3f / %6.3f; redo %6.3f / %6.3f\n",
              paste, static_cast<int>(text.size()), sp.median, sp.worst, su.median, su.worst,
              sr.median, sr.worst);
  editview::getclipdata = nullptr;
}

}  // namespace

int main() {
  mybitmap screen(screenw, screenh);
  myview::pmymap = &screen;
  myview bar(0, 0, screenw, gcharwidth * 30 / 24);
  statebar = &bar;
  editview ed(0);
  ed.init();

  char devpath[] = "/tmp/editbenchXXXXXX";
  int fd = mkstemp(devpath);
  if (fd < 0) return 1;
  unlink(devpath);

  // The floor: one full-frame memcpy.
  size_t frame = static_cast<size_t>(screenw) * screenh * 4;
  std::vector<unsigned char> copy(frame);
  std::vector<double> cp;
  for (int i = 0; i < 30; i++) {
    auto t0 = clock_::now();
    memcpy(copy.data(), screen.pixels, frame);
    cp.push_back(ms(clock_::now() - t0));
  }
  stats c = summarise(cp);
  std::printf("pane %dx%d px, %d columns, %d rows; %d keystrokes each\n", ed.width(), ed.high(),
              ed.cols, ed.rows, keys);
  std::printf("full-frame memcpy (%zu bytes): median %6.3f worst %6.3f ms\n", frame, c.median,
              c.worst);
  typing("10 kB", ed, screen, fd, sampletext(10000));
  typing("1 MB", ed, screen, fd, sampletext(editview::maxtextlen - 4 * keys));

  // Loading a 1 MB GBK file with LF line ends (the filter makes them CR LF,
  // saving makes them LF again).
  std::string raw = sampletext(900000);
  for (size_t i = 0; (i = raw.find("\r\n", i)) != std::string::npos;) raw.erase(i, 1);
  char path[] = "/tmp/editbenchfileXXXXXX";
  int ffd = mkstemp(path);
  if (ffd < 0 || write(ffd, raw.data(), raw.size()) != static_cast<ssize_t>(raw.size())) return 1;
  close(ffd);
  loadandsave("GBK", ed, path, raw.size());
  // The same text as a UTF-8 file: detected, converted to GBK on loading
  // and back to UTF-8 on saving.
  std::string utf8;
  codecfault fault;
  gbktoutf8(reinterpret_cast<const unsigned char*>(raw.data()), raw.size(), utf8, breakstyle::keep,
            fault);
  ffd = open(path, O_WRONLY | O_TRUNC);
  if (ffd < 0 || write(ffd, utf8.data(), utf8.size()) != static_cast<ssize_t>(utf8.size())) return 1;
  close(ffd);
  loadandsave("UTF-8", ed, path, utf8.size());
  unlink(path);
  pasteundo(ed);
  close(fd);
  return 0;
}
