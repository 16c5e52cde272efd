#!/usr/bin/env python3
"""Lists the functions of src/ whose bodies are longer than a limit (100 lines).

A simple scanner: it strips comments, strings and character literals, then
takes each brace block opened after a closing parenthesis (optionally
followed by const, override, noexcept, a trailing return type or an
initialiser list) at namespace or class level as a function body. Lambdas
inside a body count towards their function. Exit status 1 when any function
is too long.
"""
import pathlib
import re
import sys

LIMIT = 100


def strip(text):
    """Blanks comments and literals, keeping the line breaks."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith('//', i):
            j = text.find('\n', i)
            j = n if j < 0 else j
            i = j
        elif text.startswith('/*', i):
            j = text.find('*/', i + 2)
            j = n if j < 0 else j + 2
            out.append('\n' * text.count('\n', i, j))
            i = j
        elif c == 'R' and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == '_')):
            k = text.find('(', i)
            delim = ')' + text[i + 2:k] + '"'
            j = text.find(delim, k)
            j = n if j < 0 else j + len(delim)
            out.append('""' + '\n' * text.count('\n', i, j))
            i = j
        elif c in '"\'':
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == '\\' else 1
            out.append(c + c)
            i = j + 1
        else:
            out.append(c)
            i += 1
    return ''.join(out)


HEAD = re.compile(r'\)\s*(?:const\s*)?(?:override\s*)?(?:noexcept\s*)?(?:->\s*[\w:<>,\s*&]+)?(?::[^;{}]*)?$')
NAME = re.compile(r'([~\w:]+(?:operator\s*\S+)?)\s*\([^()]*(?:\([^()]*\)[^()]*)*\)[^()]*$')


def functions(path):
    text = strip(path.read_text(encoding='utf-8'))
    depth_kinds = []  # per open brace: 'function' or 'scope'
    result = []
    line = 1
    start = 0
    for i, c in enumerate(text):
        if c == '\n':
            line += 1
        elif c == '{':
            inside_function = 'function' in [k for k, _, _ in depth_kinds]
            before = text[start:i]
            kind = 'scope'
            if not inside_function and HEAD.search(before.rstrip()):
                kind = 'function'
            name = ''
            if kind == 'function':
                m = NAME.search(before.rstrip().split(';')[-1].split('}')[-1][:2000])
                name = m.group(1) if m else '?'
            depth_kinds.append((kind, line, name))
            start = i + 1
        elif c == '}':
            if depth_kinds:
                kind, first, name = depth_kinds.pop()
                if kind == 'function':
                    result.append((name, first, line, line - first - 1))
            start = i + 1
        elif c == ';':
            start = i + 1
    return result


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    limit = int(sys.argv[1]) if len(sys.argv) > 1 else LIMIT
    offenders = []
    for path in sorted((root / 'src').rglob('*.cpp')):
        for name, first, last, body in functions(path):
            if body > limit:
                offenders.append((body, f'{path.relative_to(root)}:{first}', name))
    for body, where, name in sorted(offenders, reverse=True):
        print(f'{body:5d}  {where}  {name}')
    return 1 if offenders else 0


if __name__ == '__main__':
    sys.exit(main())
