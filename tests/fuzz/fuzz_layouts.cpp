// Framebuffer layouts a driver could report, through the check the window
// makes at start-up: a layout taken is a sane visible frame, and a frame
// pushed in it fits the rows the layout describes. (The window's own start,
// which ends the process on a refusal, is run end to end by the devices
// tests through the preload library.)
#include <vector>

#include "devices/fbformat.h"
#include "fuzzkit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput in{data, size};
  fbreport r;
  auto value = [&]() -> uint32_t { return in.byte() & 1 ? in.u32() : in.byte() * 16u; };
  r.xres = value();
  r.yres = value();
  r.bpp = in.byte() & 1 ? value() : 16 + 8 * (in.byte() % 3);
  r.linelength = value();
  r.xoffset = value() % 64;
  r.yoffset = value() % 64;
  for (fbchannel* c : {&r.red, &r.green, &r.blue}) *c = {value() % 40, in.byte() % 10u};
  if (in.byte() & 1) r.red.offset = in.u32();
  fbformat f;
  std::string why = f.take(r);
  if (!why.empty()) {
    if (why.find('\n') != std::string::npos || f.width != 0) abort();
    return 0;
  }
  if (!f.supported() || f.width < 1 || f.height < 1) abort();
  uint64_t row = static_cast<uint64_t>(f.xoffset + f.width) * (f.bpp / 8);
  if (row > static_cast<uint64_t>(f.linelength)) abort();
  if (static_cast<uint64_t>(f.width) * f.height > (1u << 16)) return 0;  // keep runs fast
  std::vector<unsigned char> pixels(static_cast<size_t>(f.width) * f.height * 4, 0x5A), out;
  f.convert(pixels.data(), out);
  if (out.size() != f.framebytes()) abort();
  return 0;
}
