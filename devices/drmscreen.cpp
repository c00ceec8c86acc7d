// DRM/KMS output: finding a card and an output, the dumb buffer, pushes
// with dirty rectangles, and display ownership across console switches.
#include "devices/drmscreen.h"

#ifdef BIHUA_DRM

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <xf86drm.h>
#include <xf86drmMode.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "devices/console.h"

namespace {

// What giving the display up needs, kept where a signal handler can use
// it without allocating.
struct heldoutput {
  int fd = -1;
  volatile sig_atomic_t ours = 0;  // our buffer is on the output and we are master
  volatile sig_atomic_t lost = 0;  // 1: given up; 2: and a patient retake failed
  drm_mode_crtc shown{};           // our buffer on the output
  drm_mode_crtc before{};          // what the output showed before us
  bool restorable = false;         // `before` names a picture that can be put back
  uint32_t connector = 0;
};

heldoutput held;

// The output back as it was and DRM master given up. Async-signal-safe.
void giveback() {
  if (held.fd < 0) return;
  if (held.ours && held.restorable) ioctl(held.fd, DRM_IOCTL_MODE_SETCRTC, &held.before);
  ioctl(held.fd, DRM_IOCTL_DROP_MASTER, nullptr);
  held.ours = 0;
  held.lost = 1;
}

// An output: the connector, the CRTC driving it and the mode to use.
struct output {
  uint32_t connector = 0;
  uint32_t crtc = 0;
  drmModeModeInfo mode{};
  drm_mode_crtc before{};
};

// The CRTC the connector is on now, else the first its encoders can use.
uint32_t crtcfor(int fd, const drmModeRes* res, const drmModeConnector* c, bool& current) {
  current = false;
  if (c->encoder_id) {
    if (drmModeEncoder* e = drmModeGetEncoder(fd, c->encoder_id)) {
      uint32_t id = e->crtc_id;
      drmModeFreeEncoder(e);
      if (id) return current = true, id;
    }
  }
  for (int i = 0; i < c->count_encoders; i++) {
    drmModeEncoder* e = drmModeGetEncoder(fd, c->encoders[i]);
    if (!e) continue;
    uint32_t possible = e->possible_crtcs;
    drmModeFreeEncoder(e);
    for (int j = 0; j < res->count_crtcs && j < 32; j++)
      if (possible & (1u << j)) return res->crtcs[j];
  }
  return 0;
}

// The mode the output shows now (no flicker, the console's own size), else
// the preferred one, else the first.
void choosemode(int fd, const drmModeConnector* c, bool current, output& out) {
  out.mode = c->modes[0];
  for (int i = 0; i < c->count_modes; i++)
    if (c->modes[i].type & DRM_MODE_TYPE_PREFERRED) {
      out.mode = c->modes[i];
      break;
    }
  out.before = {};
  out.before.crtc_id = out.crtc;
  drmModeCrtc* now = drmModeGetCrtc(fd, out.crtc);
  if (!now) return;
  out.before.fb_id = now->buffer_id;
  out.before.x = now->x;
  out.before.y = now->y;
  out.before.mode_valid = now->mode_valid;
  std::memcpy(&out.before.mode, &now->mode, sizeof out.before.mode);
  if (current && now->mode_valid && now->mode.hdisplay && now->mode.vdisplay) out.mode = now->mode;
  drmModeFreeCrtc(now);
}

// Fills `out` with the first connected output; else says why not.
std::string findoutput(int fd, output& out) {
  uint64_t dumb = 0;
  if (drmGetCap(fd, DRM_CAP_DUMB_BUFFER, &dumb) != 0 || !dumb) return "no dumb buffers";
  drmModeRes* res = drmModeGetResources(fd);
  if (!res) return std::string("no display outputs (") + strerror(errno) + ")";
  std::string why = "no connected output";
  for (int i = 0; i < res->count_connectors && !why.empty(); i++) {
    drmModeConnector* c = drmModeGetConnector(fd, res->connectors[i]);
    if (!c) continue;
    bool current = false;
    if (c->connection == DRM_MODE_CONNECTED && c->count_modes > 0) {
      out.connector = c->connector_id;
      out.crtc = crtcfor(fd, res, c, current);
      if (out.crtc) {
        choosemode(fd, c, current, out);
        why.clear();
      } else {
        why = "no free display controller for the connected output";
      }
    }
    drmModeFreeConnector(c);
  }
  drmModeFreeResources(res);
  return why;
}

std::string whynomaster(int err) {
  if (err == EBUSY || err == EACCES || err == EPERM || err == EINVAL)
    return "another program holds the display (it is DRM master)";
  return std::string("cannot become DRM master (") + strerror(err) + ")";
}

}  // namespace

bool drmscreen::makebuffer() {
  drm_mode_create_dumb create{};
  create.width = static_cast<uint32_t>(width);
  create.height = static_cast<uint32_t>(height);
  create.bpp = 32;
  if (drmIoctl(fd, DRM_IOCTL_MODE_CREATE_DUMB, &create) != 0) return false;
  pitch = create.pitch;
  uint32_t id = 0;
  if (drmModeAddFB(fd, create.width, create.height, 24, 32, pitch, create.handle, &id) != 0)
    return false;
  fbid = id;
  drm_mode_map_dumb mapreq{};
  mapreq.handle = create.handle;
  if (drmIoctl(fd, DRM_IOCTL_MODE_MAP_DUMB, &mapreq) != 0) return false;
  void* p = mmap(nullptr, create.size, PROT_READ | PROT_WRITE, MAP_SHARED, fd,
                 static_cast<off_t>(mapreq.offset));
  if (p == MAP_FAILED) return false;
  map = static_cast<unsigned char*>(p);
  return true;
}

bool drmscreen::showbuffer() {
  drm_mode_crtc set = held.shown;
  set.set_connectors_ptr = reinterpret_cast<uintptr_t>(&held.connector);
  if (drmIoctl(fd, DRM_IOCTL_MODE_SETCRTC, &set) != 0) return false;
  held.ours = 1;
  held.lost = 0;
  return true;
}

drmscreen::found drmscreen::open() {
  found result;
  std::string tried;
  for (int n = 0; n < 64; n++) {
    char name[32];
    snprintf(name, sizeof name, "/dev/dri/card%d", n);
    int f = ::open(name, O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (f < 0 && (errno == ENOENT || errno == ENXIO || errno == ENODEV)) continue;
    result.cardseen = true;
    std::string why;
    output out;
    if (f < 0)
      why = std::string(strerror(errno)) +
            (errno == EACCES || errno == EPERM ? " (the card belongs to the video group)" : "");
    else
      why = findoutput(f, out);
    if (why.empty() && drmSetMaster(f) != 0) why = whynomaster(errno);
    if (why.empty()) {
      drmscreen* s = new drmscreen;
      s->fd = f;
      s->path = name;
      s->width = out.mode.hdisplay;
      s->height = out.mode.vdisplay;
      held = heldoutput();
      held.fd = f;
      held.connector = out.connector;
      held.before = out.before;
      held.before.set_connectors_ptr = reinterpret_cast<uintptr_t>(&held.connector);
      held.before.count_connectors = 1;
      held.restorable = out.before.mode_valid && out.before.fb_id != 0;
      held.shown.crtc_id = out.crtc;
      held.shown.count_connectors = 1;
      held.shown.mode_valid = 1;
      std::memcpy(&held.shown.mode, &out.mode, sizeof held.shown.mode);
      if (s->makebuffer()) {
        held.shown.fb_id = s->fbid;
        std::memset(s->map, 0, static_cast<size_t>(s->pitch) * s->height);
        if (s->showbuffer()) {
          console::ondisplaygiveback = giveback;
          result.screen = s;
          return result;
        }
      }
      why = std::string("cannot show a picture on it (") + strerror(errno) + ")";
      if (s->map) munmap(s->map, static_cast<size_t>(s->pitch) * s->height);
      held = heldoutput();
      delete s;
    }
    if (f >= 0) close(f);
    tried += (tried.empty() ? "" : "; ") + std::string(name) + ": " + why;
  }
  result.why = result.cardseen ? tried : "no card (/dev/dri/card0 .. card63)";
  return result;
}

bool drmscreen::lost() const { return held.lost != 0; }

bool drmscreen::retake() {
  // Right after a switch the other side may still hold master: a patient
  // try first, then one try per push.
  int tries = held.lost == 1 ? 20 : 1;
  for (int i = 0; i < tries; i++) {
    if (i > 0) usleep(10000);
    if (drmSetMaster(fd) == 0) {
      if (showbuffer()) return true;
      break;
    }
  }
  held.lost = 2;
  return false;
}

// Drivers that scan the buffer out directly answer the dirty call with
// "not implemented" (ENOSYS, or EINVAL on some): they need no telling,
// and are not told again. At most 256 rectangles go in one call.
unsigned char* drmscreen::rows(size_t& rowpitch) const {
  rowpitch = pitch;
  return map;
}

void drmscreen::dirty(const std::vector<std::pair<int, int>>& runs) {
  std::vector<drmModeClip> clips;
  for (const auto& run : runs) {
    drmModeClip c{};
    c.x1 = 0;
    c.y1 = static_cast<uint16_t>(run.first);
    c.x2 = static_cast<uint16_t>(width);
    c.y2 = static_cast<uint16_t>(run.second);
    clips.push_back(c);
  }
  for (size_t i = 0; dirtyneeded && i < clips.size(); i += 256) {
    uint32_t n = static_cast<uint32_t>(std::min<size_t>(256, clips.size() - i));
    int r = drmModeDirtyFB(fd, fbid, clips.data() + i, n);
    if (r == -ENOSYS || r == -EINVAL || r == -EOPNOTSUPP) dirtyneeded = false;
    if (r == -EACCES || r == -EPERM) held.ours = 0, held.lost = 1;
  }
}

#else  // built without libdrm: no card is ever used

drmscreen::found drmscreen::open() {
  found f;
  f.why = "this build of bihua has no DRM support";
  return f;
}

bool drmscreen::lost() const { return false; }

bool drmscreen::retake() { return false; }

unsigned char* drmscreen::rows(size_t& rowpitch) const {
  rowpitch = 0;
  return nullptr;
}

void drmscreen::dirty(const std::vector<std::pair<int, int>>&) {}

#endif
