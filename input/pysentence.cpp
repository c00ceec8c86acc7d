// The sentence engine: syllable edges over the typed letters, word lookup
// along them in the generated records, and the best paths per position.
#include "input/pysentence.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "input/inputchi.h"
#include "input/inputsent.h"
#include "input/pylearn.h"

namespace {

// Costs in steps of 0.05 of a decimal logarithm, as the tables.
const int syllablecost = 8;   // each syllable: fewer, longer syllables first
const int initialcost = 30;   // a syllable given by its initial only
const int partialcost = 40;   // the last syllable, still being typed
const int lettercost = 400;   // a letter no syllable covers
const int wordsperblock = 4;  // records tried per syllable sequence
const int listperblock = 24;  // and offered in the word list

const char* const initials[] = {"b", "c", "ch", "d", "f",  "g", "h", "j", "k", "l", "m", "n",
                                "p", "q", "r",  "s", "sh", "t", "w", "x", "y", "z", "zh"};

// The records decoded from base 64 once.
struct tables {
  int words = 0;
  int groupstart[5] = {};
  int sylbase[5] = {};
  std::vector<uint16_t> syls;
  std::vector<int> entry;
  std::vector<uint8_t> cost, back;
  std::vector<int> pairstart;
  std::vector<uint32_t> pairs;

  tables() {
    std::vector<uint8_t> b = decode(sentdata);
    size_t at = 0;
    for (int g = 0; g < 4; g++) {
      groupstart[g + 1] = groupstart[g] + sentwordcounts[g];
      sylbase[g + 1] = sylbase[g] + sentwordcounts[g] * (g + 1);
    }
    words = groupstart[4];
    syls.resize(sylbase[4]);
    for (int i = 0; i < sylbase[4]; i++, at += 2) syls[i] = b[at] | b[at + 1] << 8;
    entry.resize(words);
    for (int r = 0; r < words; r++, at += 3) entry[r] = b[at] | b[at + 1] << 8 | b[at + 2] << 16;
    // Costs, back-offs and pair counts: one more, the start of a sentence.
    cost.assign(b.begin() + at, b.begin() + at + words + 1);
    at += words + 1;
    back.assign(b.begin() + at, b.begin() + at + words + 1);
    at += words + 1;
    pairstart.resize(words + 2);
    for (int r = 0; r <= words; r++) pairstart[r + 1] = pairstart[r] + b[at + r];
    at += words + 1;
    pairs.resize(sentpaircount);
    for (int i = 0; i < sentpaircount; i++, at += 3)
      pairs[i] = b[at] | b[at + 1] << 8 | static_cast<uint32_t>(b[at + 2]) << 16;
  }

  // Base 64 through a table: the records are over a megabyte, and this
  // runs the first time a sentence is looked up.
  static std::vector<uint8_t> decode(const char* s) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    uint8_t value[256] = {};
    for (int i = 0; i < 64; i++)
      value[static_cast<unsigned char>(digits[i])] = static_cast<uint8_t>(i);
    size_t len = std::strcspn(s, "=");
    std::vector<uint8_t> out(len * 6 / 8);
    uint32_t acc = 0;
    int bits = 0;
    size_t o = 0;
    for (size_t i = 0; i < len; i++) {
      acc = acc << 6 | value[static_cast<unsigned char>(s[i])];
      bits += 6;
      if (bits >= 8) {
        bits -= 8;
        out[o++] = static_cast<uint8_t>(acc >> bits);
      }
    }
    return out;
  }

  int group(int rec) const {
    int g = 0;
    while (rec >= groupstart[g + 1]) g++;
    return g;
  }
};

const tables& tab() {
  static const tables t;
  return t;
}

// The syllable ids whose names begin with the `len` letters of s.
void namerange(const char* s, int len, int& lo, int& hi) {
  const char* const* b = sentsyllables;
  const char* const* e = sentsyllables + sentsyllablecount;
  lo = static_cast<int>(
      std::lower_bound(
          b, e, s, [len](const char* a, const char* k) { return std::strncmp(a, k, len) < 0; }) -
      b);
  hi = static_cast<int>(
      std::upper_bound(
          b, e, s, [len](const char* k, const char* a) { return std::strncmp(k, a, len) < 0; }) -
      b);
}

// The first record in [lo, hi) whose syllable (base[r * stride]) is at
// least v; the syllables rise over the range.
int firstfrom(const uint16_t* base, int stride, int lo, int hi, int v) {
  while (lo < hi) {
    int mid = lo + (hi - lo) / 2;
    if (base[mid * stride] < v) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return lo;
}

// The letters s[0..len) and then c begin a syllable.
bool goeson(char* s, int len, char c) {
  if (c < 'a' || c > 'z') return false;
  s[len] = c == 'v' ? 'u' : c;
  int lo, hi;
  namerange(s, len + 1, lo, hi);
  s[len] = 0;
  return lo < hi;
}

bool isinitial(const char* s, int len) {
  for (const char* i : initials)
    if (static_cast<int>(std::strlen(i)) == len && std::strncmp(i, s, len) == 0) return true;
  return false;
}

}  // namespace

// ---- the tables ---------------------------------------------------------------

int pysentence::wordcount() { return tab().words; }
int pysentence::wordsyllables(int rec) { return tab().group(rec) + 1; }
int pysentence::syllable(int rec, int i) {
  const tables& t = tab();
  int g = t.group(rec);
  return t.syls[t.sylbase[g] + (rec - t.groupstart[g]) * (g + 1) + i];
}
const char* pysentence::syllablename(int id) { return sentsyllables[id]; }
bool pysentence::syllablestart(const char* s, int len) {
  if (len < 1 || len > maxsyllable) return false;
  char u[maxsyllable + 1] = {};
  for (int i = 0; i < len; i++) {
    if (s[i] < 'a' || s[i] > 'z') return false;
    u[i] = s[i] == 'v' ? 'u' : s[i];
  }
  int lo, hi;
  namerange(u, len, lo, hi);
  return lo < hi;
}

int pysentence::entry(int rec) { return tab().entry[rec]; }
int pysentence::syllablecount() { return sentsyllablecount; }
const pylearn* pysentence::learned = nullptr;

int pysentence::findrecord(const int* ids, int n, const char* text, int length) {
  if (n < 1 || n > 4) return -1;
  const tables& t = tab();
  int g = n - 1, lo = t.groupstart[g], hi = t.groupstart[g + 1];
  for (int i = 0; i < n; i++) {
    const uint16_t* base = t.syls.data() + t.sylbase[g] - t.groupstart[g] * n + i;
    lo = firstfrom(base, n, lo, hi, ids[i]);
    hi = firstfrom(base, n, lo, hi, ids[i] + 1);
  }
  for (int r = lo; r < hi; r++) {
    int e = t.entry[r];
    if (inputhzchiindex[e + 1] - inputhzchiindex[e] == length &&
        std::memcmp(inputhzchi + inputhzchiindex[e], text, length) == 0)
      return r;
  }
  return -1;
}
int pysentence::cost(int rec) { return tab().cost[rec]; }

bool pysentence::sametext(int a, int b) {
  int ea = entry(a), eb = entry(b);
  int la = inputhzchiindex[ea + 1] - inputhzchiindex[ea];
  return la == inputhzchiindex[eb + 1] - inputhzchiindex[eb] &&
         std::memcmp(inputhzchi + inputhzchiindex[ea], inputhzchi + inputhzchiindex[eb], la) == 0;
}

int pysentence::after(int a, int b) {
  const tables& t = tab();
  int c = t.cost[b];
  if (a < 0) a = t.words;  // the start of a sentence
  const uint32_t* lo = t.pairs.data() + t.pairstart[a];
  const uint32_t* hi = t.pairs.data() + t.pairstart[a + 1];
  const uint32_t* p = std::lower_bound(lo, hi, static_cast<uint32_t>(b) << 7);
  int gain = p != hi && static_cast<int>(*p >> 7) == b ? static_cast<int>(*p & 127) : 0;
  if (learned) gain += learned->bonus(a, b);
  return c + t.back[a] - gain;
}

// ---- letters ------------------------------------------------------------------

pysentence::pysentence() { clear(); }

void pysentence::clear(int context) {
  n = 0;
  text[0] = 0;
  start = context;
  paths[0][0] = {0, skip, context, -1, -1};
  npaths[0] = 1;
  nlast = 0;
}

bool pysentence::push(char c) {
  bool letter = c >= 'a' && c <= 'z';
  if (n == maxletters || (!letter && c != '\'')) return false;
  if (c == '\'' && (n == 0 || text[n - 1] == '\'')) return false;
  text[n++] = c;
  text[n] = 0;
  for (int x = std::max(0, n - maxsyllable - 1); x < n; x++) findedges(x);
  // The letter before may now end an initial: its paths again.
  if (n > 1) strictpaths(n - 1);
  strictpaths(n);
  lastpaths();
  return true;
}

void pysentence::pop() {
  if (n == 0) return;
  text[--n] = 0;
  for (int x = std::max(0, n - maxsyllable - 1); x < n; x++) findedges(x);
  if (n > 0) strictpaths(n);
  lastpaths();
}

// The syllables that begin at letter x: full syllables; initials where
// the next letter does not go on into a syllable (zg, not the t of
// jintian); and at the end any start of a syllable. 'v' is read as 'u'
// (lv, nve).
void pysentence::findedges(int x) {
  nedges[x] = 0;
  if (text[x] == '\'') return;
  char s[maxsyllable + 2] = {};
  for (int len = 1; len <= maxsyllable && x + len <= n && text[x + len - 1] != '\''; len++) {
    s[len - 1] = text[x + len - 1] == 'v' ? 'u' : text[x + len - 1];
    int lo, hi, y = x + len;
    namerange(s, len, lo, hi);
    if (lo == hi) break;
    bool full = std::strlen(sentsyllables[lo]) == static_cast<size_t>(len);
    edge e{static_cast<signed char>(y), 0, static_cast<short>(lo),
           static_cast<short>(full ? lo + 1 : hi)};
    if (full) {
      edges[x][nedges[x]++] = e;
      // A full syllable at the end may still grow (xia -> xian); a, o, e
      // alone before another syllable also stand for the syllables they
      // begin (aq: anquan).
      if (y == n && hi > lo + 1)
        edges[x][nedges[x]++] = {e.to, 2, static_cast<short>(lo + 1), static_cast<short>(hi)};
      else if (len == 1 && y < n && hi > lo + 1 && !goeson(s, len, text[y]))
        edges[x][nedges[x]++] = {e.to, 1, static_cast<short>(lo + 1), static_cast<short>(hi)};
    } else if (y == n) {
      edges[x][nedges[x]++] = {e.to, 2, static_cast<short>(lo), static_cast<short>(hi)};
    } else if (isinitial(s, len) && !goeson(s, len, text[y])) {
      edges[x][nedges[x]++] = {e.to, 1, static_cast<short>(lo), static_cast<short>(hi)};
    }
  }
}

// ---- paths ----------------------------------------------------------------------

void pysentence::insert(cell* cells, int& count, const cell& c) {
  int i = 0;
  while (i < count && cells[i].last != c.last) i++;
  if (i < count) {
    if (c.score >= cells[i].score) return;
  } else if (count < beam) {
    i = count++;
  } else if (c.score < cells[beam - 1].score) {
    i = beam - 1;
  } else {
    return;
  }
  cells[i] = c;
  for (; i > 0 && cells[i].score < cells[i - 1].score; i--) std::swap(cells[i], cells[i - 1]);
}

// The paths ending at q whose last syllable is complete.
void pysentence::strictpaths(int q) {
  npaths[q] = 0;
  if (text[q - 1] == '\'') {
    for (int s = 0; s < npaths[q - 1]; s++) {
      const cell& c = paths[q - 1][s];
      paths[q][npaths[q]++] = {c.score, skip, c.last, static_cast<signed char>(q - 1),
                               static_cast<signed char>(s)};
    }
    return;
  }
  sink to{paths[q], &npaths[q], nullptr, nullptr, nullptr, 0};
  for (int p = std::max(0, q - maxspan); p < q; p++)
    if (npaths[p] > 0 && text[p] != '\'') words(p, q, false, to);
  for (int s = 0; s < npaths[q - 1]; s++)
    insert(paths[q], npaths[q],
           {paths[q - 1][s].score + lettercost, -1 - text[q - 1], -1,
            static_cast<signed char>(q - 1), static_cast<signed char>(s)});
}

// The paths ending at the last letter: those above and those whose last
// syllable is still being typed.
void pysentence::lastpaths() {
  nlast = 0;
  if (n == 0) return;
  std::copy(paths[n], paths[n] + npaths[n], last);
  nlast = npaths[n];
  sink to{last, &nlast, nullptr, nullptr, nullptr, 0};
  for (int p = std::max(0, n - maxspan); p < n; p++)
    if (npaths[p] > 0 && text[p] != '\'') words(p, n, true, to);
}

void pysentence::words(int p, int q, bool partial, const sink& to) const {
  const tables& t = tab();
  // Words for a list: the longest first, in case the list fills up.
  for (int i = 0; i < 4; i++) {
    int g = to.recs ? 3 - i : i;
    walk(p, p, 0, g + 1, t.groupstart[g], t.groupstart[g + 1], q, partial, 0, to);
  }
}

// Follows the syllable edges from letter x as syllable d of words with
// `group` syllables, narrowing the records [lo, hi) (equal in their first
// d syllables) to each syllable id the edge allows. q < 0: any end.
void pysentence::walk(int p, int x, int d, int group, int lo, int hi, int q, bool partial, int pen,
                      const sink& to) const {
  if (d > 0 && x < n && text[x] == '\'') x++;
  if (x >= n) return;
  bool lastsyl = d == group - 1;
  for (int k = 0; k < nedges[x]; k++) {
    const edge& e = edges[x][k];
    if (q >= 0 && (lastsyl ? e.to != q : e.to >= q)) continue;
    if (q >= 0 && lastsyl && partial != (e.kind == 2)) continue;
    int epen = pen + syllablecost + (e.kind == 1 ? initialcost : e.kind == 2 ? partialcost : 0);
    const tables& t = tab();
    int g = group - 1;
    // Syllable d of record r is base[r * group].
    const uint16_t* base = t.syls.data() + t.sylbase[g] - t.groupstart[g] * group + d;
    int i = lo;
    while (true) {
      i = firstfrom(base, group, i, hi, e.lo);
      if (i >= hi || base[i * group] >= e.hi) break;
      int j = firstfrom(base, group, i, hi, base[i * group] + 1);
      if (lastsyl) {
        found(p, e.to, i, j, epen, to);
      } else {
        walk(p, e.to, d + 1, group, i, j, q, partial, epen, to);
      }
      i = j;
    }
  }
}

// Records [lo, hi) share their syllables; the first few (most frequent)
// end a word at letter y.
void pysentence::found(int p, int y, int lo, int hi, int pen, const sink& to) const {
  hi = std::min(hi, lo + (to.recs ? listperblock : wordsperblock));
  if (to.recs) {
    for (int r = lo; r < hi && *to.count < to.max; r++) {
      to.recs[*to.count] = r;
      to.scores[*to.count] = pen + after(start, r);
      to.ends[(*to.count)++] = y;
    }
    return;
  }
  for (int s = 0; s < npaths[p]; s++) {
    const cell& c = paths[p][s];
    for (int r = lo; r < hi; r++)
      insert(to.beamcells, *to.count,
             {c.score + pen + after(c.last, r), r, r, static_cast<signed char>(p),
              static_cast<signed char>(s)});
  }
}

// ---- results --------------------------------------------------------------------

int pysentence::sentence(int* pieces, int* ends, int max) const {
  if (n == 0 || nlast == 0) return 0;
  int count = 0, pos = n;
  cell c = last[0];
  while (c.from >= 0) {
    if (c.piece != skip && count < max) {
      pieces[count] = c.piece;
      ends[count++] = pos;
    }
    pos = c.from;
    c = paths[pos][c.slot];
  }
  std::reverse(pieces, pieces + count);
  std::reverse(ends, ends + count);
  return count;
}

int pysentence::startwords(int* recs, int* ends, int max) const {
  int count = 0;
  if (n == 0) return 0;
  int scores[256];
  sink to{nullptr, &count, recs, ends, scores, std::min(max, 256)};
  words(0, -1, true, to);
  // Longest first, then by cost (syllables given by initials cost more);
  // the same word twice (two readings of the same letters) once.
  int order[256];
  int m = count;
  for (int i = 0; i < m; i++) order[i] = i;
  std::stable_sort(order, order + m, [&](int a, int b) {
    if (ends[a] != ends[b]) return ends[a] > ends[b];
    return scores[a] < scores[b];
  });
  int r2[256], e2[256], out = 0;
  for (int i = 0; i < m; i++) {
    int r = recs[order[i]], e = ends[order[i]];
    bool dup = false;
    for (int k = 0; k < out && !dup; k++) dup = e2[k] == e && sametext(r2[k], r);
    if (!dup) {
      r2[out] = r;
      e2[out++] = e;
    }
  }
  std::copy(r2, r2 + out, recs);
  std::copy(e2, e2 + out, ends);
  return out;
}

namespace {
// Cuts the letters s[0..len) into the syllables ids[0..count): each piece
// begins its syllable's name; longer pieces first. Writes the piece
// lengths to cuts.
bool cutsyllables(const char* s, int len, const int* ids, int count, int* cuts) {
  if (count == 0) return len == 0;
  const char* name = sentsyllables[ids[0]];
  int most = std::min(len, static_cast<int>(std::strlen(name)));
  for (int take = most; take >= 1; take--) {
    bool ok = true;
    for (int i = 0; i < take && ok; i++) ok = (s[i] == 'v' ? 'u' : s[i]) == name[i];
    if (ok && cutsyllables(s + take, len - take, ids + 1, count - 1, cuts + 1)) {
      cuts[0] = take;
      return true;
    }
  }
  return false;
}
}  // namespace

void pysentence::syllabletext(char* out) const {
  int pieces[maxletters], ends[maxletters];
  int count = sentence(pieces, ends, maxletters), pos = 0, o = 0;
  for (int k = 0; k < count; k++) {
    char s[maxletters + 1];
    int len = 0;
    for (int x = pos; x < ends[k]; x++)
      if (text[x] != '\'') s[len++] = text[x];
    int ids[4], cuts[4], nsyl = 0;
    if (pieces[k] >= 0) {
      nsyl = wordsyllables(pieces[k]);
      for (int i = 0; i < nsyl; i++) ids[i] = syllable(pieces[k], i);
    }
    if (nsyl == 0 || !cutsyllables(s, len, ids, nsyl, cuts)) {
      nsyl = 1;
      cuts[0] = len;
    }
    for (int i = 0, at = 0; i < nsyl; at += cuts[i++]) {
      if (o > 0) out[o++] = '\'';
      std::memcpy(out + o, s + at, cuts[i]);
      o += cuts[i];
    }
    pos = ends[k];
  }
  out[o] = 0;
}
