#!/usr/bin/env python3
"""Checks the includes of src/: no file-level include cycles (a header and its
source count as one file), no cycles between folders, and no folder that
includes a header from a folder above it in the layering README.md draws
(the line "Layers, top to bottom: ..."). Prints what it finds; exit status 1
when anything is wrong.

    check-includes.py SRC_DIR [README]
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def read_layers(readme):
    with open(readme, encoding='utf-8') as f:
        for line in f:
            if line.startswith('Layers, top to bottom:'):
                groups = re.findall(r'`([^`]+)`', line)
                return [[d.strip('/') for d in g.split()] for g in groups]
    sys.exit(f'{readme}: no line "Layers, top to bottom: ..."')


def strongly_connected(graph):
    """Tarjan's algorithm, iterative; returns the components with a cycle."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = [0]
    for root in graph:
        if root in index:
            continue
        work = [(root, iter(sorted(graph[root])))]
        index[root] = low[root] = counter[0]
        counter[0] += 1
        stack.append(root)
        on_stack.add(root)
        while work:
            node, children = work[-1]
            for child in children:
                if child not in graph:
                    continue
                if child not in index:
                    index[child] = low[child] = counter[0]
                    counter[0] += 1
                    stack.append(child)
                    on_stack.add(child)
                    work.append((child, iter(sorted(graph[child]))))
                    break
                if child in on_stack:
                    low[node] = min(low[node], index[child])
            else:
                work.pop()
                if work:
                    low[work[-1][0]] = min(low[work[-1][0]], low[node])
                if low[node] == index[node]:
                    component = []
                    while True:
                        member = stack.pop()
                        on_stack.discard(member)
                        component.append(member)
                        if member == node:
                            break
                    if len(component) > 1:
                        found.append(sorted(component))
    return found


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    src = os.path.abspath(sys.argv[1])
    readme = sys.argv[2] if len(sys.argv) > 2 else os.path.join(os.path.dirname(src), 'README.md')
    layers = read_layers(readme)
    layer_of = {folder: depth for depth, group in enumerate(layers) for folder in group}

    files = {}
    for dirpath, _, names in os.walk(src):
        for name in names:
            if name.endswith(('.h', '.cpp')):
                path = os.path.join(dirpath, name)
                files[os.path.relpath(path, src).replace(os.sep, '/')] = path

    problems = []
    units, folders = {}, {}
    for rel, path in sorted(files.items()):
        unit = os.path.splitext(rel)[0]
        folder = rel.split('/')[0]
        if folder not in layer_of:
            problems.append(f'{rel}: folder {folder}/ is not in the layering of README.md')
            continue
        units.setdefault(unit, set())
        folders.setdefault(folder, set())
        with open(path, encoding='utf-8', errors='replace') as f:
            text = f.read()
        for included in INCLUDE.findall(text):
            if included.endswith('.moc') or included.startswith('ui_'):
                continue
            if included not in files:
                problems.append(f'{rel}: #include "{included}" is not a path under src/')
                continue
            target_unit = os.path.splitext(included)[0]
            target_folder = included.split('/')[0]
            if target_unit != unit:
                units[unit].add(target_unit)
            if target_folder != folder:
                folders[folder].add(target_folder)
                if layer_of.get(target_folder, -1) < layer_of[folder]:
                    problems.append(f'{rel}: includes "{included}" from {target_folder}/, '
                                    f'a folder above {folder}/')

    for cycle in strongly_connected(units):
        problems.append('include cycle between files: ' + ' <-> '.join(cycle))
    for cycle in strongly_connected(folders):
        problems.append('include cycle between folders: ' + ' <-> '.join(c + '/' for c in cycle))

    for p in problems:
        print(p)
    print(f'{len(files)} files in {len(folders)} folders checked: '
          f'{"no problems" if not problems else str(len(problems)) + " problem(s)"}')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
