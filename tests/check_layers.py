#!/usr/bin/env python3
"""Checks that the source folders stand on one another as floors: a file includes only headers of
its own folder and of lower floors, never of a folder above it.

Usage: check_layers.py <source root>
"""
import pathlib
import re
import sys

# Floor of each folder; a folder may include its own and lower floors. Folders not listed here
# (a new subsystem) must be added before they are used.
FLOORS = {
    "base": 0,
    "interp": 1,
    "boxbeam": 1,
    "pchip": 2,
    "core": 3,
    "materials": 4,
    "failure": 5, "elements": 5,
    "io": 6, "delamination": 6,
    "solver": 7,
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/[^"]+"', re.M)


def main(root):
    root = pathlib.Path(root)
    faults = []
    for path in sorted(root.rglob("*.[ch]pp")):
        folder = path.relative_to(root).parts[0]
        if folder not in FLOORS:
            faults.append(f"{path}: folder {folder} has no floor")
            continue
        for target in INCLUDE.findall(path.read_text()):
            if target not in FLOORS:
                faults.append(f"{path}: includes {target}/, which has no floor")
            elif target != folder and FLOORS[target] >= FLOORS[folder]:
                faults.append(f"{path}: {folder}/ includes {target}/, not below it")
    for fault in faults:
        print(fault)
    print(f"{len(faults)} layering faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
