"""Fails when a file of src/ includes a folder above its own.

The folders stand in one order, top to bottom; a file may include its own
folder and the folders below it, never one above.  A file of a subfolder
belongs to its top folder (src/platform/standin/x.cc is platform's), and so
does an include that names one ("platform/standin/x.h").  A folder missing
from the order fails too, so that a new one gets its place before it gets
includes.
"""
import pathlib
import re
import sys

ORDER = ["app", "resolve", "scan", "check", "cli", "output", "platform"]

src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src")
faults = []
for path in sorted(p for p in src.rglob("*") if p.is_file()):
    folder = path.relative_to(src).parts[0]
    if folder not in ORDER:
        faults.append(f"{path}: {folder} is not in the include order")
        continue
    for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
        m = re.match(r'\s*#\s*include\s+"([^/"]+)/', line)
        if m and (m.group(1) not in ORDER or ORDER.index(m.group(1)) < ORDER.index(folder)):
            faults.append(f"{path}:{number}: {folder} includes {m.group(1)}")
print("\n".join(faults))
print(f"include order: {0 if faults else 1} passed, {1 if faults else 0} failed")
sys.exit(1 if faults else 0)
