// Prints how fast a shell command's output reaches pane 1. First the real
// program under the end-to-end rig runs `seq 1 200000` at 800x600,
// 1920x1080 and 3840x2160: bytes per second from Enter to the last push,
// and the bytes it pushed, beside a full-frame memcpy of that size. Then
// the collection step alone: bytes per second collected by 10 ms passes, at the chunk the
// program reads (a few kilobytes) and at the old 20 bytes a pass, and the
// work of one pass (read, relayout, pane redraw) beside one full-frame
// memcpy measured in the same run; then a listing of Chinese names in UTF-8
// converted to GBK as it arrives (a UTF-8 system). A benchmark, not a test.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/commands.h"
#include "app/shellcmd.h"
#include "editor/editview.h"
#include "editor/textcodec.h"
#include "graphics/mybitmap.h"
#include "tools/e2e/bihuarun.h"
#include "views/myview.h"
#include "views/statusbar.h"

namespace {

using clock_ = std::chrono::steady_clock;
const int screenw = 1920, screenh = 1080;

double ms(clock_::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// A listing like `ls -l /usr/bin`: about bytes long, in lines of 60-90;
// with utf8names its names are Chinese, in UTF-8.
std::string listingfile(int bytes, bool utf8names = false) {
  char path[] = "/tmp/cmdbench.XXXXXX";
  int fd = mkstemp(path);
  std::string text;
  for (int i = 0; static_cast<int>(text.size()) < bytes; i++) {
    char line[128];
    snprintf(line, sizeof line, "-rwxr-xr-x 1 root root %8d Nov 12 10:%02d %s-%05d%.*s\n",
             i * 37 % 99999, i % 60, utf8names ? u8"程序文件" : "program", i, i % 20,
             "-with-a-longer-name");
    text += line;
  }
  if (fd < 0 || write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
    std::perror("cmdbench: listing file");
    return "";
  }
  close(fd);
  return path;
}

struct result {
  long bytes = 0;
  int passes = 0;
  double seconds = 0;
  std::vector<double> work;  // ms per pass that read something
};

// Runs the main loop's collection: a 10 ms sleep, one collect, one push
// (stood in for by a frame memcpy) per pass, until the output ends or
// `limit` seconds pass; the time counts up to the last read.
result collect(editview& pane, const std::string& command, int chunk, double limit,
               std::vector<unsigned char>& frame, utf8stream* fromutf8 = nullptr) {
  pane.clean();
  pane.setpara();
  result r;
  shellcommand shell;
  if (!shell.start(command.c_str())) return r;
  auto start = clock_::now(), last = start;
  int quiet = 0;
  while (ms(clock_::now() - start) < limit * 1000 && quiet < 20) {
    usleep(10000);
    auto t = clock_::now();
    int n = collectoutput(shell, &pane, chunk, fromutf8);
    if (n > 0) {
      pane.draw();
      memcpy(frame.data(), myview::pmymap->pixels, frame.size());
      r.work.push_back(ms(clock_::now() - t));
      r.bytes += n;
      last = clock_::now();
      quiet = 0;
    } else {
      quiet++;
    }
    r.passes++;
  }
  r.seconds = ms(last - start) / 1000;
  return r;
}

void print(const char* name, result r) {
  std::sort(r.work.begin(), r.work.end());
  double median = r.work.empty() ? 0 : r.work[r.work.size() / 2];
  double worst = r.work.empty() ? 0 : r.work.back();
  std::printf("%-22s %7ld bytes in %5.2f s = %7.0f bytes/s; pass (read, relayout, redraw, frame copy) median %.2f ms, worst %.2f ms\n",
              name, r.bytes, r.seconds, r.seconds > 0 ? r.bytes / r.seconds : 0.0, median, worst);
}

double memcpyms(int w, int h) {
  std::vector<unsigned char> a(static_cast<size_t>(w) * h * 4, 7), b(a.size());
  std::vector<double> t;
  for (int i = 0; i < 11; i++) {
    auto t0 = clock_::now();
    memcpy(b.data(), a.data(), a.size());
    t.push_back(ms(clock_::now() - t0));
    a[i] = b[i + 1];
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

// The real program: the command typed into the command pane, timed from
// Enter to the last push of its output (no push for a second after it).
void realprogram(int w, int h, const std::string& program) {
  bihuarun::program = program;
  bihuarun run;
  rigoptions o;
  o.screen = rigoptions::defaultscreen(w, h);
  if (!run.start(o)) {
    std::fprintf(stderr, "cmdbench: could not start at %dx%d\n", w, h);
    return;
  }
  run.type("\x1b\x1b");
  run.settle(100);
  const long bytes = 1288895;  // what seq 1 200000 writes
  uint64_t pushedfrom = run.pushedbytes(), pushesfrom = run.pushes();
  auto t0 = clock_::now(), last = t0;
  uint64_t seen = run.pushes();
  run.type("seq 1 200000\n");
  while (ms(clock_::now() - last) < 1000 && ms(clock_::now() - t0) < 120000) {
    uint64_t now = run.pushes();
    if (now != seen) {
      seen = now;
      last = clock_::now();
    }
    usleep(200);
  }
  double s = ms(last - t0) / 1000;
  double copy = memcpyms(w, h);
  std::printf("%4dx%-4d seq 1 200000: %6.2f MB/s (%.3f s), %4llu pushes, %8.1f MB pushed; "
              "full-frame memcpy %.3f ms\n",
              w, h, bytes / s / 1e6, s, static_cast<unsigned long long>(seen - pushesfrom),
              (run.pushedbytes() - pushedfrom) / 1e6, copy);
  run.kill();
}

}  // namespace

int main(int argc, char** argv) {
  std::string program = argc > 1 ? argv[1] : bihuarun::program;
  std::printf("cmdbench: %s\n", program.c_str());
  for (auto size : {std::make_pair(800, 600), std::make_pair(1920, 1080), std::make_pair(3840, 2160)})
    realprogram(size.first, size.second, program);
  if (argc > 2) return 0;  // "cmdbench program quick": the real program only

  mybitmap screen(screenw, screenh);
  myview::pmymap = &screen;
  statebar = new myview(0, 0, screenw, gcharwidth * 30 / 24);
  editview pane(1);
  pane.init();
  std::vector<unsigned char> frame(static_cast<size_t>(screenw) * screenh * 4);

  auto t = clock_::now();
  for (int i = 0; i < 10; i++) memcpy(frame.data(), screen.pixels, frame.size());
  double floor = ms(clock_::now() - t) / 10;

  std::string file = listingfile(100000);
  if (file.empty()) return 1;
  std::printf("output of cat on a %d x %d screen, 10 ms passes; one full-frame memcpy %.2f ms\n",
              screenw, screenh, floor);
  print("100 kB listing, 4 kB", collect(pane, "cat " + file, outputchunk, 30, frame));
  print("100 kB listing, 20 B", collect(pane, "cat " + file, 20, 2, frame));
  std::string big = listingfile(900000);
  print("900 kB listing, 4 kB", collect(pane, "cat " + big, outputchunk, 60, frame));
  std::string chinese = listingfile(900000, true);
  utf8stream fromutf8;
  print("900 kB UTF-8, 4 kB", collect(pane, "cat " + chinese, outputchunk, 60, frame, &fromutf8));
  unlink(file.c_str());
  unlink(big.c_str());
  unlink(chinese.c_str());
  return 0;
}
