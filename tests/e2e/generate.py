"""Random scenarios that run_e2e.py's "diff" mode runs on both backends and compares.

From a seed: a tree under the fixture folder, variables, a catalogue of protected
items, registry keys of the seed's own, a raw command line with random options, and
sometimes a list file, an existing report and a run as an ordinary user.  A scenario
is a dict of lists, so that a differing one shrinks by dropping elements.

Left out, because the two backends cannot share them:
- names holding * ? " < > | : or \\ (no Windows name: Wine shows such files under
  made-up short names), names of dots alone (Wine passes "...\\" on as "..\\", which
  the host takes for the parent), device names but NUL (the stand-in knows NUL alone),
  and two names of one folder equal in any letter case (no Windows folder holds both);
- a current folder one of whose parts ends in ".", or whose last part ends in a blank
  (Wine then starts in its Windows folder, whose files the stand-in does not have);
- a "\\" right after HKCR (Wine strips one there; Windows refuses it, see the README);
- code page 932 (the stand-in's ANSI code page is 1252 alone), and read-only reports
  and unreadable folders as root (Wine as root writes and reads them all): those come
  only in runs as the ordinary user;
- variables that Wine sets itself (PATH, TEMP, SystemRoot...): only TV* ones are used.
"""
import random

from scenarios import DIR, NO_ACCESS, ReadOnly, Scenario

LETTERS = "abcxyzABCXYZ019_-~'"
ACCENTS = "éÉàÀüÜœŒšŠÿŸ"
LOOKALIKES = ["hklm", "HKCU", "hkey_users", "a.dll", "K.DLL", "x.dll.mui", "readme", "~1",
              "KERNEL~1.DLL", "a.b.c", ".dll", ".hidden", "tavREL.txt", "nul.txt", "*.dll"]
ENDS = ["\r\n", "\r\n", "\n", "\r", ""]
# Registry bases of a seed: (root, its other spellings, path), then the same keys seen
# through another root.
BASES = [("HKEY_LOCAL_MACHINE", "HKLM", "Software\\TavrelGen\\S%d"),
         ("HKEY_CURRENT_USER", "HKCU", "Software\\TavrelGen\\S%d"),
         ("HKEY_CLASSES_ROOT", "HKCR", "TavrelGen.S%d"),
         ("HKEY_CURRENT_CONFIG", "HKCC", "Software\\TavrelGen\\S%d")]
ALIASES = {"HKCR": ("HKLM", "Software\\Classes\\"),
           "HKCC": ("HKLM", "System\\CurrentControlSet\\Hardware Profiles\\Current\\")}


def piece(rnd):
    chars = LETTERS + (ACCENTS if rnd.random() < 0.3 else "")
    return "".join(rnd.choice(chars) for _ in range(rnd.randint(1, 4)))


def name(rnd):
    if rnd.random() < 0.2:
        n = rnd.choice(LOOKALIKES)
        return n if "*" not in n else n.replace("*", "x")
    n = piece(rnd)
    while rnd.random() < 0.4:
        n += rnd.choice([".", ".", " ", "..", ". "]) + piece(rnd)
    return n + (rnd.choice([".", "..", " ", ". ", " ."]) if rnd.random() < 0.25 else "")


def cased(rnd, text):
    return "".join(c.swapcase() if rnd.random() < 0.3 else c for c in text)


def mask(rnd, text):
    roll = rnd.random()
    if roll < 0.2:
        return rnd.choice(["*", "*.*", "*.dll", "?*", "*.", "*x*", "**", "*?.?*"])
    i = rnd.randrange(len(text) + 1)
    j = rnd.randint(i, len(text))
    return text[:i] + ("*" if roll < 0.7 else "?" * (j - i)) + text[j:]


def keys(rnd, seed):
    """The seed's registry keys, as full names."""
    found = []
    for root, _, base in rnd.sample(BASES, rnd.randint(1, 4)):
        path = root + "\\" + base % seed
        for _ in range(rnd.randint(0, 3)):
            found.append(path + "\\" + (name(rnd).strip(" .") or "k"))
            path = rnd.choice(found)
        found.append(path)
    return found


def key_name(rnd, known):
    full = rnd.choice(known)
    root, path = full.split("\\", 1)
    short = next(s for r, s, _ in BASES if r == root)
    if short in ALIASES and rnd.random() < 0.3:
        short, lead = ALIASES[short]
        root, path = "HKEY_LOCAL_MACHINE", lead + path
    parts = path.split("\\")
    roll = rnd.random()
    if roll < 0.2:
        parts = parts[:rnd.randint(0, len(parts))]
    elif roll < 0.3:
        parts.append(piece(rnd))
    text = rnd.choice([root, short]) + "".join("\\" + p for p in parts)
    if rnd.random() < 0.15 and parts and short != "HKCR":
        text = text.replace("\\", "\\\\", 1)
    return cased(rnd, text) + ("\\" if rnd.random() < 0.15 else "")


def path_name(rnd, sc):
    entries = [e for e, v in sc["files"] if e != "/"] or ["x/"]
    entry = rnd.choice(entries + ["nope/", "nope.dll"])
    folder = entry.endswith("/")
    parts = entry.rstrip("/").split("/")
    cwd = [p for p in sc["cwd"].split("/") if p]
    if rnd.random() < 0.4:
        parts[-1] = mask(rnd, parts[-1])
        folder = False
    parts = [cased(rnd, p) for p in parts]
    if rnd.random() < 0.15:
        i = rnd.randrange(len(parts))
        parts[i] += rnd.choice([".", "\\.", "\\..\\" + parts[i], ". "])
    if parts[:len(cwd)] == cwd and rnd.random() < 0.4:
        head = rnd.choice(["", ".\\"]) if len(parts) > len(cwd) else ".\\"
        parts = [head + parts[len(cwd)] if len(parts) > len(cwd) else "."] + parts[len(cwd) + 1:]
    else:
        parts = [rnd.choice(["{R}", "{R}", "%TVR%", "Z:{Q}", "%TVR%%TVE%", "%NOPE%{R}"])] + parts
    text = rnd.choice(["\\", "\\", "\\", "\\\\", "/"]).join(parts)
    return text + ("\\" if folder and rnd.random() < 0.6 else "")


def scenario(seed, user_share=0.15):
    rnd = random.Random(seed)
    sc = {"files": [], "tokens": [], "lines": [], "sfc": [], "env": [], "cwd": "",
          "user": rnd.random() < user_share}
    folders, seen = [""], set()
    for _ in range(rnd.randint(2, 14)):
        parent, n = rnd.choice(folders), name(rnd)
        if (parent + n).lower() in seen or n in (".", ".."):
            continue
        seen.add((parent + n).lower())
        if rnd.random() < 0.35:
            folders.append(parent + n + "/")
            locked = sc["user"] and rnd.random() < 0.2
            sc["files"].append((parent + n + "/", NO_ACCESS if locked else DIR))
        else:
            sc["files"].append((parent + n, ""))
    sc["cwd"] = rnd.choice([f for f in folders if "./" not in f and not f.endswith(" /")
                            and not any(v is NO_ACCESS and f.startswith(e)
                                        for e, v in sc["files"])])
    sc["env"] = [("TVR", "{R}"), ("TVE", ""), ("TVX", "%TVR%"), ("TVA", piece(rnd))]
    known = keys(rnd, seed)
    sc["keys"] = known
    for _ in range(rnd.randint(0, 4)):
        path = rnd.choice(sc["files"] or [("x", "")])[0].rstrip("/").replace("/", "\\")
        sc["sfc"].append(cased(rnd, rnd.choice(known)) if rnd.random() < 0.3
                         else "{R}\\" + cased(rnd, path))

    def any_name():
        return key_name(rnd, known) if rnd.random() < 0.35 else path_name(rnd, sc)

    options = ["/R", "/F", "/P", "/S", "/O", "/O:out.txt", "/O:{R}\\o.txt", "/O:nope\\o.txt",
               "/X", "/K", "/?"]
    weights = [8, 6, 4, 2, 4, 3, 2, 1, 1, 1, 0.2]
    sc["tokens"] = [o.lower() if rnd.random() < 0.3 else o
                    for o in rnd.choices(options, weights, k=rnd.randint(0, 4))]
    if rnd.random() < 0.35:
        sc["tokens"].append(rnd.choice(["/L:list.lst", "/L:{R}\\list.lst"]))
        place = sc["cwd"] if "{R}" not in sc["tokens"][-1] else ""
        sc["list"] = place + "list.lst"
        for _ in range(rnd.randint(1, 8)):
            line = any_name() if rnd.random() < 0.85 else rnd.choice(["", " ", "\x1a", "HK"])
            sc["lines"].append((line, rnd.choice(ENDS)))
    if rnd.random() < 0.9:
        sc["tokens"].insert(rnd.randrange(len(sc["tokens"]) + 1), any_name())
    report = [t for t in sc["tokens"] if t.upper().startswith("/O")]
    if report and rnd.random() < 0.4:
        target = report[-1][3:] or "tavREL.txt"
        content = rnd.choice(["old\r\n", "no end", "", "x\r\n\r\n\x1a"])
        if "nope" not in target:
            sc["files"].append((target.replace("{R}\\", "") if "{R}" in target
                                else sc["cwd"] + target,
                                ReadOnly(content) if sc["user"] and rnd.random() < 0.5
                                else content))
    sc["tokens"] = [quote(rnd, t) for t in sc["tokens"]]
    return sc


def quote(rnd, token):
    if " " in token or rnd.random() < 0.1:
        return '"%s"' % token if rnd.random() < 0.7 else token.replace(" ", '" "')
    return token


def make(seed, sc):
    """The scenario as run_e2e.py runs it."""
    files = dict(sc["files"])
    if sc["cwd"]:
        files.setdefault(sc["cwd"], DIR)
    if "list" in sc:
        files[sc["list"]] = "".join(t + e for t, e in sc["lines"])
    return Scenario("seed %d" % seed, "tavrel " + " ".join(sc["tokens"]), files=files, cwd=sc["cwd"], env=dict(sc["env"]),
                    sfc=sc["sfc"], as_user=sc["user"])


def registry(seeds):
    """One .reg file for every seed of a run: each seed's keys, after removing them all."""
    lines = ["Windows Registry Editor Version 5.00", ""]
    lines += ["[-%s\\Software\\TavrelGen]" % r for r in
              ("HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER", "HKEY_CURRENT_CONFIG")]
    lines += ["[-HKEY_CLASSES_ROOT\\TavrelGen.S%d]" % s for s in seeds]
    for s in seeds:
        lines += ["[%s]" % k for k in scenario(s)["keys"]]
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")
