// The pane's text model: construction and placement, the filter every
// incoming text passes, the edit primitives that keep buffer, flags and
// cursor consistent, and loading and saving files.
//
// Files are written by diskfile::replace (never half written, links, owners
// and hard links kept); F7 first looks whether the file on disk is still
// the one the pane read. A load that cannot be taken leaves the pane
// exactly as it was; anything but a regular file is refused at once.
#include "editor/editview.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "graphics/gbkchar.h"
#include "views/statusbar.h"

char* editview::res = nullptr;
int editview::reslen = 0;
breakscan editview::resbreaks;
bool editview::utf8paths = false;

namespace {

// The name as the system takes it: the pane's GBK name, or its UTF-8 form
// in a UTF-8 system. False when the name holds a pair that is no GBK.
bool systemname(const char* name, std::string& out) {
  out.clear();
  if (!editview::utf8paths) {
    out = name;
    return true;
  }
  codecfault f;
  return gbktoutf8(reinterpret_cast<const unsigned char*>(name), strlen(name), out,
                   breakstyle::keep, f);
}

// n zeroed elements from calloc, which takes large blocks fresh from the
// kernel; the editor cannot go on without its buffers.
template <class T>
T* zeroed(size_t n) {
  void* p = std::calloc(n, sizeof(T));
  if (!p) throw std::bad_alloc();
  return static_cast<T*>(p);
}

}  // namespace

// ---- construction and placement

editview::editview(int i) : amyview() {
  ready = false;
  dragskip = 10;
  selecting = false;
  len = savedlen = linecount = cols = rows = topline = curcol = curline = 0;
  seltoggle = false;
  focus = true;
  id = i;
  charw = gcharwidth / 2;
  charh = gcharwidth;
  lineh = gcharwidth * 30 / 24;
  textcolor = mycolor(0, 0, 0);
  textcolor2 = mycolor(0, 0, 255);
  overwriteasked = false;
  utf8file = utf8bom = false;
  linebreaks = breakstyle::crlf;
  writtenbytes = 0;
  editpending = false;
  editlo = edithi = editdelta = 0;
  laidcols = -1;
  if (id > 2 || id < 0) throw "id is error!";
  filename = new char[namesize];
  diskname = new char[namesize];
  diskname[0] = 0;
  if (id == 0)
    strcpy(filename, "ed.txt");
  else
    snprintf(filename, namesize, "ed%d.txt", id);
  // Zeroed by the kernel page by page as they are first touched: a pane
  // holds megabytes it seldom uses, and start-up should not write them.
  text = zeroed<unsigned char>(maxcontlth);
  savedtext = zeroed<unsigned char>(maxcontlth);
  ctrl = zeroed<ctrbyte>(maxcontlth);
  linestart = zeroed<int>(maxlinenumber);
  cur = sel = text;
  if (id != 0) focus = false;
}

editview::~editview() {
  std::free(text);
  std::free(savedtext);
  std::free(ctrl);
  std::free(linestart);
  delete[] filename;
  delete[] diskname;
}

void editview::init() {
  int w = pmymap->width, h = pmymap->height;
  if (h < 300) {
    ready = false;
    return;
  }
  auto g = [](int k) { return gcharwidth * k / 24; };  // scaled with the text
  switch (id) {
    case 0:
      move(0, g(90), w / 2 - g(5), h - g(50));
      break;
    case 1:
      move(w / 2 + g(10), g(90), w, h - g(50));
      break;
    default:
      move(0, h - g(40), w, h - g(2));
      break;
  }
  charw = gcharwidth / 2;
  charh = gcharwidth;
  lineh = gcharwidth * 30 / 24;
  setpara();
  ready = true;
}

// ---- the filter

// Every line break becomes CR LF (a CR LF stays, a bare LF and a lone CR
// get their partner) and is noted in resbreaks; a GBK character is copied
// whole and any other byte, a stray byte of 0x80 or more too, as it is. So
// the result grows only by the breaks it completes. One pass: loading a
// file learns its line breaks here.
char* editview::tfileter(const char* s, int n) {
  if (n <= 0) return nullptr;
  delete[] res;
  res = new char[2 * static_cast<size_t>(n) + 1];
  resbreaks = breakscan();
  const unsigned char* src = reinterpret_cast<const unsigned char*>(s);
  int i = 0, j = 0;
  while (i < n) {
    unsigned char b = src[i];
    if (b < 0x80) {
      if (b <= '\r' && (b == '\r' || b == '\n')) {
        breakstyle style = breakstyle::lf;
        i += 1;
        if (b == '\r') {
          bool crlf = i < n && src[i] == '\n';
          style = crlf ? breakstyle::crlf : breakstyle::cr;
          i += crlf;
        }
        resbreaks.note(style);
        res[j++] = '\r';
        res[j++] = '\n';
      } else {
        res[j++] = static_cast<char>(b);
        i += 1;
      }
    } else if (i + 1 < n && isgbklead(b) && isgbktrail(src[i + 1])) {
      res[j++] = static_cast<char>(b);
      res[j++] = static_cast<char>(src[i + 1]);
      i += 2;
    } else {
      res[j++] = static_cast<char>(b);
      i += 1;
    }
  }
  res[j] = 0;
  reslen = j;
  return res;
}

// ---- edit primitives

bool editview::roomfor(int n) {
  if (n <= maxtextlen - len) return true;
  notify("文本已满（最多%d字节），不能再加入%d字节", maxtextlen, n);
  return false;
}

bool editview::insertbytes(unsigned char* p, const unsigned char* src, int n) {
  if (n <= 0) return true;
  if (!roomfor(n)) return false;
  if (p < text) p = text;
  if (p > textend()) p = textend();
  int at = static_cast<int>(p - text);
  history.inserted(at, src, n);
  memmove(p + n, p, len - at);
  memmove(ctrl + at + n, ctrl + at, (len - at) * sizeof(ctrbyte));
  memcpy(p, src, n);
  len += n;
  text[len] = text[len + 1] = 0;
  if (cur > p) cur += n;
  if (sel > p) sel += n;
  noteedit(at, 0, n);
  return true;
}

void editview::removebytes(unsigned char* a, unsigned char* e) {
  if (a < text) a = text;
  if (e > textend()) e = textend();
  if (e <= a) return;
  int at = static_cast<int>(a - text), n = static_cast<int>(e - a);
  history.removed(at, a, n);
  memmove(a, e, len - at - n);
  memmove(ctrl + at, ctrl + at + n, (len - at - n) * sizeof(ctrbyte));
  len -= n;
  text[len] = text[len + 1] = 0;
  for (unsigned char** q : {&cur, &sel}) {
    if (*q >= e)
      *q -= n;
    else if (*q > a)
      *q = a;
  }
  noteedit(at, n, 0);
}

bool editview::insertlaid(unsigned char* p, const unsigned char* src, int n) {
  undoaction action(history, editundo::other);  // a refused insertion leaves no step
  if (!insertbytes(p, src, n)) return false;
  if (setpara()) return true;
  removebytes(p, p + n);
  setpara();
  notify("显示行超过%d行，不能再加入", maxlinenumber - 1);
  return false;
}

void editview::noteedit(int at, int oldn, int newn) {
  if (!editpending) {
    editpending = true;
    editlo = at;
    edithi = at + newn;
    editdelta = newn - oldn;
    return;
  }
  if (at < editlo) editlo = at;
  edithi = (edithi > at + oldn ? edithi : at + oldn) + newn - oldn;
  editdelta += newn - oldn;
}

void editview::resetcursor() {
  cur = sel = text;
  topline = curline = curcol = 0;
}

// ---- replacing and appending

bool editview::addcontent(const char* src, int n) {
  if (n <= 0) return true;
  if (!insertlaid(textend(), reinterpret_cast<const unsigned char*>(src), n)) return false;
  history.clear();
  setcur(textend());
  draw();
  return true;
}

bool editview::loadcontent(unsigned char* src, int n) {
  if (n < 0) n = 0;
  if (n > maxtextlen) {
    notify("文本太长（%d字节），最多%d字节", n, maxtextlen);
    return false;
  }
  if (n > 0) memmove(text, src, n);  // src may be null when n is 0
  len = n;
  memset(text + len, 0, 2);
  editpending = false;
  history.clear();
  resetcursor();
  if (!setpara()) notify("显示行超过%d行，后面的文本不分行", maxlinenumber - 1);
  return true;
}

void editview::clean() {
  filename[0] = 0;
  diskname[0] = 0;
  diskstamp = diskfile::stamp();
  stampname.clear();
  overwriteasked = false;
  utf8file = utf8bom = false;
  linebreaks = breakstyle::crlf;
  len = savedlen = 0;
  memset(ctrl, 0, maxcontlth * sizeof(ctrbyte));
  memset(text, 0, maxcontlth);
  memset(savedtext, 0, maxcontlth);
  editpending = false;
  history.clear();
  resetcursor();
  setpara();
  setcur(0, 0);
}

bool editview::ischanged() { return len != savedlen || memcmp(text, savedtext, len) != 0; }

// ---- loading

// The file's bytes as they are on disk (none for a file that is not
// there), with the stamp of what was opened; false after a notice.
bool editview::readraw(const char* path, const std::string& sysname, std::string& raw,
                       diskfile::stamp& opened) {
  // Never waits: a FIFO without a writer or a terminal opens at once and
  // is refused below, as is everything but a regular file.
  int fd = open(sysname.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0 && errno != ENOENT) {
    notify("不能打开，%s：%s", strerror(errno), path);
    return false;
  }
  struct stat st;
  if (fd >= 0 && fstat(fd, &st) != 0) st.st_mode = 0;
  if (fd >= 0 && !S_ISREG(st.st_mode)) {
    close(fd);
    if (S_ISDIR(st.st_mode))
      notify("不能打开，%s：%s", strerror(EISDIR), path);
    else
      notify("不是普通文件（设备、管道等），不能打开：%s", path);
    return false;
  }
  opened = diskfile::stampof(sysname.c_str(), fd);
  if (fd >= 0) {
    // A filtered text never shrinks below half of the raw bytes unless they
    // are mostly lone CRs; anything past twice the capacity cannot fit.
    bool ok = diskfile::readall(fd, raw, 2 * static_cast<size_t>(maxcontlth));
    int err = errno;
    close(fd);
    if (!ok) {
      notify("不能读，%s：%s", strerror(err), path);
      return false;
    }
  }
  if (memchr(raw.data(), 0, raw.size())) {
    notify("含有零字节，不是文本，不能打开：%s", path);
    return false;
  }
  return true;
}

// The raw bytes made the pane's text (GBK, CR LF) in text: n bytes, with the
// breaks they came with; false after a notice, the text untouched.
bool editview::takeraw(const char* path, std::string& raw, const utf8scan& form, int& n,
                       breakscan& breaks) {
  // A UTF-8 file is taken as GBK, or not at all.
  const unsigned char* rawbytes = reinterpret_cast<const unsigned char*>(raw.data());
  std::string converted;
  if (isutf8text(form)) {
    size_t mark = form.bom ? 3 : 0;
    codecfault f;
    if (!utf8togbk(rawbytes + mark, raw.size() - mark, converted, f)) {
      notify("不能打开，第%d行第%d列的U+%04X没有GBK编码：%s", f.line, f.column, f.ch, path);
      return false;
    }
    raw.swap(converted);
  }
  n = 0;
  if (raw.empty()) return true;
  tfileter(raw.data(), static_cast<int>(raw.size()));
  breaks = resbreaks;
  n = reslen;
  if (n > maxtextlen) {
    notify("文件太大（转换后%d字节，最多%d字节）：%s", n, maxtextlen, path);
    return false;
  }
  if (countlines(reinterpret_cast<unsigned char*>(res), n) >= maxlinenumber) {
    notify("显示行超过%d行，不能打开：%s", maxlinenumber - 1, path);
    return false;
  }
  memcpy(text, res, n);
  return true;
}

bool editview::readfile(const char* path) {
  if (!path || strlen(path) >= static_cast<size_t>(namesize)) {
    notify("文件名太长（%d字节以上），不能打开", namesize);
    return false;
  }
  std::string raw, sysname;
  if (!systemname(path, sysname)) {
    notify("文件名不是GBK，不能打开：%s", path);
    return false;
  }
  diskfile::stamp opened;
  if (!readraw(path, sysname, raw, opened)) return false;
  utf8scan form = scanutf8(reinterpret_cast<const unsigned char*>(raw.data()), raw.size());
  bool utf8 = isutf8text(form);
  int n = 0;
  breakscan breaks;
  if (!takeraw(path, raw, form, n, breaks)) return false;
  len = savedlen = n;
  memset(text + len, 0, 2);
  memcpy(savedtext, text, n);
  memmove(filename, path, strlen(path) + 1);  // path may be filename itself
  strcpy(diskname, filename);
  diskstamp = opened;
  stampname = sysname;
  overwriteasked = false;
  utf8file = utf8;
  utf8bom = utf8 && form.bom;
  // Without a line break a GBK file gets CR LF as a new one does, a UTF-8
  // file LF.
  linebreaks = breaks.found || !utf8 ? breaks.first : breakstyle::lf;
  editpending = false;
  history.clear();
  resetcursor();
  setpara();
  setcur(text);
  // A copy a killed save left beside the file is the user's to look at.
  std::string left = diskfile::leftover(sysname);
  if (!left.empty())
    notify("上次保存未完成，留下临时文件%s：%s", left.c_str(), filename);
  else if (breaks.mixed)
    notify("换行符不统一，保存时都写成%s；open file %s", breakname(linebreaks), filename);
  else
    notify("open file %s", filename);
  draw();
  return true;
}

// ---- saving

// The bytes of the file: the text itself with the file's line breaks, or
// for a UTF-8 file its UTF-8 form. False (savefault set) when a character
// has no UTF-8 form. A CR LF pane (the usual case) is written as it is, so
// bare LFs and lone CRs there (command output) stay too.
bool editview::fileimage(std::string& out) {
  out.clear();
  if (!utf8file) {
    putbreaks(text, len, linebreaks == breakstyle::crlf ? breakstyle::keep : linebreaks, out);
    return true;
  }
  if (utf8bom) out = "\xEF\xBB\xBF";
  return gbktoutf8(text, len, out, linebreaks, savefault);
}

bool editview::savefile(const char* path, diskfile::links link) {
  lastsave = diskfile::saveresult();
  if (!path || !path[0]) {
    errno = ENOENT;
    return false;
  }
  std::string image, sysname;
  if (!systemname(path, sysname)) {
    errno = EINVAL;
    return false;
  }
  if (!fileimage(image)) {
    errno = EILSEQ;
    return false;
  }
  diskfile::saveoptions how;
  how.link = link;
  if (!diskfile::replace(sysname.c_str(), image.data(), image.size(), how, lastsave)) return false;
  writtenbytes = static_cast<int>(image.size());
  return true;
}

void editview::savefailed(const char* path) {
  if (errno == EILSEQ)
    notify("不能存为UTF-8：第%d行第%d列的代码%X不是GBK字符（%s）", savefault.line, savefault.column,
           savefault.code, path);
  else if (lastsave.inplace && lastsave.restored)
    notify("保存失败，%s，原内容已写回：%s", strerror(errno), path);
  else if (lastsave.inplace)
    notify("保存失败，%s，原内容也未能写回：%s", strerror(errno), path);
  else
    notify("保存失败，%s：%s", strerror(errno), path);
}

// The file as it is now, remembered as the one this pane wrote.
void editview::notedisk(const std::string& sysname) {
  strcpy(diskname, filename);
  diskstamp = diskfile::stampof(sysname.c_str());
  stampname = sysname;
  overwriteasked = false;
}

void editview::takedisk(const editview& other) {
  strcpy(diskname, other.diskname);
  diskstamp = other.diskstamp;
  stampname = other.stampname;
  utf8file = other.utf8file;
  utf8bom = other.utf8bom;
  linebreaks = other.linebreaks;
}

// The first F7 writes nothing when the file at the name is not the one
// this pane read or wrote last: someone changed, replaced or removed it,
// or planted a link or a file at a name that was free; or the pane never
// read a file that is there (a default name). The next F7 writes.
bool editview::askoverwrite(const std::string& sysname) {
  if (overwriteasked) return false;
  diskfile::stamp now = diskfile::stampof(sysname.c_str());
  bool known = stampname == sysname;
  if (known && diskfile::samefile(diskstamp, now)) return false;
  if (!known && !now.exists) return false;
  overwriteasked = true;
  if (known)
    notify("文件已在磁盘上改动，再按F7覆盖：%s", filename);
  else
    notify("已有同名文件，不是本窗口打开的，再按F7覆盖：%s", filename);
  return true;
}

bool editview::save() {
  if (!filename[0]) {
    notify("%s", "没有文件名，不保存");
    return false;
  }
  if (!ischanged()) {
    notify("%s", "文件未改，取消保存");
    return false;
  }
  std::string sysname;
  if (systemname(filename, sysname) && askoverwrite(sysname)) return false;
  // A link is written through only when the file was opened through it;
  // one that appeared since is replaced, and what it names left alone.
  bool vialink = stampname == sysname && diskstamp.islink;
  if (!savefile(filename, vialink ? diskfile::links::follow : diskfile::links::replace)) {
    savefailed(filename);
    return false;
  }
  memcpy(savedtext, text, len);
  savedlen = len;
  notedisk(sysname);
  notify("文件%s已保存，共%d字节", filename, writtenbytes);
  return true;
}

bool editview::saveas(const char* path) {
  if (!path || !path[0] || strlen(path) >= static_cast<size_t>(namesize)) {
    notify("文件名太长或为空，不能存为（最多%d字节）", namesize - 1);
    return false;
  }
  if (!savefile(path)) {
    savefailed(path);
    return false;
  }
  memcpy(savedtext, text, len);
  savedlen = len;
  memmove(filename, path, strlen(path) + 1);
  std::string sysname;
  systemname(filename, sysname);
  notedisk(sysname);
  notify("文件存为%s,共%d字节", filename, writtenbytes);
  return true;
}
