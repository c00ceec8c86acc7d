/* fbrig: a preload library that lets the end-to-end tests run bihua
 * without a console. Inside the process it is loaded into:
 *   /dev/fb0         opens the regular file $FBRIG_FB, whose two screen-info
 *                    ioctls answer the layout given by the FBRIG_* variables
 *                    below; every write to it bumps a counter in $FBRIG_COUNT
 *   $FBRIG_FBPATH    (absolute) is a second name for the same framebuffer
 *   /dev/input/mice  opens $FBRIG_MICE (a FIFO the test writes packets into);
 *                    what the program writes to it goes to the file
 *                    $FBRIG_MICELOG instead, answered as mousedev does: an
 *                    acknowledgement (fa) for the last byte, and after GET
 *                    ID (f2) the id, 3 (wheel mouse) with $FBRIG_MICEWHEEL
 *                    set, else 0. With $FBRIG_MICERO set it may only be
 *                    opened for reading (EACCES otherwise)
 *   /tmp/clip.txt    (however spelt) opens $FBRIG_CLIP; a name beside it,
 *                    /tmp/clip.txt.<suffix>, opens $FBRIG_CLIP.<suffix>, a
 *                    temporary copy /tmp/.bihua-<x> opens .bihua-<x> in
 *                    $FBRIG_CLIP's folder, and rename and unlink map all
 *                    these names the same way
 *   $FBRIG_FULL...   a path starting with $FBRIG_FULL (absolute, however
 *                    spelt) opened for writing opens /dev/full, so writes
 *                    fail with ENOSPC; fchmod and fchown on it pretend to
 *                    succeed
 *   the console      with $FBRIG_VT set, the console ioctls (KDGETMODE,
 *                    KDSETMODE, VT_GETMODE, VT_SETMODE, VT_RELDISP) on any
 *                    descriptor are answered here as a text console in
 *                    automatic switching would, and each call is logged as
 *                    one line to the file $FBRIG_VT ("KDSETMODE 1",
 *                    "VT_SETMODE 1 10 12" (mode, release and acquire
 *                    signals), "VT_RELDISP 1"), so the driver can play the
 *                    kernel's part of a terminal switch
 *   /dev/dri/cardN   with $FBRIG_DRM set, card $FBRIG_DRMCARD (0 unless set)
 *                    is a DRM/KMS card with one connector (33), encoder (32)
 *                    and CRTC (31) showing the console's framebuffer (7) in
 *                    the mode FBRIG_XRES x FBRIG_YRES; the connector also
 *                    offers $FBRIG_DRMPREFERRED ("WxH", listed first and
 *                    marked preferred), and $FBRIG_DRMOUTPUT=off leaves it
 *                    disconnected. The card's descriptor is the file
 *                    $FBRIG_DRM, which is also the one dumb buffer (mapped
 *                    at offset 0, its pitch xres * 4). The ioctls a dumb-
 *                    buffer program uses are answered here and logged, one
 *                    line each, to $FBRIG_DRMLOG ("SET_MASTER 0" or
 *                    "SET_MASTER -16", "DROP_MASTER", "CREATE_DUMB w h",
 *                    "ADDFB id w h", "SETCRTC crtc fb w h" or "SETCRTC -13"
 *                    when refused, "DIRTYFB fb x1,y1,x2,y2 ..."); each
 *                    DIRTYFB is one push. While the file $FBRIG_DRMBUSY
 *                    exists another program is DRM master: SET_MASTER
 *                    fails with EBUSY, and a card opened then starts
 *                    without master; without master SETCRTC and DIRTYFB
 *                    fail with EACCES. Other cards do not exist
 *   /dev/input/eventN opens $FBRIG_INPUT/eventN (a FIFO the test writes
 *                    input events into), whose kind $FBRIG_INPUT/eventN.kind
 *                    names ("mouse", "tablet", "touch" or "keyboard"): the
 *                    EVIOCGBIT and EVIOCGABS ioctls answer as such a device
 *                    would (a tablet's axes 0..32767, a touch panel's
 *                    0..4095). inotify_add_watch on /dev/input watches
 *                    $FBRIG_INPUT instead. Without $FBRIG_INPUT neither
 *                    exists
 *   $FBRIG_DENY      "fb", "mice", "drm" (comma-separated): opening that
 *                    device fails with EACCES, as without permission
 *   $FBRIG_READONLY  a path starting with it (absolute) is as on a read-only
 *                    mount, which root cannot write either: opening it for
 *                    writing, creating, renaming or removing it and
 *                    access(W_OK) fail with EROFS; reading passes through
 * A device whose variable is unset or empty does not exist (ENOENT), so a
 * test can never reach the real framebuffer, mouse or clipboard.
 * Everything else passes through untouched.
 *
 * Layout: FBRIG_XRES, FBRIG_YRES (800 x 600), FBRIG_BPP (32), FBRIG_LINE
 * (bytes per line, default xres * bpp / 8), FBRIG_XOFFSET, FBRIG_YOFFSET (0),
 * FBRIG_RED, FBRIG_GREEN, FBRIG_BLUE as "offset/length" (16/8, 8/8, 0/8, or
 * 11/5, 5/6, 0/5 at 16 bpp). FBRIG_FAIL=fix or var makes that ioctl fail.
 *
 * The counter file holds 64-bit numbers: the pushes (each write() to the
 * framebuffer ends one push; pwrite() writes the earlier rows of a partial
 * push), then, when the file is long enough, the bytes written to the
 * framebuffer, the push count at the program's last read of bytes
 * from its terminal (descriptor 0), so the driver can tell whether a push
 * came after the last keys were taken, and the bytes read from the terminal
 * so far, so it can tell that the last keys were taken at all (a byte
 * written to the terminal may take a while to become readable), and 1
 * while it waits with no time limit, else 0: the main loop does that only
 * when every key it read has been handled and shown (a held part of an
 * escape sequence makes it wait with a limit).
 *
 * Only tests load this; it must never read anything but these variables and
 * must not be built with the sanitizers (it runs ahead of their runtime). */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <linux/fb.h>
#include <linux/input.h>
#include <sys/inotify.h>
#include <linux/kd.h>
#include <linux/vt.h>
#include <drm.h>
#include <drm_mode.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#define EXPORT __attribute__((visibility("default")))

/* ---- real functions ---- */

#define REAL(name) real_##name()
#define DEFINE_REAL(ret, name, ...)                                  \
  typedef ret (*name##_fn)(__VA_ARGS__);                             \
  static name##_fn real_##name(void) {                               \
    static name##_fn fn;                                             \
    if (!fn) fn = (name##_fn)dlsym(RTLD_NEXT, #name);                \
    return fn;                                                       \
  }

DEFINE_REAL(int, open, const char*, int, ...)
DEFINE_REAL(int, open64, const char*, int, ...)
DEFINE_REAL(int, openat, int, const char*, int, ...)
DEFINE_REAL(int, openat64, int, const char*, int, ...)
DEFINE_REAL(FILE*, fopen, const char*, const char*)
DEFINE_REAL(FILE*, fopen64, const char*, const char*)
DEFINE_REAL(int, ioctl, int, unsigned long, ...)
DEFINE_REAL(ssize_t, write, int, const void*, size_t)
DEFINE_REAL(ssize_t, read, int, void*, size_t)
DEFINE_REAL(ssize_t, pwrite, int, const void*, size_t, off_t)
DEFINE_REAL(ssize_t, pwrite64, int, const void*, size_t, off64_t)
DEFINE_REAL(int, close, int)
DEFINE_REAL(int, dup, int)
DEFINE_REAL(int, dup2, int, int)
DEFINE_REAL(int, dup3, int, int, int)
DEFINE_REAL(int, fcntl, int, int, ...)
DEFINE_REAL(int, rename, const char*, const char*)
DEFINE_REAL(int, unlink, const char*)
DEFINE_REAL(int, access, const char*, int)

/* ---- path mapping ---- */

enum device { NONE, FB, MICE, CLIP, FULL, READONLY, DRI, EVDEV };

/* Canonical form of an absolute path: repeated slashes and "." parts
 * dropped, ".." resolved lexically. Returns 0 when it does not fit. */
static int canonical(const char* path, char* out, size_t size) {
  size_t n = 0;
  const char* p = path;
  while (*p) {
    while (*p == '/') p++;
    if (!*p) break;
    const char* end = strchrnul(p, '/');
    size_t len = (size_t)(end - p);
    if (len == 1 && p[0] == '.') {
      /* nothing */
    } else if (len == 2 && p[0] == '.' && p[1] == '.') {
      while (n > 0 && out[n - 1] != '/') n--;
      if (n > 0) n--;
    } else {
      if (n + 1 + len + 1 > size) return 0;
      out[n++] = '/';
      memcpy(out + n, p, len);
      n += len;
    }
    p = end;
  }
  if (n == 0) out[n++] = '/';
  out[n] = 0;
  return 1;
}

/* The part after "/tmp/clip.txt" of the clipboard file's name ("") or of a
 * name beside it (".<suffix>"), else NULL. */
static const char* clipsuffix(const char* canon) {
  static const char base[] = "/tmp/clip.txt";
  size_t n = sizeof base - 1;
  if (strncmp(canon, base, n) != 0) return NULL;
  if (canon[n] == 0 || (canon[n] == '.' && !strchr(canon + n, '/'))) return canon + n;
  return NULL;
}

/* The name of a temporary copy the program makes beside /tmp/clip.txt
 * ("/tmp/.bihua-*"), else NULL. */
static const char* tempbeside(const char* canon) {
  static const char base[] = "/tmp/.bihua-";
  if (strncmp(canon, base, sizeof base - 1) != 0 || strchr(canon + 5, '/')) return NULL;
  return canon + 5;
}

static int canonicalat(int dirfd, const char* path, char* canon, size_t size) {
  char full[PATH_MAX * 2];
  if (path[0] == '/') {
    snprintf(full, sizeof full, "%s", path);
  } else {
    if (dirfd != AT_FDCWD) return 0;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return 0;
    snprintf(full, sizeof full, "%s/%s", cwd, path);
  }
  return canonical(full, canon, size);
}

static enum device classify(int dirfd, const char* path) {
  if (!path) return NONE;
  char canon[PATH_MAX * 2];
  if (!canonicalat(dirfd, path, canon, sizeof canon)) return NONE;
  if (strcmp(canon, "/dev/fb0") == 0) return FB;
  const char* other = getenv("FBRIG_FBPATH");  /* a second framebuffer, like /dev/fb1 */
  if (other && *other && strcmp(canon, other) == 0) return FB;
  if (strcmp(canon, "/dev/input/mice") == 0) return MICE;
  if (strncmp(canon, "/dev/dri/", 9) == 0) return DRI;
  if (strncmp(canon, "/dev/input/event", 16) == 0) return EVDEV;
  if (clipsuffix(canon) || tempbeside(canon)) return CLIP;
  const char* fullprefix = getenv("FBRIG_FULL");
  if (fullprefix && *fullprefix && strncmp(canon, fullprefix, strlen(fullprefix)) == 0)
    return FULL;
  const char* roprefix = getenv("FBRIG_READONLY");
  if (roprefix && *roprefix && strncmp(canon, roprefix, strlen(roprefix)) == 0) return READONLY;
  return NONE;
}

/* Whether $FBRIG_DENY takes the permission to open device d away. */
static int denied(enum device d) {
  const char* deny = getenv("FBRIG_DENY");
  if (!deny || (d != FB && d != MICE && d != DRI)) return 0;
  const char* want = d == FB ? "fb" : d == MICE ? "mice" : "drm";
  size_t n = strlen(want);
  for (const char* p = deny; (p = strstr(p, want)); p += n)
    if ((p == deny || p[-1] == ',') && (p[n] == 0 || p[n] == ',')) return 1;
  return 0;
}

/* The stand-in for a device, or NULL (with errno set) when it is missing. */
static const char* standin(enum device d) {
  if (d == FULL) return "/dev/full";
  const char* var = d == FB ? "FBRIG_FB" : d == MICE ? "FBRIG_MICE" : "FBRIG_CLIP";
  const char* path = getenv(var);
  if (!path || !*path) {
    errno = ENOENT;
    return NULL;
  }
  return path;
}

/* The stand-in for path, a device of kind d: for the clipboard the name
 * beside $FBRIG_CLIP with the same suffix. */
static const char* standinfor(enum device d, int dirfd, const char* path, char* buf, size_t size) {
  if (d == EVDEV) {
    char canon[PATH_MAX * 2];
    const char* dir = getenv("FBRIG_INPUT");
    if (!dir || !*dir || !canonicalat(dirfd, path, canon, sizeof canon)) return errno = ENOENT, NULL;
    snprintf(buf, size, "%s/%s", dir, canon + strlen("/dev/input/"));
    return buf;
  }
  if (d == DRI) {
    char canon[PATH_MAX * 2], card[32];
    const char* n = getenv("FBRIG_DRMCARD");
    const char* to = getenv("FBRIG_DRM");
    snprintf(card, sizeof card, "/dev/dri/card%s", n && *n ? n : "0");
    if (!to || !*to || !canonicalat(dirfd, path, canon, sizeof canon) || strcmp(canon, card) != 0)
      return errno = ENOENT, NULL;
    return to;
  }
  const char* to = standin(d);
  if (!to || d != CLIP) return to;
  char canon[PATH_MAX * 2];
  if (!canonicalat(dirfd, path, canon, sizeof canon)) return errno = ENOENT, NULL;
  const char* temp = tempbeside(canon);
  if (temp) {
    const char* slash = strrchr(to, '/');
    snprintf(buf, size, "%.*s%s", slash ? (int)(slash - to + 1) : 0, to, temp);
  } else {
    snprintf(buf, size, "%s%s", to, clipsuffix(canon));
  }
  return buf;
}

/* ---- framebuffer descriptors and the push counter ---- */

#define MAXFD 4096
static unsigned char isfb[MAXFD];
static unsigned char isfull[MAXFD];
static unsigned char isdrm[MAXFD];
static unsigned char ismice[MAXFD];
static char evkind[MAXFD];  /* 0, or the first letter of an evdev stand-in's kind */
static unsigned char miceanswer[2];
static int miceanswerlen;
static void drmopened(void);
static volatile uint64_t* pushcount;
static volatile uint64_t* bytecount;   /* NULL for an old, short counter file */
static volatile uint64_t* readmark;
static volatile uint64_t* termbytes;
static volatile uint64_t* idlewait;

static void mapcounter(void) {
  if (pushcount) return;
  const char* path = getenv("FBRIG_COUNT");
  if (!path || !*path) return;
  int fd = REAL(open)(path, O_RDWR | O_CLOEXEC);
  if (fd < 0) return;
  struct stat st;
  int slots = 1;
  if (fstat(fd, &st) == 0 && st.st_size >= (off_t)(3 * sizeof(uint64_t))) slots = 3;
  if (slots == 3 && st.st_size >= (off_t)(5 * sizeof(uint64_t))) slots = 5;
  void* p = mmap(NULL, slots * sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  REAL(close)(fd);
  if (p == MAP_FAILED) return;
  pushcount = (volatile uint64_t*)p;
  if (slots >= 3) {
    bytecount = pushcount + 1;
    readmark = pushcount + 2;
  }
  if (slots == 5) {
    termbytes = pushcount + 3;
    idlewait = pushcount + 4;
  }
}

static int track(int fd, enum device d) {
  if (fd >= 0 && fd < MAXFD) isfb[fd] = d == FB;
  if (fd >= 0 && fd < MAXFD) isfull[fd] = d == FULL;
  if (fd >= 0 && fd < MAXFD) isdrm[fd] = d == DRI;
  if (fd >= 0 && fd < MAXFD) ismice[fd] = d == MICE;
  if (fd >= 0 && fd < MAXFD) evkind[fd] = 0;
  if (fd >= 0 && (d == FB || d == DRI)) mapcounter();
  if (fd >= 0 && d == DRI) drmopened();
  return fd;
}

static int fbfd(int fd) { return fd >= 0 && fd < MAXFD && isfb[fd]; }

/* Counted after the write returns, so a reader that sees the new count
 * also sees the whole frame in the file. A write of no bytes is a push
 * that found nothing changed. */
static void pushed(int fd, ssize_t r, int ends) {
  if (r < 0 || !fbfd(fd) || !pushcount) return;
  if (bytecount) __atomic_add_fetch(bytecount, (uint64_t)r, __ATOMIC_SEQ_CST);
  if (ends) __atomic_add_fetch(pushcount, 1, __ATOMIC_SEQ_CST);
}

/* ---- screen layout ---- */

static unsigned envnum(const char* name, unsigned fallback) {
  const char* v = getenv(name);
  if (!v || !*v) return fallback;
  return (unsigned)strtoul(v, NULL, 10);
}

static struct fb_bitfield envfield(const char* name, unsigned offset, unsigned length) {
  struct fb_bitfield f = {offset, length, 0};
  const char* v = getenv(name);
  if (v && *v) {
    char* slash;
    f.offset = (unsigned)strtoul(v, &slash, 10);
    if (*slash == '/') f.length = (unsigned)strtoul(slash + 1, NULL, 10);
  }
  return f;
}

static void layout(struct fb_var_screeninfo* var, struct fb_fix_screeninfo* fix) {
  memset(var, 0, sizeof *var);
  memset(fix, 0, sizeof *fix);
  var->xres = envnum("FBRIG_XRES", 800);
  var->yres = envnum("FBRIG_YRES", 600);
  var->bits_per_pixel = envnum("FBRIG_BPP", 32);
  var->xoffset = envnum("FBRIG_XOFFSET", 0);
  var->yoffset = envnum("FBRIG_YOFFSET", 0);
  unsigned bytes = (var->bits_per_pixel + 7) / 8;
  unsigned line = envnum("FBRIG_LINE", var->xres * bytes);
  int rgb565 = var->bits_per_pixel == 16;
  var->red = envfield("FBRIG_RED", rgb565 ? 11 : 16, rgb565 ? 5 : 8);
  var->green = envfield("FBRIG_GREEN", rgb565 ? 5 : 8, rgb565 ? 6 : 8);
  var->blue = envfield("FBRIG_BLUE", 0, rgb565 ? 5 : 8);
  var->xres_virtual = bytes ? line / bytes : var->xres;
  var->yres_virtual = var->yres + var->yoffset;
  strcpy(fix->id, "fbrig");
  fix->smem_len = line * var->yres_virtual;
  fix->type = FB_TYPE_PACKED_PIXELS;
  fix->visual = var->bits_per_pixel <= 8 ? FB_VISUAL_PSEUDOCOLOR : FB_VISUAL_TRUECOLOR;
  fix->line_length = line;
}

static int fbioctl(unsigned long request, void* arg) {
  const char* fail = getenv("FBRIG_FAIL");
  struct fb_var_screeninfo var;
  struct fb_fix_screeninfo fix;
  layout(&var, &fix);
  if (request == FBIOGET_FSCREENINFO) {
    if (fail && strcmp(fail, "fix") == 0) return errno = EINVAL, -1;
    memcpy(arg, &fix, sizeof fix);
    return 0;
  }
  if (fail && strcmp(fail, "var") == 0) return errno = EINVAL, -1;
  memcpy(arg, &var, sizeof var);
  return 0;
}

/* ---- the interposed functions ---- */

static int modeof(int flags, va_list ap) {
  return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(ap, int) : 0;
}

/* Shared body of every open variant: the real call for ordinary paths,
 * the stand-in file for a device. */
static int opendev(int dirfd, const char* path, int flags, int mode,
                   int (*pass)(int, const char*, int, int)) {
  enum device d = classify(dirfd, path);
  int writing = (flags & O_ACCMODE) != O_RDONLY || (flags & (O_CREAT | O_TRUNC));
  if (d == READONLY && writing) return errno = EROFS, -1;
  if ((d == FULL || d == READONLY) && (flags & O_ACCMODE) == O_RDONLY) d = NONE;
  if (d == NONE) return track(pass(dirfd, path, flags, mode), NONE);
  char card[PATH_MAX * 2];
  if (d == DRI && !standinfor(d, dirfd, path, card, sizeof card)) return -1;
  if (denied(d)) return errno = EACCES, -1;
  const char* ro = getenv("FBRIG_MICERO");
  if (d == MICE && ro && *ro && (flags & O_ACCMODE) != O_RDONLY) return errno = EACCES, -1;
  if (d == FULL) flags &= ~(O_CREAT | O_EXCL | O_TRUNC);
  char buf[PATH_MAX * 2];
  const char* to = standinfor(d, dirfd, path, buf, sizeof buf);
  if (!to) return -1;
  int fd = track(pass(AT_FDCWD, to, flags, mode), d);
  if (d == EVDEV && fd >= 0 && fd < MAXFD) {
    char kindpath[PATH_MAX * 2 + 8], kind[16] = {0};
    snprintf(kindpath, sizeof kindpath, "%s.kind", to);
    int k = REAL(open)(kindpath, O_RDONLY | O_CLOEXEC);
    if (k >= 0) {
      ssize_t n = REAL(read)(k, kind, sizeof kind - 1);
      (void)n;
      REAL(close)(k);
    }
    evkind[fd] = strncmp(kind, "touch", 5) == 0 ? 'o' : kind[0] ? kind[0] : 'k';
  }
  return fd;
}

static int pass_open(int dirfd, const char* p, int f, int m) {
  (void)dirfd;
  return REAL(open)(p, f, m);
}
static int pass_open64(int dirfd, const char* p, int f, int m) {
  (void)dirfd;
  return REAL(open64)(p, f, m);
}
static int pass_openat(int dirfd, const char* p, int f, int m) {
  return REAL(openat)(dirfd, p, f, m);
}
static int pass_openat64(int dirfd, const char* p, int f, int m) {
  return REAL(openat64)(dirfd, p, f, m);
}

EXPORT int open(const char* path, int flags, ...) {
  va_list ap;
  va_start(ap, flags);
  int mode = modeof(flags, ap);
  va_end(ap);
  return opendev(AT_FDCWD, path, flags, mode, pass_open);
}

EXPORT int open64(const char* path, int flags, ...) {
  va_list ap;
  va_start(ap, flags);
  int mode = modeof(flags, ap);
  va_end(ap);
  return opendev(AT_FDCWD, path, flags, mode, pass_open64);
}

EXPORT int openat(int dirfd, const char* path, int flags, ...) {
  va_list ap;
  va_start(ap, flags);
  int mode = modeof(flags, ap);
  va_end(ap);
  return opendev(dirfd, path, flags, mode, pass_openat);
}

EXPORT int openat64(int dirfd, const char* path, int flags, ...) {
  va_list ap;
  va_start(ap, flags);
  int mode = modeof(flags, ap);
  va_end(ap);
  return opendev(dirfd, path, flags, mode, pass_openat64);
}

/* The checking variants _FORTIFY_SOURCE calls; they take no mode. */
EXPORT int __open_2(const char* path, int flags) {
  return opendev(AT_FDCWD, path, flags, 0, pass_open);
}
EXPORT int __open64_2(const char* path, int flags) {
  return opendev(AT_FDCWD, path, flags, 0, pass_open64);
}
EXPORT int __openat_2(int dirfd, const char* path, int flags) {
  return opendev(dirfd, path, flags, 0, pass_openat);
}
EXPORT int __openat64_2(int dirfd, const char* path, int flags) {
  return opendev(dirfd, path, flags, 0, pass_openat64);
}

static FILE* fopendev(const char* path, const char* mode, FILE* (*real)(const char*, const char*)) {
  enum device d = classify(AT_FDCWD, path);
  char buf[PATH_MAX * 2];
  if (denied(d)) return errno = EACCES, NULL;
  if (d == READONLY && mode[0] == 'r' && !strchr(mode, '+')) d = NONE;
  if (d == READONLY) return errno = EROFS, NULL;
  const char* to = d == NONE ? path : standinfor(d, AT_FDCWD, path, buf, sizeof buf);
  if (!to) return NULL;
  FILE* f = real(to, mode);
  if (f) track(fileno(f), d);
  return f;
}

EXPORT FILE* fopen(const char* path, const char* mode) { return fopendev(path, mode, REAL(fopen)); }
EXPORT FILE* fopen64(const char* path, const char* mode) {
  return fopendev(path, mode, REAL(fopen64));
}

/* ---- the console stand-in ---- */

static int kdmode = KD_TEXT;
static struct vt_mode vtmode = {VT_AUTO, 0, 0, 0, 0};

/* Appends n bytes to the file at path (unset or empty: nowhere).
 * Called from signal handlers too, so only open, write and close. */
static void appendto(const char* path, const void* bytes, size_t n) {
  if (!path || !*path) return;
  int fd = REAL(open)(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  ssize_t w = REAL(write)(fd, bytes, n);
  (void)w;
  REAL(close)(fd);
}

/* Appends to the log at path one line: a name and up to four numbers. */
static void logline(const char* path, const char* name, int count, const long* v) {
  if (!path || !*path) return;
  char line[128];
  size_t n = 0;
  while (*name && n < 40) line[n++] = *name++;
  for (int i = 0; i < count && i < 4; i++) {
    char digits[24];
    int k = 0;
    unsigned long u = v[i] < 0 ? (unsigned long)-v[i] : (unsigned long)v[i];
    do digits[k++] = (char)('0' + u % 10), u /= 10;
    while (u);
    line[n++] = ' ';
    if (v[i] < 0) line[n++] = '-';
    while (k) line[n++] = digits[--k];
  }
  line[n++] = '\n';
  appendto(path, line, n);
}

/* The console log: a name and up to three numbers. */
static void logconsole(const char* name, int count, long a, long b, long c) {
  long v[3] = {a, b, c};
  logline(getenv("FBRIG_VT"), name, count, v);
}

/* -2 when the console is not stood in for. */
static int consoleioctl(unsigned long request, void* arg) {
  const char* path = getenv("FBRIG_VT");
  if (!path || !*path) return -2;
  switch (request) {
    case KDGETMODE:
      *(int*)arg = kdmode;
      return 0;
    case KDSETMODE:
      kdmode = (int)(long)arg;
      logconsole("KDSETMODE", 1, kdmode, 0, 0);
      return 0;
    case VT_GETMODE:
      memcpy(arg, &vtmode, sizeof vtmode);
      return 0;
    case VT_SETMODE:
      memcpy(&vtmode, arg, sizeof vtmode);
      logconsole("VT_SETMODE", 3, vtmode.mode, vtmode.relsig, vtmode.acqsig);
      return 0;
    default: /* VT_RELDISP */
      logconsole("VT_RELDISP", 1, (long)arg, 0, 0);
      return 0;
  }
}

/* ---- the DRM card stand-in ---- */

enum { CRTC = 31, ENCODER = 32, CONNECTOR = 33, CONSOLEFB = 7 };

static struct {
  int master;       /* this process is DRM master */
  uint32_t crtcfb;  /* what the CRTC shows */
  uint32_t nextfb;
  uint32_t dumbs;
} drm = {0, CONSOLEFB, 50, 0};

static int drmfd(int fd) { return fd >= 0 && fd < MAXFD && isdrm[fd]; }

static int drmbusy(void) {
  const char* busy = getenv("FBRIG_DRMBUSY");
  return busy && *busy && REAL(access)(busy, F_OK) == 0;
}

/* One line of the DRM log: a name and up to four numbers. */
static void logdrm(const char* name, int count, long a, long b, long c, long d) {
  long v[4] = {a, b, c, d};
  logline(getenv("FBRIG_DRMLOG"), name, count, v);
}

static void drmopened(void) {
  drm.master = !drmbusy();  /* the first to open a card becomes master */
}

static void drmmode(struct drm_mode_modeinfo* m, unsigned w, unsigned h, int preferred) {
  memset(m, 0, sizeof *m);
  m->hdisplay = (uint16_t)w;
  m->vdisplay = (uint16_t)h;
  m->htotal = (uint16_t)(w + 160);
  m->vtotal = (uint16_t)(h + 30);
  m->vrefresh = 60;
  m->clock = (uint32_t)((w + 160) * (h + 30) * 60 / 1000);
  m->type = DRM_MODE_TYPE_DRIVER | (preferred ? DRM_MODE_TYPE_PREFERRED : 0);
  snprintf(m->name, sizeof m->name, "%ux%u", w, h);
}

/* Copies n ids into a user array the program sized (as the kernel does:
 * only when it has room), and reports n. */
static void putids(uint64_t ptr, uint32_t* count, const uint32_t* ids, uint32_t n) {
  if (ptr && *count >= n) memcpy((void*)(uintptr_t)ptr, ids, n * sizeof *ids);
  *count = n;
}

static int drmconnector(struct drm_mode_get_connector* c) {
  if (c->connector_id != CONNECTOR) return errno = ENOENT, -1;
  const char* output = getenv("FBRIG_DRMOUTPUT");
  int connected = !(output && strcmp(output, "off") == 0);
  struct drm_mode_modeinfo modes[2];
  uint32_t n = 0;
  unsigned pw = 0, ph = 0;
  const char* pref = getenv("FBRIG_DRMPREFERRED");
  if (pref && sscanf(pref, "%ux%u", &pw, &ph) == 2) drmmode(&modes[n++], pw, ph, 1);
  drmmode(&modes[n], envnum("FBRIG_XRES", 800), envnum("FBRIG_YRES", 600), n == 0);
  n++;
  if (!connected) n = 0;
  if (c->modes_ptr && c->count_modes >= n) memcpy((void*)(uintptr_t)c->modes_ptr, modes, n * sizeof *modes);
  c->count_modes = n;
  uint32_t enc = ENCODER;
  putids(c->encoders_ptr, &c->count_encoders, &enc, 1);
  c->count_props = 0;
  c->encoder_id = connected ? ENCODER : 0;
  c->connector_type = DRM_MODE_CONNECTOR_VIRTUAL;
  c->connector_type_id = 1;
  c->connection = connected ? 1 : 2;
  return 0;
}

static int drmsetcrtc(const struct drm_mode_crtc* c) {
  if (!drm.master) {
    logdrm("SETCRTC", 1, -EACCES, 0, 0, 0);
    return errno = EACCES, -1;
  }
  drm.crtcfb = c->fb_id;
  logdrm("SETCRTC", 4, c->crtc_id, c->fb_id, c->mode.hdisplay, c->mode.vdisplay);
  return 0;
}

/* Logs the rectangles, then counts the push (so a reader that sees the
 * count also sees the log line and the pixels). */
static int drmdirty(const struct drm_mode_fb_dirty_cmd* d) {
  if (!drm.master) return errno = EACCES, -1;
  const struct drm_clip_rect* clips = (const struct drm_clip_rect*)(uintptr_t)d->clips_ptr;
  char line[8192];
  size_t n = (size_t)snprintf(line, sizeof line, "DIRTYFB %u", d->fb_id);
  uint64_t rows = 0;
  for (uint32_t i = 0; i < d->num_clips && n + 40 < sizeof line; i++) {
    n += (size_t)snprintf(line + n, sizeof line - n, " %u,%u,%u,%u", clips[i].x1, clips[i].y1,
                          clips[i].x2, clips[i].y2);
    rows += clips[i].y2 > clips[i].y1 ? clips[i].y2 - clips[i].y1 : 0;
  }
  line[n++] = '\n';
  appendto(getenv("FBRIG_DRMLOG"), line, n);
  if (pushcount) {
    if (bytecount) __atomic_add_fetch(bytecount, rows * envnum("FBRIG_XRES", 800) * 4, __ATOMIC_SEQ_CST);
    __atomic_add_fetch(pushcount, 1, __ATOMIC_SEQ_CST);
  }
  return 0;
}

static int drmmaster(unsigned long request) {
  if (request == DRM_IOCTL_DROP_MASTER) {
    if (!drm.master) return errno = EINVAL, -1;
    drm.master = 0;
    logdrm("DROP_MASTER", 0, 0, 0, 0, 0);
    return 0;
  }
  if (!drm.master && drmbusy()) {
    logdrm("SET_MASTER", 1, -EBUSY, 0, 0, 0);
    return errno = EBUSY, -1;
  }
  drm.master = 1;
  logdrm("SET_MASTER", 1, 0, 0, 0, 0);
  return 0;
}

static int drmdumb(unsigned long request, void* arg) {
  if (request == DRM_IOCTL_MODE_CREATE_DUMB) {
    struct drm_mode_create_dumb* c = arg;
    c->handle = ++drm.dumbs;
    c->pitch = c->width * 4;
    c->size = (uint64_t)c->pitch * c->height;
    logdrm("CREATE_DUMB", 2, c->width, c->height, 0, 0);
    return 0;
  }
  if (request == DRM_IOCTL_MODE_MAP_DUMB) {
    ((struct drm_mode_map_dumb*)arg)->offset = 0;  /* the card's file is the buffer */
    return 0;
  }
  struct drm_mode_fb_cmd* f = arg;  /* DRM_IOCTL_MODE_ADDFB */
  f->fb_id = drm.nextfb++;
  logdrm("ADDFB", 3, f->fb_id, f->width, f->height, 0);
  return 0;
}

static int drmioctl(unsigned long request, void* arg) {
  switch (request) {
    case DRM_IOCTL_GET_CAP: {
      struct drm_get_cap* c = arg;
      c->value = c->capability == DRM_CAP_DUMB_BUFFER;
      return 0;
    }
    case DRM_IOCTL_SET_MASTER:
    case DRM_IOCTL_DROP_MASTER:
      return drmmaster(request);
    case DRM_IOCTL_MODE_GETRESOURCES: {
      struct drm_mode_card_res* r = arg;
      uint32_t crtc = CRTC, enc = ENCODER, conn = CONNECTOR;
      putids(r->fb_id_ptr, &r->count_fbs, NULL, 0);
      putids(r->crtc_id_ptr, &r->count_crtcs, &crtc, 1);
      putids(r->encoder_id_ptr, &r->count_encoders, &enc, 1);
      putids(r->connector_id_ptr, &r->count_connectors, &conn, 1);
      r->min_width = r->min_height = 1;
      r->max_width = r->max_height = 16384;
      return 0;
    }
    case DRM_IOCTL_MODE_GETCONNECTOR:
      return drmconnector(arg);
    case DRM_IOCTL_MODE_GETENCODER: {
      struct drm_mode_get_encoder* e = arg;
      if (e->encoder_id != ENCODER) return errno = ENOENT, -1;
      e->encoder_type = DRM_MODE_ENCODER_VIRTUAL;
      e->crtc_id = CRTC;
      e->possible_crtcs = 1;
      e->possible_clones = 0;
      return 0;
    }
    case DRM_IOCTL_MODE_GETCRTC: {
      struct drm_mode_crtc* c = arg;
      if (c->crtc_id != CRTC) return errno = ENOENT, -1;
      c->fb_id = drm.crtcfb;
      c->x = c->y = 0;
      c->mode_valid = 1;
      drmmode(&c->mode, envnum("FBRIG_XRES", 800), envnum("FBRIG_YRES", 600), 0);
      return 0;
    }
    case DRM_IOCTL_MODE_SETCRTC:
      return drmsetcrtc(arg);
    case DRM_IOCTL_MODE_DIRTYFB:
      return drmdirty(arg);
    case DRM_IOCTL_MODE_CREATE_DUMB:
    case DRM_IOCTL_MODE_MAP_DUMB:
    case DRM_IOCTL_MODE_ADDFB:
      return drmdumb(request, arg);
    case DRM_IOCTL_MODE_RMFB:
    case DRM_IOCTL_MODE_DESTROY_DUMB:
      return 0;
    default:
      return errno = EINVAL, -1;
  }
}

/* ---- the evdev stand-in ---- */

static void setbit(void* bits, size_t len, unsigned n) {
  if (n / 8 < len) ((unsigned char*)bits)[n / 8] |= (unsigned char)(1u << (n % 8));
}

/* EVIOCGBIT(type) for a device of this kind: m(ouse), t(ablet), t(o)uch
 * ('o' is taken for touch below), k(eyboard). */
static int evbits(char kind, unsigned type, void* bits, size_t len) {
  memset(bits, 0, len);
  int mouse = kind == 'm', tablet = kind == 't', touch = kind == 'o', keyboard = kind == 'k';
  if (type == 0) {
    setbit(bits, len, EV_SYN);
    setbit(bits, len, EV_KEY);
    if (mouse || tablet) setbit(bits, len, EV_REL);
    if (tablet || touch) setbit(bits, len, EV_ABS);
    if (keyboard) setbit(bits, len, EV_REP);
  } else if (type == EV_KEY) {
    if (mouse || tablet) {
      setbit(bits, len, BTN_LEFT);
      setbit(bits, len, BTN_RIGHT);
      setbit(bits, len, BTN_MIDDLE);
    }
    if (touch) setbit(bits, len, BTN_TOUCH);
    if (keyboard)
      for (unsigned k = KEY_ESC; k <= KEY_SPACE; k++) setbit(bits, len, k);
  } else if (type == EV_REL) {
    if (mouse) setbit(bits, len, REL_X), setbit(bits, len, REL_Y);
    if (mouse || tablet) setbit(bits, len, REL_WHEEL);
  } else if (type == EV_ABS) {
    if (tablet || touch) setbit(bits, len, ABS_X), setbit(bits, len, ABS_Y);
  }
  return (int)len;
}

static int evioctl(char kind, unsigned long request, void* arg) {
  if (_IOC_TYPE(request) != 'E') return errno = EINVAL, -1;
  unsigned nr = _IOC_NR(request);
  if (nr >= 0x20 && nr < 0x20 + EV_CNT) return evbits(kind, nr - 0x20, arg, _IOC_SIZE(request));
  if (nr == 0x40 + ABS_X || nr == 0x40 + ABS_Y) {
    if (kind != 't' && kind != 'o') return errno = EINVAL, -1;
    struct input_absinfo* a = arg;
    memset(a, 0, sizeof *a);
    a->maximum = kind == 't' ? 32767 : 4095;
    return 0;
  }
  return errno = EINVAL, -1;
}

DEFINE_REAL(int, inotify_add_watch, int, const char*, uint32_t)
EXPORT int inotify_add_watch(int fd, const char* path, uint32_t mask) {
  char canon[PATH_MAX * 2];
  if (!path || !canonicalat(AT_FDCWD, path, canon, sizeof canon) || strcmp(canon, "/dev/input") != 0)
    return REAL(inotify_add_watch)(fd, path, mask);
  const char* dir = getenv("FBRIG_INPUT");
  if (!dir || !*dir) return errno = ENOENT, -1;
  return REAL(inotify_add_watch)(fd, dir, mask);
}

EXPORT int ioctl(int fd, unsigned long request, ...) {
  va_list ap;
  va_start(ap, request);
  void* arg = va_arg(ap, void*);
  va_end(ap);
  if (fbfd(fd) && (request == FBIOGET_FSCREENINFO || request == FBIOGET_VSCREENINFO))
    return fbioctl(request, arg);
  if (drmfd(fd)) return drmioctl(request, arg);
  if (fd >= 0 && fd < MAXFD && evkind[fd]) return evioctl(evkind[fd], request, arg);
  if (request == KDGETMODE || request == KDSETMODE || request == VT_GETMODE ||
      request == VT_SETMODE || request == VT_RELDISP) {
    int r = consoleioctl(request, arg);
    if (r != -2) return r;
  }
  return REAL(ioctl)(fd, request, arg);
}

/* Bytes for the mouse: logged, and answered as mousedev answers them. */
static ssize_t micecommand(const void* buf, size_t n) {
  appendto(getenv("FBRIG_MICELOG"), buf, n);
  if (n == 0) return 0;
  const char* wheel = getenv("FBRIG_MICEWHEEL");
  miceanswer[0] = 0xfa;
  miceanswerlen = 1;
  if (((const unsigned char*)buf)[n - 1] == 0xf2) miceanswer[miceanswerlen++] = wheel && *wheel ? 3 : 0;
  return (ssize_t)n;
}

EXPORT ssize_t write(int fd, const void* buf, size_t n) {
  if (fd >= 0 && fd < MAXFD && ismice[fd]) return micecommand(buf, n);
  ssize_t r = REAL(write)(fd, buf, n);
  pushed(fd, r, 1);
  return r;
}

EXPORT ssize_t pwrite(int fd, const void* buf, size_t n, off_t at) {
  ssize_t r = REAL(pwrite)(fd, buf, n, at);
  pushed(fd, r, 0);
  return r;
}

EXPORT ssize_t pwrite64(int fd, const void* buf, size_t n, off64_t at) {
  ssize_t r = REAL(pwrite64)(fd, buf, n, at);
  pushed(fd, r, 0);
  return r;
}

EXPORT ssize_t read(int fd, void* buf, size_t n) {
  if (fd >= 0 && fd < MAXFD && ismice[fd] && miceanswerlen > 0) {
    size_t k = n < (size_t)miceanswerlen ? n : (size_t)miceanswerlen;
    memcpy(buf, miceanswer, k);
    memmove(miceanswer, miceanswer + k, (size_t)miceanswerlen - k);
    miceanswerlen -= (int)k;
    return (ssize_t)k;
  }
  ssize_t r = REAL(read)(fd, buf, n);
  if (fd == 0 && r > 0 && readmark) *readmark = *pushcount;
  if (fd == 0 && r > 0 && termbytes) __atomic_add_fetch(termbytes, (uint64_t)r, __ATOMIC_SEQ_CST);
  return r;
}

DEFINE_REAL(int, poll, struct pollfd*, nfds_t, int)
EXPORT int poll(struct pollfd* fds, nfds_t n, int timeout) {
  if (timeout >= 0 || !idlewait) return REAL(poll)(fds, n, timeout);
  __atomic_store_n(idlewait, 1, __ATOMIC_SEQ_CST);
  int r = REAL(poll)(fds, n, timeout);
  __atomic_store_n(idlewait, 0, __ATOMIC_SEQ_CST);
  return r;
}

/* Copies of a framebuffer descriptor are framebuffer descriptors too. */
static int copied(int from, int to) {
  if (to >= 0 && to < MAXFD) isfb[to] = fbfd(from);
  return to;
}

EXPORT int dup(int fd) { return copied(fd, REAL(dup)(fd)); }
EXPORT int dup2(int fd, int to) { return fd == to ? REAL(dup2)(fd, to) : copied(fd, REAL(dup2)(fd, to)); }
EXPORT int dup3(int fd, int to, int flags) { return copied(fd, REAL(dup3)(fd, to, flags)); }

EXPORT int fcntl(int fd, int cmd, ...) {
  va_list ap;
  va_start(ap, cmd);
  void* arg = va_arg(ap, void*);
  va_end(ap);
  int r = REAL(fcntl)(fd, cmd, arg);
  return cmd == F_DUPFD || cmd == F_DUPFD_CLOEXEC ? copied(fd, r) : r;
}

/* Never change the real /dev/full. */
DEFINE_REAL(int, fchmod, int, mode_t)
EXPORT int fchmod(int fd, mode_t mode) {
  if (fd >= 0 && fd < MAXFD && isfull[fd]) return 0;
  return REAL(fchmod)(fd, mode);
}
DEFINE_REAL(int, fchown, int, uid_t, gid_t)
EXPORT int fchown(int fd, uid_t uid, gid_t gid) {
  if (fd >= 0 && fd < MAXFD && isfull[fd]) return 0;
  return REAL(fchown)(fd, uid, gid);
}

EXPORT int close(int fd) {
  if (fd >= 0 && fd < MAXFD) isfb[fd] = isfull[fd] = isdrm[fd] = ismice[fd] = 0;
  if (fd >= 0 && fd < MAXFD) evkind[fd] = 0;
  return REAL(close)(fd);
}

/* The clipboard is written beside its file and renamed into place; only
 * its names are mapped here (never rename or remove a device). */
static const char* mapped(const char* path, char* buf, size_t size) {
  enum device d = classify(AT_FDCWD, path);
  return d != CLIP ? path : standinfor(d, AT_FDCWD, path, buf, size);
}

static int readonly(const char* path) { return classify(AT_FDCWD, path) == READONLY; }

EXPORT int rename(const char* from, const char* to) {
  char a[PATH_MAX * 2], b[PATH_MAX * 2];
  if (readonly(from) || readonly(to)) return errno = EROFS, -1;
  const char* f = mapped(from, a, sizeof a);
  const char* t = mapped(to, b, sizeof b);
  if (!f || !t) return -1;
  return REAL(rename)(f, t);
}

EXPORT int unlink(const char* path) {
  char buf[PATH_MAX * 2];
  if (readonly(path)) return errno = EROFS, -1;
  const char* p = mapped(path, buf, sizeof buf);
  if (!p) return -1;
  return REAL(unlink)(p);
}

EXPORT int access(const char* path, int how) {
  if ((how & W_OK) && readonly(path)) return errno = EROFS, -1;
  return REAL(access)(path, how);
}

DEFINE_REAL(int, faccessat, int, const char*, int, int)
EXPORT int faccessat(int dirfd, const char* path, int how, int flags) {
  if ((how & W_OK) && classify(dirfd, path) == READONLY) return errno = EROFS, -1;
  return REAL(faccessat)(dirfd, path, how, flags);
}
