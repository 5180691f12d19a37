"""Plain names (no wildcard) on generated trees, against the listing and the matcher.

A plain name is one lookup of that name by the system, yet it must select
what listing the folder and matching every entry would: the files whose
names equal it once both are lower-cased, shown as the disk spells them, in
listing order, and under /R in every folder below, depth first.  Each
scenario is a random tree (fixed seed) and a list file of names drawn from
it: its files' names in random letter case, names with several dots or
ending in dots and blanks, the short aliases Wine makes up for long names
(some of them also the real name of another file there), folder names,
device names and absent names.  The expected lines come from that model of
the listing, never from a run.  No folder here holds two names that differ
only in case: scenarios.py has those.
"""
import random

ALIAS_CHARS = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"
STEM_CHARS = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-~é"


def is_short_name(name):
    """True for a name that needs no alias: 8.3, ASCII, none of the characters 8.3 refuses."""
    if len(name) > 12:
        return False
    if name.startswith("."):
        return name in (".", "..")
    if any(ord(c) > 0x7F or c in '*?<>|"+=,;[] :/\\' for c in name) or name.count(".") > 1:
        return False
    dot = name.find(".")
    return len(name) <= 8 if dot < 0 else dot <= 8 and 1 < len(name) - dot < 5


def alias(name):
    """The short alias Wine makes up for a name that is no 8.3 name (None for one that is)."""
    if is_short_name(name):
        return None
    low = [ord(c.lower()) for c in name]
    h = 0xBEEF
    for a, b in zip(low, low[1:]):
        h = ((h << 3) ^ (h >> 5) ^ a ^ (b << 8)) & 0xFFFF
    h = ((h << 3) ^ (h >> 5) ^ low[-1]) & 0xFFFF
    ext = max((i for i in range(1, len(name) - 1) if name[i] == "."), default=None)

    def short(c):
        return "_" if ord(c) > 0x7F or c in '*?<>|"+=,;[] ~.' else c.upper()

    head = "".join(short(c) for c in name[:4 if ext is None else min(4, ext)])
    text = head.ljust(5, "~") + ALIAS_CHARS[h >> 10 & 31] + ALIAS_CHARS[h >> 5 & 31] \
        + ALIAS_CHARS[h & 31]
    return text if ext is None else text + "." + "".join(short(c) for c in name[ext + 1:ext + 4])


def listing_key(name):
    """Listing order: by upper case, then exactly."""
    return name.upper(), name


def random_case(rng, text):
    return "".join(c.upper() if rng.random() < 0.5 else c.lower() for c in text)


class Tree:
    """Folders (paths relative to the fixture, "/" separated) and their files and subfolders."""

    def __init__(self, rng):
        self.rng = rng
        self.files, self.dirs = {}, {}

    def fresh(self, folder, name):
        """Adds nothing that equals a name of the folder in another letter case."""
        taken = {n.lower() for n in self.files[folder] + self.dirs[folder]}
        return name and name.lower() not in taken

    def name(self):
        rng = self.rng
        stem = "".join(rng.choice(STEM_CHARS) for _ in range(rng.choice((1, 3, 5, 8, 9, 12, 16))))
        if rng.random() < 0.2:
            stem = stem[:len(stem) // 2] + " " + stem[len(stem) // 2:]
        name = stem + rng.choice(("", ".dll", ".txt", ".DLL", ".a.b", ".c", ".dll.mui", ".tx"))
        if rng.random() < 0.15:
            name = "." + name
        if rng.random() < 0.15:
            name += rng.choice((".", " ", ". ", ".."))
        return name

    def build(self, folder, depth):
        self.files[folder], self.dirs[folder] = [], []
        for _ in range(self.rng.randint(3, 10)):
            n = self.name()
            if self.fresh(folder, n):
                self.files[folder].append(n)
        # A file named like another's alias, in lower case: found by its name,
        # while the system's lookup may answer with the other file.
        longs = [alias(n) for n in self.files[folder] if alias(n)]
        if longs and self.fresh(folder, longs[0].lower()):
            self.files[folder].append(longs[0].lower())
        if self.rng.random() < 0.3 and self.fresh(folder, "Nul.dll"):
            self.files[folder].append("Nul.dll")  # the device's name, a file on this disk
        if depth < 2:
            for _ in range(self.rng.randint(1, 3)):
                d = self.name().rstrip(". ") or "d"
                if self.fresh(folder, d):
                    self.dirs[folder].append(d)
                    self.build(folder + "/" + d, depth + 1)

    def selected(self, folder, mask, recurse):
        """What the listing and the matcher select, depth first."""
        lines = [folder + "/" + n for n in sorted(self.files[folder], key=listing_key)
                 if n.lower() == mask.lower()]
        if recurse:
            for d in sorted(self.dirs[folder], key=listing_key):
                lines += self.selected(folder + "/" + d, mask, recurse)
        return lines

    def masks(self, folder):
        """Plain names to ask for in a folder."""
        rng = self.rng
        files, masks = self.files[folder], []
        for n in files:
            masks.append(random_case(rng, n))
            if alias(n):
                masks.append(random_case(rng, alias(n)))
        masks += [random_case(rng, d) for d in self.dirs[folder]]
        if files:
            n = rng.choice(files)
            masks += [n + ".", n + " ", n[:-1] or "x", n + "x"]
        masks += ["nul", "NUL.dll", "con.txt", "absent.dll", "a.b.c.d"]
        rng.shuffle(masks)
        return masks


def scenarios(Scenario, N, P, count, listing):
    out = []
    for seed, recurse in ((1, False), (2, False), (3, True), (4, True)):
        rng = random.Random(seed)
        tree = Tree(rng)
        tree.build("p", 0)
        folders = sorted(tree.files) if not recurse else ["p"]
        lines, expected = [], []
        # Protected: a few files whose full names the system keeps as they are
        # (no device name, no dot or blank at the end).
        protected = {f + "/" + n for f in tree.files for n in tree.files[f]
                     if rng.random() < 0.1 and n[-1] not in ". " and n != "Nul.dll"}
        for folder in folders:
            masks = tree.masks(folder)
            if recurse:  # every name of the tree, from the top
                masks = sorted({m for f in tree.files for m in tree.masks(f)})
                rng.shuffle(masks)
            for mask in masks:
                lines.append("{R}\\" + folder.replace("/", "\\") + "\\" + mask)
                expected += tree.selected(folder, mask.rstrip(" "), recurse)  # name trimmed
        windows = lambda path: "{R}\\" + path.replace("/", "\\")
        out_lines = [(P if path in protected else N)(windows(path)) for path in expected]
        hits = sum(path in protected for path in expected)
        files = {f + "/" + n: "" for f in tree.files for n in tree.files[f]}
        files.update({f + "/" + d + "/": None for f in tree.dirs for d in tree.dirs[f]})
        files["names.txt"] = listing(*lines)
        out.append(Scenario(
            "plain names: generated tree %d%s, %d names: what the listing selects"
            % (seed, " under /R" if recurse else "", len(lines)),
            ["/L:names.txt"] + (["/R"] if recurse else []), files=files,
            sfc=[windows(p) for p in sorted(protected)],
            out=out_lines + (count(hits) if hits else [])))
    return out
