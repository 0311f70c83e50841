#!/usr/bin/env python3
"""Checks that the program's folders use only the layers before them and that
no two parts include each other, directly or in a loop.

Layers, each using only those before it (and itself):
  platform -> settings -> net -> messaging, whiteboard -> shell
console is a front end beside shell: it wires the same core with the shell's
portable wiring (the receive dispatch), never the shell's windows, and the
shell never uses it. resources holds the command and control ids and
includes nothing. A win32/ or posix/ folder stands where its folder
stands. A part is a header with its source file (a.h and a.cpp are one part),
so a loop is a loop between parts.

  tools/check_layers.py [root]
Prints each fault as "file: includes "x": reason" and exits 1 when there is one.
"""
import os
import re
import sys

# Rank of each folder; a file may include files of a lower rank or its own
# folder. Folders of the same rank but different names may not include each
# other (messaging and whiteboard; shell and console).
RANKS = {
    "resources": 0,
    "platform": 0,
    "settings": 1,
    "net": 2,
    "messaging": 3,
    "whiteboard": 3,
    "shell": 4,
    "console": 4,
}
SOURCE_DIRS = list(RANKS)
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def layer_of(path):
    return path.split("/", 1)[0]


def may_include(src_layer, dst_layer, dst_path=""):
    if src_layer == dst_layer:
        return True
    if src_layer == "console" and dst_layer == "shell":
        return not dst_path.startswith("shell/win32/")
    if src_layer == "platform":
        return False  # the platform includes nothing of ours
    if dst_layer == "resources":
        return True
    if src_layer == "resources":
        return False
    return RANKS[dst_layer] < RANKS[src_layer]


def project_files(root):
    for top in SOURCE_DIRS:
        for dirpath, _, names in os.walk(os.path.join(root, top)):
            for name in sorted(names):
                if name.endswith((".h", ".cpp", ".rc")):
                    yield os.path.relpath(os.path.join(dirpath, name), root)


def includes_of(root, path):
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
        text = f.read()
    for name in INCLUDE.findall(text):
        # Our includes are written from the root; anything else (a generated
        # asset, a system header in quotes) is not a part of ours.
        if os.path.isfile(os.path.join(root, name)) and layer_of(name) in RANKS:
            yield name


def part_of(path):
    return os.path.splitext(path)[0]


def find_loops(graph):
    """Strongly connected components of more than one part (Tarjan)."""
    index, low, stack, on_stack, loops = {}, {}, [], set(), []
    counter = [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on_stack.add(v)
        for w in sorted(graph.get(v, ())):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            component = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                component.append(w)
                if w == v:
                    break
            if len(component) > 1:
                loops.append(sorted(component))

    sys.setrecursionlimit(10000)
    for v in sorted(graph):
        if v not in index:
            visit(v)
    return loops


def shortest_cycle(graph, members):
    """The shortest loop through the first part of a component: the parts in
    order, starting and ending with it."""
    start = min(members)
    previous = {start: None}
    queue = [start]
    while queue:
        part = queue.pop(0)
        for following in sorted(graph.get(part, ())):
            if following == start:
                path = [part]
                while previous[path[-1]] is not None:
                    path.append(previous[path[-1]])
                return list(reversed(path)) + [start]
            if following in members and following not in previous:
                previous[following] = part
                queue.append(following)
    return sorted(members)


def check(root):
    faults = []
    graph = {}
    edges = {}
    for path in project_files(root):
        src_layer = layer_of(path)
        for name in includes_of(root, path):
            dst_layer = layer_of(name)
            if not may_include(src_layer, dst_layer, name):
                faults.append(f'{path}: includes "{name}": {src_layer}/ may not use {dst_layer}/')
            a, b = part_of(path), part_of(name)
            if a != b:
                graph.setdefault(a, set()).add(b)
                edges.setdefault((a, b), (path, name))
    for loop in find_loops(graph):
        cycle = shortest_cycle(graph, set(loop))
        steps = [f'{edges[(a, b)][0]} includes "{edges[(a, b)][1]}"' for a, b in zip(cycle, cycle[1:])]
        faults.append("parts that include each other: " + " -> ".join(cycle) + " (" + "; ".join(steps) + ")")
    return faults


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    faults = check(os.path.abspath(root))
    for fault in faults:
        print(fault)
    if faults:
        print(f"layer check: {len(faults)} fault(s)")
        return 1
    print("layer check: every include follows the layers; no parts include each other")
    return 0


if __name__ == "__main__":
    sys.exit(main())
