// The command pane (pane 2): Enter runs the text line under its cursor.
// "open1"/"open2" load a file into pane 0/1, "find1"/"find2" search pane
// 0/1, anything else runs in the shell with its output poured into pane 1
// ("ed1.txt"); the command is recorded at the end of pane 2.
//
// Section order: free helpers (commands.h), then the window's members.
#include "app/commands.h"

#include <fcntl.h>
#include <sys/select.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>

#include "app/amybitmapwin.h"
#include "app/syslocale.h"
#include "editor/editview.h"
#include "graphics/gbkchar.h"
#include "views/statusbar.h"

namespace {

const char* const outputname = "ed1.txt";
// Shown, or added to a notice, while the command's shell has not ended.
const char* const runningnote = "命令运行中";
// A running command was stopped: by a new one, Ctrl-C, or pane 1 being
// loaded or copied over.
const char* const stoppednote = "命令已停止，其余输出丢弃";

// The blanks that separate words, as scanf's %s sees them in the C locale.
bool isseparator(char c) { return c && strchr(" \t\n\v\f\r", c); }

// Copies the word at p (after blanks) into out; 0 when there is none, -1
// when it does not fit.
int takeword(const char*& p, char* out, int outmax) {
  while (isseparator(*p)) p++;
  if (!*p) return 0;
  const char* start = p;
  while (*p && !isseparator(*p)) p++;
  int n = static_cast<int>(p - start);
  if (n >= outmax) return -1;
  memcpy(out, start, n);
  out[n] = 0;
  return 1;
}

// Stops a command whose output does not fit pane: closes it and says so.
int stopoutput(shellcommand& command, editview* pane) {
  command.stop();
  notify("已满，命令输出停止：%s", pane->filename);
  return -1;
}

}  // namespace

// ---- helpers

int isfilewaiting(int fd) {
  if (fd < 0 || fd >= FD_SETSIZE) return -1;
  fd_set set;
  FD_ZERO(&set);
  FD_SET(fd, &set);
  timeval now = {0, 0};
  int r = select(fd + 1, &set, nullptr, nullptr, &now);
  if (r < 0) return -1;
  return r > 0 ? 1 : 0;
}

textline linearound(const unsigned char* text, int len, int at) {
  at = std::max(0, std::min(at, len));
  int start = at;
  while (start > 0 && text[start - 1] != '\n') start--;
  const void* lf = memchr(text + at, '\n', len - at);
  int end = lf ? static_cast<int>(static_cast<const unsigned char*>(lf) - text) + 1 : len;
  return {start, end - start, lf == nullptr};
}

int splitcommand(const char* line, char* order, int ordermax, char* fn, int fnmax) {
  order[0] = fn[0] = 0;
  const char* p = line;
  int first = takeword(p, order, ordermax);
  if (first <= 0) return first;
  int second = takeword(p, fn, fnmax);
  if (second < 0) order[0] = fn[0] = 0;
  return second < 0 ? -1 : 1 + second;
}

int restname(const char* line, char* fn, int fnmax) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  const char* p = line;
  while (blank(*p)) p++;
  while (*p && !blank(*p)) p++;
  while (blank(*p)) p++;
  const char* end = p + strlen(p);
  if (*p == '"') {
    const char* close = strchr(++p, '"');
    if (!close) return -1;
    end = close;
  } else {
    while (end > p && blank(end[-1])) end--;
  }
  int n = static_cast<int>(end - p);
  if (n >= fnmax) return -1;
  memcpy(fn, p, n);
  fn[n] = 0;
  return n;
}

int findnext(const unsigned char* text, int len, int from, const char* word, int wordlen) {
  int wrapped = -1;  // first match at or before from
  int step = 1;
  for (int i = 0; i < len; i += step) {
    step = gbkcharbytes(text + i, static_cast<size_t>(len - i));
    if (i + wordlen > len || memcmp(text + i, word, wordlen) != 0) continue;
    if (i > from) return i;
    if (wrapped < 0) wrapped = i;
  }
  return wrapped;
}

int collectoutput(shellcommand& command, editview* pane, int chunk, utf8stream* fromutf8) {
  int fd = command.outputfd();
  if (fd < 0 || !pane) return 0;
  if (isfilewaiting(fd) != 1) return 0;
  unsigned char bytes[outputchunk];
  int want = std::min({chunk, outputchunk, editview::maxtextlen - pane->len});
  if (want <= 0) {
    // Full: anything still coming would be lost.
    ssize_t more = read(fd, bytes, 1);
    if (more > 0) return stopoutput(command, pane);
    if (more == 0) command.closeoutput();
    return 0;
  }
  ssize_t n = read(fd, bytes, want);
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
  std::string converted;
  if (n <= 0) {
    // The end (or an error). A character the output cut off is shown as
    // "?", once.
    command.closeoutput();
    if (!fromutf8 || fromutf8->pendingbytes() == 0) return 0;
    fromutf8->finish(converted);
    n = 0;
  } else if (fromutf8) {
    fromutf8->feed(bytes, n, converted);
  }
  unsigned char* got = bytes;
  if (fromutf8) got = reinterpret_cast<unsigned char*>(&converted[0]);
  int gotn = fromutf8 ? static_cast<int>(converted.size()) : static_cast<int>(n);
  // A zero byte would end the text when it is saved and read again: the
  // pane never holds one, so binary output loses its zeros here.
  int kept = static_cast<int>(std::remove(got, got + gotn, 0) - got);
  // Past the text's capacity or its line table: nothing of this read is kept.
  if (!pane->addoutput(got, kept)) return stopoutput(command, pane);
  const char* sep = command.running() ? "；" : "";
  const char* running = command.running() ? runningnote : "";
  if (fromutf8 && fromutf8->replacedcount() > 0)
    notify("%d个字符没有GBK编码，显示为?；read %d bytes%s%s", fromutf8->replacedcount(),
           static_cast<int>(n), sep, running);
  else
    notify("read %d bytes%s%s", static_cast<int>(n), sep, running);
  return std::max(static_cast<int>(n), 1);
}

namespace {

// Whether the folder a new file would be made in is there.
bool folderexists(const std::string& sysname) {
  size_t slash = sysname.rfind('/');
  if (slash == std::string::npos) return true;
  std::string folder = slash == 0 ? "/" : sysname.substr(0, slash);
  struct stat st;
  return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

// ---- the window's command members

namespace {

char cmdbuf[cmdbufsize];
char order[ordersize];
char fn[fnsize];
char serword[serwordsize];
// The running command's output on its way from UTF-8 (a UTF-8 system).
utf8stream outputstream;
// The current command's shell has ended; its status is shown once its
// output has been read to the end.
bool endtoshow = false;
// Output is read as fast as it comes but drawn once a frame interval: this
// is set while pane 1 holds output not drawn yet.
bool outputunshown = false;
std::chrono::steady_clock::time_point outputshownat;
// What the last showing took: a pane that is slow to draw (a large screen)
// is drawn less often, so that reading keeps at least two thirds of the time.
int outputshowms = 0;

int msince(std::chrono::steady_clock::time_point t) {
  auto d = std::chrono::steady_clock::now() - t;
  return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

// A command refused because it would drop unsaved changes is kept here;
// the same line run again next goes ahead and drops them.
char refusedline[cmdbufsize];
bool refusedset = false;
bool discardconfirmed = false;
// Set when the command being run was refused: it is then not recorded, and
// the line stays in pane 2 to be corrected.
bool commandrefused = false;

// True when pane's text may be replaced: it has no unsaved changes, or this
// line was refused for that reason just before.
bool mayreplace(editview* pane) {
  if (!pane->ischanged() || discardconfirmed) return true;
  notify("未保存，F7保存，再回车放弃修改：%s", pane->filename);
  strcpy(refusedline, cmdbuf);
  refusedset = true;
  commandrefused = true;
  return false;
}

}  // namespace

void amybitmapwin::runcommandline() {
  if (!ed2) return;
  textline line = linearound(ed2->text, ed2->len, static_cast<int>(ed2->cur - ed2->text));
  docommand(ed2->text + line.start, line.length);
}

void amybitmapwin::docommand(unsigned char* line, int length) {
  cmdbuf[0] = 0;
  while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r')) length--;
  if (length > maxcommandlth) {
    notify("命令过长（%d字节，最多%d字节），未执行", length, maxcommandlth);
    return;
  }
  memcpy(cmdbuf, line, length);
  cmdbuf[length] = 0;
  dispmsg1(cmdbuf);
  discardconfirmed = refusedset && strcmp(cmdbuf, refusedline) == 0;
  refusedset = false;
  commandrefused = false;
  if (!doinercmd(cmdbuf)) runshell();
  if (!commandrefused) recordcommand(length);
}

bool amybitmapwin::doinercmd(const char* line) {
  if (strlen(line) < 5 || (line[4] != '1' && line[4] != '2')) return false;
  if (splitcommand(line, order, ordersize, fn, fnsize) <= 0) return false;
  bool isopen = strcmp(order, "open1") == 0 || strcmp(order, "open2") == 0;
  if (isopen && restname(line, fn, fnsize) < 0) {
    notify("文件名过长或缺少后引号，不能打开：%s", line);
    commandrefused = true;
    return true;
  }
  return opendoc(order, fn) || findwod(order, fn);
}

bool amybitmapwin::opendoc(const char* ord, const char* name) {
  editview* pane;
  if (strcmp(ord, "open1") == 0)
    pane = ed0;
  else if (strcmp(ord, "open2") == 0)
    pane = ed1;
  else
    return false;
  if (!*name) {
    // Loading "" would empty the pane under no name at all.
    notify("%s后面要有文件名", ord);
    commandrefused = true;
    return true;
  }
  // Output on its way to pane 1 must never reach a file the user opened.
  if (!pane || !mayreplace(pane) || !pane->readfile(name)) return true;
  if (!pane->diskstamp.exists)
    notify(folderexists(pane->stampname) ? "新文件：%s" : "新文件，但文件夹不存在，保存不了：%s",
           pane->filename);
  if (pane == ed1) stopcommand();
  return true;
}

bool amybitmapwin::findwod(const char* ord, const char* word) {
  bool isfind = strcmp(ord, "find1") == 0 || strcmp(ord, "find2") == 0;
  int n = static_cast<int>(strlen(word));
  if (n >= serwordsize) {
    // Too long to keep: a find is refused; any other command's second word
    // simply does not become the search word.
    if (!isfind) return false;
    notify("查找词过长（%d字节，最多%d字节）", n, serwordsize - 1);
    commandrefused = true;
    return true;
  }
  if (n > 0) strcpy(serword, word);
  if (!isfind) return false;
  editview* pane = ord[4] == '1' ? ed0 : ed1;
  if (!pane) return true;
  int wordlen = static_cast<int>(strlen(serword));
  int at =
      findnext(pane->text, pane->len, static_cast<int>(pane->cur - pane->text), serword, wordlen);
  // A word that is not there leaves the cursor where it was.
  if (at < 0)
    notify("未找到：%s", serword);
  else
    pane->showfound(at, wordlen);
  return true;
}

// Pane 1 takes the output: emptied and named "ed1.txt" by the first
// command (unless that would drop unsaved changes), appended to after.
void amybitmapwin::runshell() {
  if (!ed1) return;
  // The shell gets the line as the system writes it.
  std::string line;
  codecfault f;
  if (!tosystem(cmdbuf, line, f)) {
    notify("命令第%d列的代码%X不是GBK字符，未执行", f.column, f.code);
    commandrefused = true;
    return;
  }
  if (strcmp(ed1->filename, outputname) != 0) {
    if (!mayreplace(ed1)) return;
    dispmsg1("change name to ed1.txt");
    ed1->startempty(outputname);
  }
  bool stopped = command.stop();
  outputstream.reset();
  endtoshow = false;
  if (!command.start(line.c_str())) {
    notify("命令未能启动：%s", strerror(errno));
    return;
  }
  if (stopped)
    notify("%s；%s", stoppednote, runningnote);
  else
    dispmsg1(runningnote);
}

bool amybitmapwin::stopcommand() {
  endtoshow = false;
  if (!command.stop()) return false;
  dispmsg1(stoppednote);
  return true;
}

// Pane 2 keeps the history: a command typed on the last line gets its line
// end; one taken from an earlier line is copied to the end.
void amybitmapwin::recordcommand(int length) {
  if (!ed2) return;
  textline line = linearound(ed2->text, ed2->len, static_cast<int>(ed2->cur - ed2->text));
  if (line.last) {
    ed2->addcontent("\r\n", 2);
    return;
  }
  // Text typed on the last line but not run stays a line of its own.
  if (linearound(ed2->text, ed2->len, ed2->len).length > 0) ed2->addcontent("\r\n", 2);
  char copy[cmdbufsize];
  memcpy(copy, cmdbuf, length);
  memcpy(copy + length, "\r\n", 2);
  ed2->addcontent(copy, length + 2);
}

// One pass: reaps ended children, takes in what the command wrote and,
// once its shell has ended and its output is read to the end, shows how it
// ended.
void amybitmapwin::readcommandoutput() {
  if (command.service()) endtoshow = true;
  if (!ed1) return;
  // Pane 1 renamed from under the output: it is no longer the output pane.
  if (command.outputfd() >= 0 && strcmp(ed1->filename, outputname) != 0 && stopcommand()) draw();
  collectwaiting();
  if (endtoshow && !command.active()) {
    endtoshow = false;
    int status = command.exitstatus;
    if (status > 128 && status <= 128 + 64)
      notify("命令被信号%d终止", status - 128);
    else
      notify("命令结束，退出状态%d", status);
    draw();
  }
}

// Reads while output is waiting, for outputpassms at most so that keys
// typed meanwhile wait no longer; draws pane 1 once a frame interval, and
// at once when the output has ended or was stopped.
void amybitmapwin::collectwaiting() {
  auto start = std::chrono::steady_clock::now();
  utf8stream* fromutf8 = utf8system ? &outputstream : nullptr;
  for (int got; (got = collectoutput(command, ed1, outputchunk, fromutf8)) != 0;) {
    outputunshown = true;
    if (got < 0 || msince(start) >= outputpassms) break;
  }
  if (outputunshown && (command.outputfd() < 0 || outputwaitms() == 0)) showoutput();
}

void amybitmapwin::showoutput() {
  auto start = std::chrono::steady_clock::now();
  outputunshown = false;
  // Not over the font chooser: the closing chooser redraws every pane.
  if (!modalview) {
    ed1->draw();
    draw();
  }
  outputshownat = std::chrono::steady_clock::now();
  outputshowms = msince(start);
}

int amybitmapwin::outputwaitms() const {
  if (!outputunshown) return -1;
  return std::max(0, std::max(outputframems, 2 * outputshowms) - msince(outputshownat));
}
