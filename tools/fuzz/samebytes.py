#!/usr/bin/env python3
"""Checks that the fuzz build holds the program's strings byte for byte.

Every string literal with Chinese text in the program's sources is taken
in its GBK form and looked for in the object file of its source in the gcc
build (-fexec-charset=GBK) and in the clang fuzz build (sources converted
by iconv). Prints the count found in both and every literal found in one
build only; exit status 1 when there is any.

    tools/fuzz/samebytes.py build build-fuzz
"""
import glob
import re
import subprocess
import sys


def objects(root, source):
    name = source.split('/')[-1] + '.o'
    found = glob.glob(f'{root}/**/{name}', recursive=True)
    return [f for f in found if f'/{source}.o' in f or f'bihua_{source.split("/")[0]}.dir' in f]


def main(gccroot, clangroot):
    files = subprocess.run(['git', 'ls-files', 'graphics', 'devices', 'views', 'editor', 'input',
                            'app'], capture_output=True, text=True).stdout.split()
    same = differ = 0
    for source in files:
        if not source.endswith('.cpp') or source == 'app/main.cpp':
            continue
        text = open(source, encoding='utf-8').read()
        literals = [m for m in re.findall(r'"((?:[^"\\\n]|\\.)*)"', text)
                    if re.search(r'[^\x00-\x7f]', m) and '\\' not in m]
        if not literals:
            continue
        gcc, clang = objects(gccroot, source), objects(clangroot, 'gbk/' + source)
        if not gcc or not clang:
            print('no object for', source)
            differ += 1
            continue
        a, b = open(gcc[0], 'rb').read(), open(clang[0], 'rb').read()
        for literal in literals:
            bytes_ = literal.encode('gbk')
            if (bytes_ in a) != (bytes_ in b):
                print('differs:', source, literal)
                differ += 1
            elif bytes_ in a:
                same += 1
    print(f'{same} literals byte for byte the same in both builds, {differ} differing')
    return 1 if differ else 0


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:3]))
