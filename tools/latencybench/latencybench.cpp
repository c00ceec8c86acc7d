// latencybench: how fast the real bihua shows what the user does, driven
// through the end-to-end rig (a page-cache file stands in for /dev/fb0).
// Pane 0 holds a few screens of Chinese prose, pane 1 a file of nearly
// 1 MB. For 800x600, 1920x1080 and 3840x2160 it prints start-up to the
// first frame (beside a minimal framebuffer program), key to frame and
// mouse to frame (median and 95th percentile), Esc to its frame, Page
// Down in the big file, a 50-key burst to its last frame, key to frame
// while a command (tail -f) pours output into the other pane, the
// wake-ups per second of an idle program over 5 s and the peak memory;
// each beside one memcpy of a whole frame timed in the same run.
// Then key to frame on the rig's DRM card against the framebuffer, both
// programs running side by side and sampled in turn.
//
//   latencybench [program] [drm]   (default: the bihua built with it; drm:
//                                   only the DRM against framebuffer figure)
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tools/e2e/bihuarun.h"

namespace {

using clock_type = std::chrono::steady_clock;

double msince(clock_type::time_point t) {
  return std::chrono::duration<double, std::milli>(clock_type::now() - t).count();
}

struct stats {
  double median, p95;
};

stats summary(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return {v[v.size() / 2], v[std::min(v.size() - 1, v.size() * 95 / 100)]};
}

// Spins until the push counter passes from (the frame is in the file).
double waitpush(const bihuarun& run, uint64_t from, clock_type::time_point t0) {
  while (run.pushes() <= from)
    if (msince(t0) > 5000) return -1;
  return msince(t0);
}

double memcpyms(int w, int h) {
  std::vector<unsigned char> a(static_cast<size_t>(w) * h * 4, 7), b(a.size());
  std::vector<double> t;
  for (int i = 0; i < 21; i++) {
    auto t0 = clock_type::now();
    std::memcpy(b.data(), a.data(), a.size());
    t.push_back(msince(t0));
    a[i] = b[i + 1];
  }
  return summary(t).median;
}

// The same copy as the program meets it: the pane's rows out of one whole
// frame into another, the caches emptied before each copy (the program's
// frames, a few times a frame in all, do not stay in the cache as one
// buffer copied over and over does).
double coldpanems(int w, int h, int x0, int pw, int ph) {
  const size_t stride = static_cast<size_t>(w) * 4, frame = stride * h;
  std::vector<unsigned char> a(frame, 7), b(frame), flush(256 << 20);
  std::vector<double> t;
  for (int i = 0; i < 11; i++) {
    std::memset(flush.data(), i, flush.size());
    auto t0 = clock_type::now();
    for (int y = 0; y < ph; y++)
      std::memcpy(&b[y * stride + x0 * 4], &a[y * stride + x0 * 4], static_cast<size_t>(pw) * 4);
    t.push_back(msince(t0));
    a[i] = b[i + 1] + flush[i];
  }
  return summary(t).median;
}

// The most memory the program has held (VmHWM), in MiB; -1 when unknown.
double peakmib(const bihuarun& run) {
  FILE* f = fopen(("/proc/" + std::to_string(run.processid()) + "/status").c_str(), "r");
  if (!f) return -1;
  char line[256];
  double kib = -1;
  while (fgets(line, sizeof line, f))
    if (sscanf(line, "VmHWM: %lf kB", &kib) == 1) break;
  fclose(f);
  return kib < 0 ? -1 : kib / 1024;
}

void quietly(bihuarun& run) {
  if (!run.settle(100)) fprintf(stderr, "latencybench: the program did not settle\n");
}

// What a user edits: a few screens of GBK prose with English words and
// digits in both panes, the cursor on the first line.
std::string prose() {
  const char* line =
      "\xD6\xD0\xCE\xC4\xB1\xE0\xBC\xAD\xC6\xF7 editor \xB2\xE2\xCA\xD4 12345, "
      "\xD5\xE2\xCA\xC7\xD2\xBB\xD0\xD0\xCE\xC4\xD7\xD6 and words\r\n";
  std::string s;
  for (int i = 0; i < 200; i++) s += line;
  return s;
}

// Nearly 1 MB of prose for paging, each line numbered so that no page
// shows a row of the one before.
std::string bigfile() {
  const std::string lines = prose(), line = lines.substr(0, lines.size() / 200);
  std::string s;
  for (int n = 0; s.size() < 900000; n++) s += std::to_string(n) + " " + line;
  return s;
}

// Start-up: from the launch to the first push, the median of a few, beside
// a minimal framebuffer program (open, measure, fill and write one frame)
// launched in turn with it.
void startup(int w, int h, double copy) {
  std::vector<double> v, floor;
  const std::string program = bihuarun::program;
  for (int i = 0; i < 14; i++) {
    bool minimal = i % 2;
    bihuarun::program = minimal ? MINIMALFB : program;
    bihuarun run;
    rigoptions o = withfiles({{"bench.txt", prose()}}, {"bench.txt"});
    o.screen = rigoptions::defaultscreen(w, h);
    auto t0 = clock_type::now();
    run.launch(o);
    double t = waitpush(run, 0, t0);
    if (t >= 0 && i >= 2) (minimal ? floor : v).push_back(t);
    run.kill();
  }
  bihuarun::program = program;
  if (v.empty() || floor.empty()) return;
  stats s = summary(v), f = summary(floor);
  printf("  start-up to frame median %7.3f ms                 (%.1f memcpy)\n", s.median,
         s.median / copy);
  printf("  minimal fb program       %7.3f ms                 (bihua %.2fx)\n", f.median,
         s.median / f.median);
}

// Keys in pane 0 while a command that never ends (tail -f) pours a line
// every 20 ms into pane 1: each sample is the time until the key has been
// read and a push came after it (the next push alone may be the output's).
void commandrunning(bihuarun& run, double copy) {
  for (const char* k : {"\x1b", "\x1b"}) {  // pane 0 -> 1 -> the command pane
    run.type(k);
    quietly(run);
  }
  run.type("tail -f log.txt\n");
  quietly(run);
  run.type("\x1b");  // back to pane 0
  quietly(run);
  std::atomic<bool> going{true};
  std::thread writer([&] {
    for (int n = 0; going; n++) {
      if (FILE* f = fopen((run.dir() + "/log.txt").c_str(), "a")) {
        fprintf(f, "log line %d: something happened\n", n);
        fclose(f);
      }
      usleep(20000);
    }
  });
  std::vector<double> v;
  for (int i = 0; i < 60; i++) {
    usleep(30000);
    auto t0 = clock_type::now();
    run.type(i % 2 ? "\x7f" : "k");
    double t = -1;
    while (t < 0 && msince(t0) < 5000)
      if (run.keysread()) t = msince(t0);
    if (i >= 10 && t >= 0) v.push_back(t);
  }
  going = false;
  writer.join();
  stats k = summary(v);
  printf("  key, tail -f on   median %7.3f ms  p95 %7.3f ms  (%.1f memcpy)\n", k.median, k.p95,
         k.median / copy);
  run.type("\x03");  // Ctrl-C stops it
}

void measure(int w, int h) {
  bihuarun run;
  rigoptions o = withfiles({{"bench.txt", prose()}, {"big.txt", bigfile()}, {"log.txt", ""}},
                           {"bench.txt", "big.txt"});
  o.screen = rigoptions::defaultscreen(w, h);
  if (!run.start(o)) {
    fprintf(stderr, "latencybench: could not start at %dx%d\n", w, h);
    return;
  }
  double copy = memcpyms(w, h);
  printf("\n%dx%d   full-frame memcpy %.3f ms\n", w, h, copy);
  startup(w, h, copy);

  // Each sample: quiet, act, time to the next push; the first `warm` are
  // dropped.
  auto sample = [&](int n, int warm, const std::function<void(int)>& act) {
    std::vector<double> v;
    for (int i = 0; i < n; i++) {
      quietly(run);
      uint64_t p = run.pushes();
      auto t0 = clock_type::now();
      act(i);
      double t = waitpush(run, p, t0);
      if (i >= warm && t >= 0) v.push_back(t);
    }
    return summary(v);
  };

  stats k = sample(60, 10, [&](int i) { run.type(i % 2 ? "\x7f" : "k"); });
  printf("  key to frame      median %7.3f ms  p95 %7.3f ms  (%.1f memcpy)\n", k.median, k.p95,
         k.median / copy);

  stats m = sample(60, 10, [&](int i) {
    int d = i % 2 ? -7 : 7;
    const char packet[3] = {static_cast<char>(8 | (d < 0 ? 0x10 : 0)), static_cast<char>(d), 0};
    run.mousebytes(std::string(packet, 3));
  });
  printf("  mouse to frame    median %7.3f ms  p95 %7.3f ms  (%.1f memcpy)\n", m.median, m.p95,
         m.median / copy);

  stats e = sample(9, 0, [&](int) { run.type("\x1b"); });
  printf("  Esc to frame      median %7.3f ms                 (%.1f memcpy)\n", e.median,
         e.median / copy);

  // Page Down in pane 1 (the big file), from the top towards the end,
  // then Down at the foot of the pane, a scroll by one line, beside a
  // memcpy of the pane's area (text size 24).
  const int panex = w / 2 + 10, panew = w - panex + 1, paneh = h - 50 - 90 + 1;
  double panecopy = memcpyms(panew, paneh);
  double panecold = coldpanems(w, h, std::min(panex, w - panew), panew, paneh);
  printf("  pane memcpy       %7.3f ms  cold, out of a frame %7.3f ms\n", panecopy, panecold);
  run.type("\x1b");
  quietly(run);
  stats pg = sample(21, 1, [&](int) { run.key("pgdown"); });
  printf("  Page Down, 1 MB   median %7.3f ms  p95 %7.3f ms  (%.1f pane memcpy, %.1f cold)\n",
         pg.median, pg.p95, pg.median / panecopy, pg.median / panecold);
  for (int i = 0; i < 200; i++) run.key("down");
  stats down = sample(21, 1, [&](int) { run.key("down"); });
  printf("  Down, scrolling   median %7.3f ms  p95 %7.3f ms  (%.1f pane memcpy, %.1f cold)\n",
         down.median, down.p95, down.median / panecopy, down.median / panecold);
  run.type("\x1b\x1b");  // back to pane 0

  std::vector<double> bursts;
  for (int i = 0; i < 5; i++) {
    quietly(run);
    std::string burst = i % 2 ? std::string(50, '\x7f') : std::string(50, 'b');
    // The last frame: every byte read and a push after the last read.
    auto t0 = clock_type::now();
    run.type(burst);
    double last = -1;
    while (last < 0 && msince(t0) < 20000)
      if (run.keysread()) last = msince(t0);
    bursts.push_back(last);
  }
  stats b = summary(bursts);
  printf("  50-key burst      median %7.3f ms to its last frame (%.1f memcpy)\n", b.median,
         b.median / copy);

  commandrunning(run, copy);

  quietly(run);
  long before = run.contextswitches();
  usleep(5 * 1000 * 1000);
  long after = run.contextswitches();
  printf("  idle wake-ups     %.1f per second over 5 s\n", (after - before) / 5.0);
  printf("  peak memory       %.1f MiB (one frame %.1f MiB)\n", peakmib(run),
         4.0 * w * h / (1 << 20));
  run.kill();
}

// Key to frame through the DRM card stand-in (dirty rectangles on a mapped
// buffer) and through the framebuffer (writes to the device), the two
// programs started together and sampled alternately so that both see the
// same machine.
void drmversusfb(int w, int h) {
  bihuarun fb, drm;
  rigoptions o = withfiles({{"bench.txt", prose()}}, {"bench.txt"});
  o.screen = rigoptions::defaultscreen(w, h);
  rigoptions d = o;
  d.drm = true;
  d.fbmissing = true;
  if (!fb.start(o) || !drm.start(d)) {
    fprintf(stderr, "latencybench: could not start at %dx%d\n", w, h);
    return;
  }
  double copy = memcpyms(w, h);
  std::vector<double> tf, td;
  for (int i = 0; i < 220; i++) {
    bihuarun& run = i % 2 ? drm : fb;
    quietly(run);
    uint64_t p = run.pushes();
    auto t0 = clock_type::now();
    run.type(i / 2 % 2 ? "\x7f" : "k");
    double t = waitpush(run, p, t0);
    if (i >= 20 && t >= 0) (i % 2 ? td : tf).push_back(t);
  }
  stats a = summary(tf), b = summary(td);
  // The lower quartile too: on a busy machine it is nearer the program's
  // own cost than the median is.
  auto quartile = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 4];
  };
  double qa = quartile(tf), qb = quartile(td);
  printf("\n%dx%d   full-frame memcpy %.3f ms\n", w, h, copy);
  printf("  key to frame, fb  median %7.3f ms  p25 %7.3f ms  p95 %7.3f ms  (%.1f memcpy)\n", a.median,
         qa, a.p95, a.median / copy);
  printf("  key to frame, DRM median %7.3f ms  p25 %7.3f ms  p95 %7.3f ms  (%.1f memcpy)\n", b.median,
         qb, b.p95, b.median / copy);
  printf("  DRM/fb: median %.2f, p25 %.2f\n", b.median / a.median, qb / qa);
}

}  // namespace

int main(int argc, char** argv) {
  bool drmonly = argc > 1 && strcmp(argv[argc - 1], "drm") == 0;
  if (drmonly) argc--;
  if (argc > 1) bihuarun::program = argv[1];
  printf("latencybench: %s\n", bihuarun::program.c_str());
  if (!drmonly) {
    measure(800, 600);
    measure(1920, 1080);
    measure(3840, 2160);
  }
  printf("\nDRM card stand-in against the framebuffer:\n");
  for (int s = 0; s < 3; s++) drmversusfb(s == 0 ? 800 : s == 1 ? 1920 : 3840, s == 0 ? 600 : s == 1 ? 1080 : 2160);
  return 0;
}
