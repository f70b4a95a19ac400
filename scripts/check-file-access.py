#!/usr/bin/env python3
"""Checks that only src/platform/ opens, creates, renames or removes a file by
its path. Everywhere else a file from outside is an open handle (OpenFile,
SourceFolder) and an output goes into a folder opened once (OutputFolder,
CheckedFileStream, StagedFile, CheckedFile): the file layer is the one place
where a name becomes a file, so a check and a use can never see two files.

Prints every place found outside src/platform/ that is not one of the listed
exceptions (each with its reason), and every exception that no longer
matches anything; exit status 1 when there is either.

    check-file-access.py SRC_DIR
"""
import os
import re
import sys

# What opens, makes, renames or removes a file by name.
PATTERNS = {
    'a QFile made from a name': r'\bQFile\s+\w+\s*[\(\{](?!\s*\))|\bQFile\s*\(\s*[^)\s]',
    'QFile by name': r'\bQFile::(remove|rename|copy|link|setPermissions|resize|moveToTrash)\b',
    'QSaveFile': r'\bQSaveFile\b',
    'QTemporaryFile': r'\bQTemporaryFile\b',
    'a lock file made': r'\bQLockFile\s+\w+\s*\(|make_unique<QLockFile>|\bnew\s+QLockFile\b',
    'C stdio': r'(?<![\w:.>])(std::)?(fopen|freopen)\s*\(',
    'C++ streams': r'\bstd::(i|o)?fstream\b',
    'a system call by name': r'(?<![\w.>])::(open|creat|unlink|rename|mkdir|rmdir|remove|truncate|chmod|chown|symlink|link)\s*\(',
    'a picture saved by name': r'\.(save|load)\s*\(\s*[^&\s)][^,)]*,\s*"(PNG|JPEG|JPG|BMP|GIF)"',
    'QDir changing the disk': r'\.(mkpath|mkdir|rmdir|rmpath|removeRecursively)\s*\(|QDir\(\)\s*\.\s*(rename|remove)\s*\(',
}

# Qt's compiled-in resources are no file of the disk.
RESOURCE = re.compile(r'":/')

# file: (line text that is allowed, why)
EXCEPTIONS = [
    ('src/document/RecoveryStore.cpp', 'QFile::setPermissions(folder,',
     'a recovery slot of the program\'s own private folder, after PrivateFolder found nothing foreign in it'),
    ('src/document/RecoveryStore.cpp', 'QDir().rename(folder, target)',
     'a recovery slot moved aside within the program\'s own private folder, its lock held until then'),
    ('src/webquiz/AvWebCodec.cpp', 'QFile f(m_path);',
     'FFmpeg\'s muxer writes its output to a temporary file of ours by name; this reads back what it wrote'),
]


def scan(src):
    found = []
    for root, _, files in os.walk(src):
        rel_root = os.path.relpath(root, os.path.dirname(os.path.abspath(src)))
        if rel_root.replace(os.sep, '/').startswith('src/platform'):
            continue
        for name in sorted(files):
            if not name.endswith(('.cpp', '.h')):
                continue
            path = os.path.join(root, name)
            rel = os.path.relpath(path, os.path.dirname(os.path.abspath(src))).replace(os.sep, '/')
            with open(path, encoding='utf-8', errors='replace') as f:
                for number, line in enumerate(f, 1):
                    code = line.split('//')[0]
                    if RESOURCE.search(code):
                        continue
                    for what, pattern in PATTERNS.items():
                        if re.search(pattern, code):
                            found.append((rel, number, what, line.strip()))
    return found


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else 'src'
    found = scan(src)
    used = set()
    problems = 0
    for rel, number, what, text in found:
        allowed = [i for i, (f, snippet, _) in enumerate(EXCEPTIONS) if f == rel and snippet in text]
        if allowed:
            used.update(allowed)
            continue
        problems += 1
        print('%s:%d: %s outside src/platform/: %s' % (rel, number, what, text))
    for i, (f, snippet, why) in enumerate(EXCEPTIONS):
        if i not in used:
            problems += 1
            print('%s: the exception "%s" (%s) matches nothing any more: remove it' % (f, snippet, why))
    print('%d places checked against the file layer: %s' % (len(found), 'no problems' if not problems else
                                                              '%d problems' % problems))
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
