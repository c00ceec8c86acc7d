// minimalfb: the least a framebuffer program does before its first frame:
// open the device, read its geometry, fill one frame in memory and write
// it, then wait for the terminal. The floor that bihua's start-up is
// measured against.
#include <fcntl.h>
#include <linux/fb.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <unistd.h>

int main(void) {
  int fd = open("/dev/fb0", O_RDWR);
  if (fd < 0) return 1;
  struct fb_var_screeninfo v;
  struct fb_fix_screeninfo f;
  if (ioctl(fd, FBIOGET_VSCREENINFO, &v) < 0 || ioctl(fd, FBIOGET_FSCREENINFO, &f) < 0) return 1;
  size_t size = (size_t)f.line_length * v.yres;
  uint32_t* frame = malloc(size);
  if (!frame) return 1;
  for (size_t i = 0; i < size / 4; i++) frame[i] = 0xFFFFFF;
  if (write(fd, frame, size) != (ssize_t)size) return 1;
  char c;
  while (read(0, &c, 1) > 0) {
  }
  return 0;
}
