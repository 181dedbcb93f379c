#!/usr/bin/env python3
"""Prints the size of the tests against the code they test, as one line:

    tests/code: N / M lines (P%)

N counts the C and C++ lines under tests/, M those under src/ and tools/;
blank lines and comments are not counted. Usage: tests/code_ratio.py [REPO_ROOT]
"""
import os
import re
import sys

SOURCE_SUFFIXES = ('.c', '.cc', '.cpp', '.h', '.hpp')


def code_lines(path):
    with open(path, encoding='latin-1') as source:
        text = re.sub(r'/\*.*?\*/', '', source.read(), flags=re.S)
    return sum(1 for line in text.split('\n') if re.sub(r'//.*', '', line).strip())


def count(root, folders):
    total = 0
    for folder in folders:
        for directory, _, files in os.walk(os.path.join(root, folder)):
            total += sum(code_lines(os.path.join(directory, f)) for f in files if f.endswith(SOURCE_SUFFIXES))
    return total


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
    tests, code = count(root, ['tests']), count(root, ['src', 'tools'])
    print(f'tests/code: {tests} / {code} lines ({100 * tests // code if code else 0}%)')


if __name__ == '__main__':
    main()
