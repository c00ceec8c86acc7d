"""The Unicode character of every two-byte GBK code, read from the
project's own table editor/generated/gbktable.cpp (made by tools/gbk from
glibc's GBK character map), so the font draws for each code the character
the editor reads and writes for it.

    gbk_chars()    {code: character}, code = lead + 256 * trail
"""

import os
import re

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
TABLE = os.path.join(ROOT, "editor", "generated", "gbktable.cpp")
HEADER = os.path.join(ROOT, "editor", "generated", "gbktable.h")


def _constant(text, name):
    m = re.search(r"const int %s = (0x[0-9A-Fa-f]+|\d+);" % name, text)
    if not m:
        raise SystemExit(f"{HEADER}: no {name}")
    return int(m.group(1), 0)


def gbk_chars():
    with open(HEADER, encoding="utf-8") as f:
        header = f.read()
    firstlead = _constant(header, "gbkfirstlead")
    firsttrail = _constant(header, "gbkfirsttrail")
    trails = _constant(header, "gbktrails")
    leads = _constant(header, "gbkleads")
    count = _constant(header, "gbkcodecount")
    with open(TABLE, encoding="utf-8") as f:
        body = f.read().split("{", 1)[1].split("}", 1)[0]
    values = [int(v, 16) for v in re.findall(r"0x([0-9A-Fa-f]{4})", body)]
    if len(values) != leads * trails:
        raise SystemExit(f"{TABLE}: {len(values)} entries, expected {leads * trails}")
    out = {}
    for i, u in enumerate(values):
        if u:
            lead, trail = firstlead + i // trails, firsttrail + i % trails
            out[lead + 256 * trail] = chr(u)
    if len(out) != count:
        raise SystemExit(f"{TABLE}: {len(out)} characters, expected {count}")
    return out
