// Reads lines of Chinese on standard input and writes, for each, the
// toneless pinyin of its characters separated by blanks (v for u-umlaut),
// by pinyin-pro from the npm registry (installed by report.py into
// tools/cache/npm). Used by report.py only, to make typing input of text
// that no table was made from.
const path = require('path');
const { pinyin } = require(path.join(__dirname, '..', 'cache', 'npm', 'node_modules', 'pinyin-pro'));
const lines = require('fs').readFileSync(0, 'utf8').split('\n');
if (lines.length && lines[lines.length - 1] === '') lines.pop();
const out = lines.map((l) => pinyin(l, { toneType: 'none', type: 'array', v: true }).join(' '));
process.stdout.write(out.join('\n') + (out.length ? '\n' : ''));
