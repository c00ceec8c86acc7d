#!/usr/bin/env python3
"""Prints what the generated dictionaries hold and how well the most
frequent characters are placed for typing; with --sentences, how well the
sentence engine converts held-out text (see sentence_report).

Builds the same tables as gendict.py (from the unpacked packages; run
fetch.sh first) and runs the pinyin character scan of the input method on
them: a forward scan of keyinputpy from the start, keeping each entry whose
code field masked to the typed length equals the typed code, six candidates
a page, in table order.
"""

import bisect
import collections
import difflib
import gzip
import glob
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gendict  # noqa: E402

TOP = 3000
PAGE = 6
WORDS = 2000
WORDPAGE = 4
JIEBA = os.path.join(gendict.CACHE, 'usr', 'lib', 'python3', 'dist-packages', 'jieba', 'dict.txt')


def mask(n):
    return (1 << (8 * n)) - 1


def first_page(t, typed):
    """Characters of the first page of the pinyin scan for `typed`."""
    key, m = gendict.key64(typed), mask(len(typed))
    out = []
    for i, code in enumerate(t.py):
        if code & m == key:
            out.append(t.chars[t.pyindex[i]][0])
            if len(out) == PAGE:
                break
    return out


def wubi_exact(t):
    """Code -> texts of its exact matches, in phrase-table order."""
    out = collections.defaultdict(list)
    for text, code, _ in t.phrases:
        out[code].append(text)
    return out


def frequent_words(n):
    """The n most frequent two-character GB2312 words of jieba's list."""
    words = []
    with open(JIEBA, encoding='utf-8') as f:
        for line in f:
            parts = line.split()
            if len(parts) >= 2 and len(parts[0]) == 2 and gendict.is_hanzi_text(parts[0]):
                words.append((-int(parts[1]), parts[0]))
    words.sort()
    return [w for _, w in words[:n]]


def words_by_table(t, page):
    """First word page as the phrase-table scan gives it: the first entries
    in table order whose first character is on the page."""
    out = []
    for text, _, _ in t.phrases:
        if text[0] in page:
            out.append(text)
            if len(out) == WORDPAGE:
                break
    return out


def words_by_index(t, page):
    """First word page as the word index gives it: the lowest ranks among
    the page characters' lists."""
    ranks = []
    for ch in set(page):
        s = gendict.word_slot(ch)
        lst = t.wordlist[t.wordfirst[s]:t.wordfirst[s + 1]]
        ranks.extend(t.wordrank[k] for k in lst[:WORDPAGE])
    ranks.sort()
    byrank = {t.wordrank[k]: k for k in t.wordlist}
    return [t.phrases[byrank[r]][0] for r in ranks[:WORDPAGE]]


def word_measure(t, pinyins):
    """How many of the frequent words show on the first word page after
    typing their first character's pinyin (any reading), table scan and
    word index."""
    pages = {}
    before = after = 0
    for w in frequent_words(WORDS):
        hit_before = hit_after = False
        for py in pinyins.get(w[0], []):
            if py not in pages:
                page = first_page(t, py)
                pages[py] = (page, words_by_table(t, page), words_by_index(t, page))
            page, old, new = pages[py]
            if w[0] in page:
                hit_before |= w in old
                hit_after |= w in new
        before += hit_before
        after += hit_after
    return before, after


def main():
    t = gendict.Tables()
    chars = t.chars
    print('character rows (zhiinputsize):   %d' % len(chars))
    print('syllables:                        %d' % len({py for _, py, _ in chars}))
    print('characters covered:               %d of 6763' % len({c for c, _, _ in chars}))
    readings = collections.Counter(c for c, _, _ in chars)
    print('characters with several readings: %d' % sum(1 for n in readings.values() if n > 1))
    print('rows from luna_pinyin (last in their syllable): %d'
          % sum(1 for _, _, w in chars if w < 0))
    lengths = collections.Counter(len(text) for text, _, _ in t.phrases)
    print('phrase entries (inputhzchinumber): %d' % len(t.phrases))
    for n in sorted(lengths):
        print('  %d character%s: %d' % (n, '' if n == 1 else 's', lengths[n]))
    print('text buffer: %d bytes (inputchibufnumber %d)' % (len(t.chibytes), len(t.chibytes) // 2))
    print('pinyin_simp weights scaled by %d' % t.scale)

    # A character's frequency is the weight of its most frequent reading.
    best = {}
    for c, py, w in chars:
        if c not in best or w > best[c][1]:
            best[c] = (py, w)
    top = sorted(best, key=lambda c: (-best[c][1], gendict.ushort(c)))[:TOP]
    pages = {}

    def on_page(c, py):
        if py not in pages:
            pages[py] = first_page(t, py)
        return c in pages[py]

    main_hits = sum(1 for c in top if on_page(c, best[c][0]))
    pinyins = collections.defaultdict(list)
    for c, py, _ in chars:
        pinyins[c].append(py)
    any_hits = sum(1 for c in top if any(on_page(c, py) for py in pinyins[c]))
    print('top %d characters on the first page (%d) of their full pinyin:' % (TOP, PAGE))
    print('  main reading: %d   any reading: %d' % (main_hits, any_hits))
    for limit in (500, 1000):
        hits = sum(1 for c in top[:limit] if on_page(c, best[c][0]))
        print('  of the top %d: %d' % (limit, hits))
    misses = [c for c in top[:500] if not on_page(c, best[c][0])]
    print('  top-500 characters off the first page: %s' % ''.join(misses))

    if os.path.exists(JIEBA):
        before, after = word_measure(t, pinyins)
        print('top %d two-character words (jieba) on the first word page after their first '
              'character\'s pinyin: phrase-table order %d, word index %d' % (WORDS, before, after))
    else:
        print('word measure skipped: %s missing (run fetch.sh)' % JIEBA)

    exact = wubi_exact(t)
    first = sum(1 for c in top if exact[t.full[c]][:1] == [c])
    shown = sum(1 for c in top if c in exact[t.full[c]][:PAGE])
    print('top %d characters by their full wubi code: first candidate %d, among the first %d: %d'
          % (TOP, first, PAGE, shown))


# ---- the sentence engine on held-out text --------------------------------

BUILD = os.path.join(gendict.ROOT, 'build')
NPM = os.path.join(gendict.ROOT, 'tools', 'cache', 'npm')
PINYIN_PRO = 'pinyin-pro@3.29.4'
MAX_LETTERS = 64


def manpage_text():
    """The Chinese manual pages (technical documentation), troff requests
    and font escapes taken out."""
    out = []
    for path in sorted(glob.glob(os.path.join(gendict.CACHE, 'usr', 'share', 'man', 'zh_CN',
                                              'man*', '*.gz'))):
        with gzip.open(path, 'rt', encoding='utf-8', errors='replace') as f:
            for line in f:
                if line.startswith(('.', "'")):
                    line = line.split(' ', 1)[1] if ' ' in line else ''
                out.append(re.sub(r'\\f.|\\\(..|\\.', ' ', line))
    return ''.join(out)


def faq_text():
    """The Debian FAQ in Chinese (prose); lines wrapped inside a sentence
    are joined."""
    path = os.path.join(gendict.CACHE, 'usr', 'share', 'doc', 'debian', 'FAQ',
                        'debian-faq.zh-cn.txt.gz')
    with gzip.open(path, 'rt', encoding='utf-8') as f:
        text = f.read()
    return re.sub(r'(?<=[^\x00-\x7f])\n\s*(?=[^\x00-\x7f])', '', text)


def phrases(text):
    """The runs of two or more GB2312 hanzi, once each, in text order."""
    seen, out = set(), []
    for run in re.findall('[\u4e00-\u9fff]+', text):
        if len(run) >= 2 and gendict.is_hanzi_text(run) and run not in seen:
            seen.add(run)
            out.append(run)
    return out


def to_pinyin(lines):
    """Syllable lists of the lines, by pinyin-pro (npm), installed on first
    use into tools/cache/npm."""
    if not os.path.isdir(os.path.join(NPM, 'node_modules', 'pinyin-pro')):
        os.makedirs(NPM, exist_ok=True)
        subprocess.run(['npm', 'install', '--no-audit', '--no-fund', '--prefix', NPM, PINYIN_PRO],
                       check=True, stdout=subprocess.DEVNULL)
    res = subprocess.run(['node', os.path.join(HERE, 'topinyin.js')], input='\n'.join(lines) + '\n',
                         capture_output=True, text=True, check=True)
    return [l.split() for l in res.stdout.split('\n')[:len(lines)]]


def convert(lines, page=False):
    tool = os.path.join(BUILD, 'tools', 'pinyinconvert')
    res = subprocess.run([tool] + (['--page'] if page else []), input='\n'.join(lines) + '\n',
                         capture_output=True, text=True, check=True)
    return res.stdout.split('\n')[:len(lines)]


def sentence_measure(name, text):
    runs = phrases(text)
    sylls = to_pinyin(runs)
    cases = [(r, ''.join(s)) for r, s in zip(runs, sylls)
             if len(s) == len(r) and all(x.isalpha() and x.isascii() for x in s)
             and len(''.join(s)) <= MAX_LETTERS]
    got = convert([letters for _, letters in cases])
    exact = sum(1 for (r, _), g in zip(cases, got) if g == r)
    chars = sum(len(r) for r, _ in cases)
    right = sum(sum(b.size for b in difflib.SequenceMatcher(None, r, g).get_matching_blocks())
                for (r, _), g in zip(cases, got))
    print('%s: %d phrases of 2+ characters (up to %d letters), %d characters' %
          (name, len(cases), MAX_LETTERS, chars))
    print('  sentence exactly right with one space: %.1f %%   characters right: %.1f %%' %
          (100.0 * exact / len(cases), 100.0 * right / chars))


def word_first_measure():
    """Of the most frequent two-character words: how many come first for
    their full pinyin, and how many are on the first page for their
    initials."""
    words = frequent_words(WORDS)
    sylls = to_pinyin(words)
    full = [''.join(s) for s in sylls]
    initials = [''.join(x[0] for x in s) for s in sylls]
    first = sum(1 for w, g in zip(words, convert(full)) if g == w)
    onpage = sum(1 for w, g in zip(words, convert(initials, page=True)) if w in g.split())
    print('top %d two-character words (jieba): first for their full pinyin %d, '
          'on the first page for their initials %d' % (WORDS, first, onpage))


def sentence_report():
    """The sentence engine (build/tools/pinyinconvert) on text no table was
    made from: Chinese manual pages and the Debian FAQ (measure.txt; run
    fetch.sh first), converted to pinyin by pinyin-pro."""
    sentence_measure('manual pages (manpages-zh)', manpage_text())
    sentence_measure('FAQ (debian-faq-zh-cn)', faq_text())
    word_first_measure()


HERE = os.path.dirname(os.path.abspath(__file__))

if __name__ == '__main__':
    if sys.argv[1:] == ['--sentences']:
        sentence_report()
    else:
        main()
