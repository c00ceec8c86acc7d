#!/usr/bin/env python3
"""Builds the input-method dictionaries from the unpacked Debian packages
(see fetch.sh) and writes them as C++ sources into input/generated/.

Character group (module inpywb): one row per (GB2312 hanzi, toneless
pinyin) pair, rows in pinyin order and most frequent first within a pinyin;
each row carries the character's full wubi-86 code. Two code tables sorted
by their 64-bit little-endian key (stable on row) and their row tables.

Phrase group (module inputchi): the single characters once per wubi code
that produces them, the GB2312 words of wubi86 with their own codes, and the
pinyin_simp words wubi86 lacks, coded by the phrase rule. Entries are
ordered by the first three code letters, by weight within a group.

Word index (module inputwords): for each GB2312 character the entries of
two or more characters that begin with it, by weight (the pinyin word list
walks it), and each entry's rank among all indexed words.

Only the standard library is used; every GBK conversion goes through
Python's gbk codec. Running it twice gives the same bytes.
"""

import collections
import math
import os
import shutil
import statistics
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, '..', '..'))
CACHE = os.path.join(ROOT, 'tools', 'cache', 'root')
DATA = os.path.join(CACHE, 'usr', 'share', 'rime-data')

MAX_PHRASE_CHARS = 9


def packages():
    """The pinned (name, version) pairs of packages.txt."""
    out = []
    with open(os.path.join(HERE, 'packages.txt'), encoding='utf-8') as f:
        for line in f:
            line = line.strip()
            if line and not line.startswith('#'):
                name, ver = line.split('=', 1)
                out.append((name, ver))
    return out


def dict_rows(name):
    """The tab-separated rows of a dictionary after its '...' header line."""
    path = os.path.join(DATA, name)
    body = False
    with open(path, encoding='utf-8') as f:
        for line in f:
            line = line.rstrip('\n')
            if line == '...':
                body = True
                continue
            if not body or not line or line.startswith('#'):
                continue
            yield line.split('\t')


def gb2312_hanzi():
    """All 6763 GB2312 hanzi in code order (rows 16..87; row 55 ends at F9)."""
    out = []
    for lead in range(0xB0, 0xF8):
        for trail in range(0xA1, 0xFF):
            if lead == 0xD7 and trail > 0xF9:
                continue
            out.append(bytes([lead, trail]).decode('gbk'))
    return out


HANZI = set(gb2312_hanzi())


def is_hanzi_text(text):
    return len(text) > 0 and all(c in HANZI for c in text)


def plain_pinyin(code):
    """Toneless pinyin with u for u-umlaut (lv -> lu, nve -> nue)."""
    return code.replace('v', 'u')


def key64(code):
    """The 8-byte code field read as a little-endian 64-bit integer."""
    assert 1 <= len(code) <= 7 and code.isascii() and code.isalpha()
    return int.from_bytes(code.encode('ascii').ljust(8, b'\0'), 'little')


def ushort(ch):
    """A character's two GBK bytes read as a 16-bit value in memory order."""
    return int.from_bytes(ch.encode('gbk'), 'little')


def phrase_code(text, full):
    """The wubi code of a word from its characters' full codes."""
    c = [full[ch] for ch in text]
    if len(text) == 2:
        return c[0][:2] + c[1][:2]
    if len(text) == 3:
        return c[0][0] + c[1][0] + c[2][:2]
    return c[0][0] + c[1][0] + c[2][0] + c[-1][0]


def char_rows():
    """[(char, pinyin, weight)] in table order, and the per-char weight."""
    by_pinyin = {}
    seen = {}
    order = 0
    for row in dict_rows('pinyin_simp.dict.yaml'):
        text, code, weight = row[0], row[1], int(row[2])
        if len(text) != 1 or text not in HANZI:
            continue
        py = plain_pinyin(code)
        k = (text, py)
        if k in seen:
            # lv and lu readings of one character fall together: keep one
            # row with the larger weight.
            entry = seen[k]
            entry[2] = max(entry[2], weight)
            continue
        entry = [text, py, weight, order]
        order += 1
        seen[k] = entry
        by_pinyin.setdefault(py, []).append(entry)
    covered = {k[0] for k in seen}
    late = {}
    for row in dict_rows('luna_pinyin.dict.yaml'):
        text, code = row[0], row[1]
        if len(text) != 1 or text not in HANZI or text in covered:
            continue
        py = plain_pinyin(code)
        if (text, py) in late:
            continue
        late[(text, py)] = True
        by_pinyin.setdefault(py, [])
        # Marked with weight -1: they go after every ranked row.
        by_pinyin[py].append([text, py, -1, order])
        order += 1
    rows = []
    for py in sorted(by_pinyin):
        group = by_pinyin[py]
        ranked = sorted((e for e in group if e[2] >= 0), key=lambda e: (-e[2], e[3]))
        tail = [e for e in group if e[2] < 0]
        rows.extend((e[0], e[1], e[2]) for e in ranked + tail)
    missing = HANZI - {r[0] for r in rows}
    if missing:
        sys.exit('gendict: no reading for ' + ''.join(sorted(missing)))
    return rows


def wubi_rows():
    """The wubi86 rows whose code does not start with z: (text, code, weight)."""
    out = []
    for row in dict_rows('wubi86.dict.yaml'):
        text, code = row[0], row[1]
        if code.startswith('z'):
            continue
        out.append((text, code, int(row[2])))
    return out


def full_codes(wubi):
    """char -> full code (its longest code; the first of that length)."""
    full = {}
    for text, code, _ in wubi:
        if len(text) == 1 and text in HANZI:
            if text not in full or len(code) > len(full[text]):
                full[text] = code
    missing = HANZI - set(full)
    if missing:
        sys.exit('gendict: no wubi code for ' + ''.join(sorted(missing)))
    return full


def phrase_entries(wubi, full):
    """[(text, code, weight)] in table order, and the weight scale used."""
    entries = []
    seen = set()
    wubi_words = {}
    for text, code, weight in wubi:
        if not is_hanzi_text(text) or len(text) > MAX_PHRASE_CHARS:
            continue
        if (text, code) in seen:
            continue
        seen.add((text, code))
        entries.append((text, code, weight))
        if len(text) > 1:
            wubi_words.setdefault(text, weight)
    simp = {}
    simp_order = []
    for row in dict_rows('pinyin_simp.dict.yaml'):
        text, weight = row[0], int(row[2])
        if len(text) < 2 or len(text) > MAX_PHRASE_CHARS or not is_hanzi_text(text):
            continue
        if text not in simp:
            simp_order.append(text)
            simp[text] = weight
        else:
            simp[text] = max(simp[text], weight)
    # Scale pinyin_simp weights onto wubi86's: the median ratio over the
    # words both dictionaries have.
    ratios = [wubi_words[t] / simp[t] for t in simp if t in wubi_words and simp[t] > 0]
    scale = round(statistics.median(ratios))
    for text in simp_order:
        if text not in wubi_words:
            entries.append((text, phrase_code(text, full), simp[text] * scale))
    order = sorted(range(len(entries)),
                   key=lambda i: (entries[i][1][:3], -entries[i][2], i))
    return [entries[i] for i in order], scale


class Tables:
    """Every table of both groups, as Python lists."""

    def __init__(self):
        self.chars = char_rows()
        wubi = wubi_rows()
        self.full = full_codes(wubi)
        self.hanzhi = [ushort(c) for c, _, _ in self.chars]
        pykeys = [key64(py) for _, py, _ in self.chars]
        wbkeys = [key64(self.full[c]) for c, _, _ in self.chars]
        self.pyindex = sorted(range(len(pykeys)), key=lambda r: (pykeys[r], r))
        self.py = [pykeys[r] for r in self.pyindex]
        self.wbindex = sorted(range(len(wbkeys)), key=lambda r: (wbkeys[r], r))
        self.wb = [wbkeys[r] for r in self.wbindex]
        self.phrases, self.scale = phrase_entries(wubi, self.full)
        buf = bytearray()
        self.chiindex = []
        for text, _, _ in self.phrases:
            self.chiindex.append(len(buf))
            buf += text.encode('gbk')
        self.chiindex.append(len(buf))
        self.chibytes = bytes(buf)
        self.chiwb = [key64(code) for _, code, _ in self.phrases]
        self.wordrank, self.wordfirst, self.wordlist = word_index(self.phrases)


def word_slot(ch):
    """(lead - 0xB0) * 94 + (trail - 0xA1) of a GB2312 hanzi."""
    b = ch.encode('gbk')
    return (b[0] - 0xB0) * 94 + (b[1] - 0xA1)


def word_index(phrases):
    """Rank of each entry among the words (-1 if not indexed), and per
    character slot the offsets into and the list of its entries by rank.
    A word under two codes is indexed once, by its heavier entry."""
    words = [k for k, (text, _, _) in enumerate(phrases) if len(text) > 1]
    words.sort(key=lambda k: (-phrases[k][2], k))
    rank = [-1] * len(phrases)
    seen = set()
    ranked = []
    for k in words:
        if phrases[k][0] in seen:
            continue
        seen.add(phrases[k][0])
        rank[k] = len(ranked)
        ranked.append(k)
    slots = [[] for _ in range(72 * 94)]
    for k in ranked:
        slots[word_slot(phrases[k][0][0])].append(k)
    first, flat = [], []
    for s in slots:
        first.append(len(flat))
        flat.extend(s)
    first.append(len(flat))
    return rank, first, flat


# ---- sentence tables (module inputsent) ------------------------------------

# The pinyin words of the sentence engine: every GB2312 word or character of
# pinyin_simp with one of its readings, pointing into the phrase table.
# Costs are in steps of 0.05 of a decimal logarithm (SCORE_STEP).
SCORE_STEP = 0.05
MAX_PAIRS = 200000
MAX_PAIRS_PER_WORD = 255
# Readings that are no syllable a sentence is typed in.
NOT_SYLLABLES = {'m', 'n', 'ng'}
START = '<s>'
START_LOG10 = math.log10(0.05)
LM_PAIRS = os.path.join(ROOT, 'tools', 'cache', 'lmpairs.txt')


def sentence_words(phrases):
    """[(syllables, text, weight, entry)] sorted by syllable count, then
    syllable ids, then weight; and the sorted syllable list."""
    entry = {}
    for k, (text, _, _) in enumerate(phrases):
        entry.setdefault(text, k)
    seen = {}
    for row in dict_rows('pinyin_simp.dict.yaml'):
        text, weight = row[0], int(row[2])
        if not is_hanzi_text(text):
            continue
        syls = tuple(plain_pinyin(x) for x in row[1].split())
        if len(syls) != len(text) or NOT_SYLLABLES & set(syls):
            continue
        key = (text, syls)
        seen[key] = max(seen.get(key, 0), weight)
    names = sorted({x for _, syls in seen for x in syls})
    sid = {x: i for i, x in enumerate(names)}
    words = [(tuple(sid[x] for x in syls), text, w, entry[text])
             for (text, syls), w in seen.items()]
    words.sort(key=lambda r: (len(r[0]), r[0], -r[2], r[1]))
    return words, names


def quantise(x, top=255):
    return max(0, min(top, int(round(x / SCORE_STEP))))


def lm_scores(words):
    """The model's unigram and back-off per text and its bigrams, as
    written by lmpairs (regenerate.sh runs it first)."""
    if not os.path.exists(LM_PAIRS):
        sys.exit('gendict: %s missing; run tools/dict/regenerate.sh' % LM_PAIRS)
    texts = sorted({w[1] for w in words})
    # Text -1 is the start of a sentence; one in twenty words starts one.
    name = lambda k: texts[k] if k >= 0 else START
    uni, pairs = {}, []
    with open(LM_PAIRS, encoding='ascii') as f:
        for line in f:
            p = line.split()
            if p[0] == 'W':
                uni[name(int(p[1]))] = (float(p[2]), float(p[3]))
            else:
                pairs.append((name(int(p[1])), name(int(p[2])), float(p[3])))
    uni[START] = (START_LOG10, uni[START][1])
    return texts, uni, pairs


def sentence_pairs(words, uni, pairs):
    """The most useful bigrams: (first record, second record, gain), gain in
    score steps over the back-off estimate, sorted by records."""
    records = {START: [len(words)]}
    for r, w in enumerate(words):
        records.setdefault(w[1], []).append(r)
    scored = []
    for a, b, c in pairs:
        gain = c - (uni[a][1] + uni[b][0])
        if gain < SCORE_STEP:
            continue
        # Joint probability times what the pair changes.
        scored.append((-(10 ** (uni[a][0] + c)) * gain, a, b, gain))
    scored.sort()
    out, per = [], {}
    for _, a, b, gain in scored:
        for ra in records[a]:
            for rb in records[b]:
                if len(out) < MAX_PAIRS and per.get(ra, 0) < MAX_PAIRS_PER_WORD:
                    per[ra] = per.get(ra, 0) + 1
                    out.append((ra, rb, quantise(gain, 127)))
    out.sort()
    return out


def word_costs(words, uni):
    """-log10 of each record's frequency: the mean of pinyin_simp's weight
    and the model's unigram, the model's shared out among the text's
    readings by pinyin_simp's weights (half a step worse without it)."""
    total = sum(w[2] + 1 for w in words)
    bytext = collections.Counter()
    for w in words:
        bytext[w[1]] += w[2] + 1
    out = []
    for w in words:
        simp = -math.log10((w[2] + 1) / total)
        if w[1] in uni:
            share = -math.log10((w[2] + 1) / bytext[w[1]])
            out.append(quantise((simp + share - uni[w[1]][0]) / 2))
        else:
            out.append(quantise(simp + 0.5))
    return out


class Sentence:
    """The tables of the sentence engine."""

    def __init__(self, phrases):
        self.words, self.syllables = sentence_words(phrases)
        self.texts, uni, pairs = lm_scores(self.words)
        self.cost = word_costs(self.words, uni)
        # Record len(words) is the start of a sentence: no cost, its back-off.
        self.back = [quantise(-uni[w[1]][1]) if w[1] in uni else 0 for w in self.words]
        self.cost.append(0)
        self.back.append(quantise(-uni[START][1]))
        self.pairs = sentence_pairs(self.words, uni, pairs)

    def lengthcounts(self):
        return [sum(1 for w in self.words if len(w[0]) == n) for n in range(1, 5)]

    def blob(self):
        """Little-endian records: syllable ids (2 bytes each, by length
        group), entries (3 bytes), costs, back-offs, pair counts (1 byte
        each, one more for the start of a sentence), then the pairs (3
        bytes: second record << 7 | gain)."""
        b = bytearray()
        for w in self.words:
            for x in w[0]:
                b += x.to_bytes(2, 'little')
        for w in self.words:
            b += w[3].to_bytes(3, 'little')
        b += bytes(self.cost) + bytes(self.back)
        count = [0] * (len(self.words) + 1)
        for a, _, _ in self.pairs:
            count[a] += 1
        b += bytes(count)
        for _, rb, g in self.pairs:
            b += (rb << 7 | g).to_bytes(3, 'little')
        return bytes(b)


def emit_inputsent(sent, path):
    import base64
    data = base64.b64encode(sent.blob()).decode('ascii')
    s = [source_note(), '#include "input/inputsent.h"\n\n']
    s.append('extern const int sentsyllablecount = %d;\n' % len(sent.syllables))
    s.append('extern const char* const sentsyllables[%d] = {\n%s\n};\n\n' % (
        len(sent.syllables), '\n'.join('"%s",' % x for x in sent.syllables)))
    s.append('extern const int sentwordcounts[4] = {%s};\n' % ','.join(
        str(n) for n in sent.lengthcounts()))
    s.append('extern const int sentpaircount = %d;\n\n' % len(sent.pairs))
    s.append('// The records and pairs in base 64 (see inputsent.h).\n')
    s.append('extern const char sentdata[%d] =\n%s;\n' % (len(data) + 1, '\n'.join(
        '"%s"' % data[i:i + 120] for i in range(0, len(data), 120))))
    write(path, ''.join(s))


def write_lm_words(path):
    """The distinct texts of the sentence words, for lmpairs (UTF-8)."""
    t = Tables()
    words, _ = sentence_words(t.phrases)
    with open(path, 'w', encoding='utf-8', newline='\n') as f:
        for text in sorted({w[1] for w in words}):
            f.write(text + '\n')


# ---- C++ emission -----------------------------------------------------------

def number_lines(values, fmt='%d', width=100):
    """Comma-separated numbers wrapped at about `width` columns."""
    lines, cur = [], ''
    for v in values:
        item = (fmt % v) + ','
        if cur and len(cur) + len(item) > width:
            lines.append(cur)
            cur = ''
        cur += item
    if cur:
        lines.append(cur)
    return '\n'.join(lines)


def string_lines(data, per_line=32):
    """Bytes as adjacent string literals of hex escapes, `per_line` a line."""
    out = []
    for i in range(0, len(data), per_line):
        out.append('"' + ''.join('\\x%02x' % b for b in data[i:i + per_line]) + '"')
    return '\n'.join(out)


def source_note():
    lines = ['// Generated by tools/dict/gendict.py; do not edit (run tools/dict/regenerate.sh).',
             '// Made from the Debian packages']
    lines += ['//   %s %s' % p for p in packages()]
    lines.append('// under the licences listed in input/generated/dictlicences.txt.')
    return '\n'.join(lines) + '\n'


def write(path, text):
    with open(path, 'w', encoding='ascii', newline='\n') as f:
        f.write(text)


def emit_inpywb(t, path):
    n = len(t.hanzhi)
    s = [source_note(), '#include "input/inpywb.h"\n\n']
    s.append('extern const int zhiinputsize = %d;\n\n' % n)
    s.append('// Row characters in pinyin order.\n')
    s.append('extern const unsigned short keyinputhanzhi[%d] = {\n%s\n};\n\n'
             % (n, number_lines(t.hanzhi)))
    for name, keys, index in (('keyinputpy', t.py, t.pyindex),
                              ('keyinputwb', t.wb, t.wbindex)):
        s.append('extern const uint64_t %s[%d] = {\n%s\n};\n\n'
                 % (name, n, number_lines(keys, '0x%x')))
        s.append('extern const int %sindex[%d] = {\n%s\n};\n\n'
                 % (name, n, number_lines(index)))
    write(path, ''.join(s))


def emit_inputchi(t, path):
    n = len(t.phrases)
    s = [source_note(), '#include "input/inputchi.h"\n\n']
    s.append('extern const int inputhzchinumber = %d;\n' % n)
    s.append('extern const int inputchibufnumber = %d;\n\n' % (len(t.chibytes) // 2))
    s.append('// All entry texts back to back (the literal adds one unused zero).\n')
    s.append('extern const char inputhanchibyte[%d] =\n%s;\n\n'
             % (len(t.chibytes) + 1, string_lines(t.chibytes)))
    s.append('extern const char* const inputhzchi = inputhanchibyte;\n\n')
    s.append('extern const int inputhzchiindex[%d] = {\n%s\n};\n\n'
             % (n + 1, number_lines(t.chiindex)))
    s.append('extern const uint64_t inputhzchiwb[%d] = {\n%s\n};\n'
             % (n, number_lines(t.chiwb, '0x%x')))
    write(path, ''.join(s))


def emit_inputwords(t, path):
    s = [source_note(), '#include "input/inputwords.h"\n\n']
    s.append('extern const int inputwordcount = %d;\n\n' % len(t.wordlist))
    s.append('extern const int inputwordfirst[inputwordslots + 1] = {\n%s\n};\n\n'
             % number_lines(t.wordfirst))
    s.append('extern const int inputwordlist[%d] = {\n%s\n};\n\n'
             % (len(t.wordlist), number_lines(t.wordlist)))
    s.append('extern const int inputwordrank[%d] = {\n%s\n};\n'
             % (len(t.wordrank), number_lines(t.wordrank)))
    write(path, ''.join(s))


# What each package gives and under which licence, as its Debian copyright
# file states; the licence texts are Debian's common-licenses.
SOURCES = {
    'rime-data-pinyin-simp': (
        'pinyin_simp.dict.yaml: readings and frequencies of the characters, '
        'and the words wubi86 lacks',
        'Apache-2.0', ['Apache-2.0']),
    'rime-data-wubi': (
        'wubi86.dict.yaml: wubi-86 codes of characters and words, and their weights',
        'LGPL-3.0', ['LGPL-3', 'GPL-3']),
    'rime-data-luna-pinyin': (
        'luna_pinyin.dict.yaml: readings of the 14 component characters '
        'pinyin_simp lacks',
        'LGPL-3', ['LGPL-3', 'GPL-3']),
    'libime-data-language-model': (
        'zh_CN.lm: unigram, back-off and bigram scores of the words, read by '
        'tools/dict/lmpairs.cpp; pruned and quantised into inputsent.cpp',
        'LGPL-2.1-or-later', ['LGPL-2.1']),
}


def emit_licences(out):
    lic = os.path.join(out, 'licences')
    os.makedirs(lic, exist_ok=True)
    lines = [
        'Licences of the dictionary tables',
        '',
        'inpywb.cpp, inputchi.cpp, inputwords.cpp and inputsent.cpp are generated by',
        'tools/dict/gendict.py from data in these Debian packages (name, version, what is taken, licence):',
        '',
    ]
    texts = set()
    for name, ver in packages():
        what, licence, files = SOURCES[name]
        lines.append('- %s %s' % (name, ver))
        lines.append('  %s' % what)
        lines.append('  Licence: %s (texts: %s); Debian copyright file: licences/%s.copyright'
                     % (licence, ', '.join('licences/' + f for f in files), name))
        lines.append('')
        shutil.copyfile(os.path.join(CACHE, 'usr', 'share', 'doc', name, 'copyright'),
                        os.path.join(lic, name + '.copyright'))
        texts.update(files)
    lines.append('The LGPL-3 is a set of additional permissions on the GPL-3; both texts')
    lines.append('are included as the LGPL requires.')
    for f in sorted(texts):
        shutil.copyfile(os.path.join('/usr/share/common-licenses', f), os.path.join(lic, f))
    write(os.path.join(out, 'dictlicences.txt'), '\n'.join(lines) + '\n')


def main():
    if len(sys.argv) == 3 and sys.argv[1] == '--lmwords':
        write_lm_words(sys.argv[2])
        return
    if not os.path.isdir(DATA):
        sys.exit('gendict: %s missing; run tools/dict/fetch.sh' % DATA)
    t = Tables()
    out = os.path.join(ROOT, 'input', 'generated')
    emit_inpywb(t, os.path.join(out, 'inpywb.cpp'))
    emit_inputchi(t, os.path.join(out, 'inputchi.cpp'))
    emit_inputwords(t, os.path.join(out, 'inputwords.cpp'))
    sent = Sentence(t.phrases)
    emit_inputsent(sent, os.path.join(out, 'inputsent.cpp'))
    emit_licences(out)
    print('gendict: sentence engine: %d words, %d pairs' % (len(sent.words), len(sent.pairs)))
    print('gendict: %d character rows, %d phrase entries, weight scale %d'
          % (len(t.chars), len(t.phrases), t.scale))


if __name__ == '__main__':
    main()
