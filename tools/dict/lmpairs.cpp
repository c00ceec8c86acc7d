// lmpairs MODEL: reads the word list of the input method (distinct UTF-8 texts, one a
// line, sorted) on standard input and writes, from the language model of Debian's
// libime-data-language-model, what gendict.py needs for the pinyin bigram
// tables:
//   W k u d   text k's unigram log10 probability u and back-off weight d
//             (only for words the model knows)
//   P k j c   log10 P(word j | word k) where the model has that bigram;
//             k = -1 is the start of a sentence (W -1 0 d gives its back-off)
// Candidate pairs: every known word followed by the `top` most probable
// known words, and the pairs of the model's prediction list. Deterministic: the
// same model and word list give the same bytes. Built and run
// by regenerate.sh only; the program never needs libime.
#include <libime/core/datrie.h>
#include <libime/core/languagemodel.h>
#include <libime/core/lattice.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

const size_t top = 3000;

struct known {
  int k;
  libime::WordIndex idx;
  float u, d;
  libime::State after;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: lmpairs MODEL < WORDS > PAIRS\n");
    return 2;
  }
  libime::LanguageModel lm(argv[1]);
  std::vector<std::string> words;
  std::unordered_map<std::string, int> number;
  for (std::string w; std::getline(std::cin, w);) {
    number.emplace(w, static_cast<int>(words.size()));
    words.push_back(w);
  }
  libime::WordNode unk("", lm.unknown());
  libime::State s;
  float unku = lm.score(lm.nullState(), unk, s);
  std::vector<known> ks;
  std::vector<int> slot(words.size(), -1);
  for (size_t k = 0; k < words.size(); k++) {
    libime::WordIndex idx = lm.index(words[k]);
    if (lm.isUnknown(idx, words[k])) continue;
    known e{static_cast<int>(k), idx, 0, 0, {}};
    e.u = lm.score(lm.nullState(), libime::WordNode(words[k], idx), e.after);
    e.d = lm.score(e.after, unk, s) - unku;
    slot[k] = static_cast<int>(ks.size());
    ks.push_back(e);
    std::printf("W %zu %.4f %.4f\n", k, e.u, e.d);
  }
  // The start of a sentence as word -1.
  float startd = lm.score(lm.beginState(), unk, s) - unku;
  std::printf("W -1 0.0000 %.4f\n", startd);
  for (const known& b : ks) {
    float c = lm.score(lm.beginState(), libime::WordNode(words[b.k], b.idx), s);
    if (std::fabs(c - (startd + b.u)) > 1e-4f) std::printf("P -1 %d %.4f\n", b.k, c);
  }
  std::vector<int> best(ks.size());
  for (size_t i = 0; i < ks.size(); i++) best[i] = static_cast<int>(i);
  std::stable_sort(best.begin(), best.end(), [&](int a, int b) { return ks[a].u > ks[b].u; });
  best.resize(std::min(top, best.size()));
  std::sort(best.begin(), best.end());
  // The prediction list's pairs, by first word.
  std::vector<std::vector<int>> extra(ks.size());
  const auto& trie = lm.languageModelFile()->predictionTrie();
  trie.foreach([&](float, size_t len, uint64_t pos) {
    std::string key;
    trie.suffix(key, len, pos);
    size_t bar = key.find('|');
    if (bar == std::string::npos) return true;
    auto a = number.find(key.substr(0, bar)), b = number.find(key.substr(bar + 1));
    if (a != number.end() && b != number.end() && slot[a->second] >= 0 && slot[b->second] >= 0)
      extra[slot[a->second]].push_back(slot[b->second]);
    return true;
  });
  for (size_t i = 0; i < ks.size(); i++) {
    std::vector<int> cand = best;
    cand.insert(cand.end(), extra[i].begin(), extra[i].end());
    std::sort(cand.begin(), cand.end());
    cand.erase(std::unique(cand.begin(), cand.end()), cand.end());
    for (int j : cand) {
      const known& b = ks[j];
      float c = lm.score(ks[i].after, libime::WordNode(words[b.k], b.idx), s);
      if (std::fabs(c - (ks[i].d + b.u)) > 1e-4f) std::printf("P %d %d %.4f\n", ks[i].k, b.k, c);
    }
  }
  return 0;
}
