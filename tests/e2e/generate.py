"""Random scenarios, from a seed, for run_e2e.py's "diff" mode: a tree, variables, a
catalogue, registry keys of the seed's own, a raw command line with random options,
sometimes a list file, an existing report, a run as the ordinary user.  A scenario is a
dict of lists, so that one that differs shrinks by dropping elements.  Left out, as the
backends cannot share them: names holding * ? " < > | : or \\ (Wine makes up short names
for them), of dots alone (Wine reads "...\\" as "..\\"), device names but NUL (the
stand-in knows NUL alone), names of one folder equal in any case; a current folder with a
part ending in "." or a last part ending in a blank (Wine starts in its Windows folder);
"\\" right after HKCR (Wine strips one; Windows refuses it); code page 932 (the stand-in
has no lead bytes); read-only reports and unreadable folders as root (Wine as root writes
and reads them: they come as the user only); variables that Wine sets itself (only TV*).
Characters outside Windows-1252 (Greek, Cyrillic, CJK, fullwidth, emoji) come in names, a
command line (then given as arguments: a raw line is ANSI bytes) and a list file (then
UTF-16 or UTF-8 after a byte-order mark); never in the catalogue, as no such name is asked.
"""
import random

from scenarios import DIR, NO_ACCESS, Marked, ReadOnly, Scenario

LETTERS, ACCENTS = "abcxyzABCXYZ019_-~'", "éÉàÀüÜœŒšŠÿŸ"
FOREIGN = "ΩωςŁłДдｋＫ＂日本\U0001F600"
LOOKALIKES = ["hklm", "HKCU", "hkey_users", "a.dll", "K.DLL", "x.dll.mui", "readme", "~1",
              "KERNEL~1.DLL", "a.b.c", ".dll", ".hidden", "tavREL.txt", "nul.txt", "x.dll"]
OPTIONS = {"/R": 8, "/F": 6, "/P": 1.5, "/S": 1, "/O": 4, "/O:out.txt": 3, "/O:{R}\\o.txt": 2,
           "/O:nope\\o.txt": 1, "/X": 1, "/K": 1, "/?": 0.2}
# The roots of a seed's keys: full name, short name, path; and how HKLM shows two of them.
BASES = [("HKEY_LOCAL_MACHINE", "HKLM", "Software\\TavrelGen\\S%d"),
         ("HKEY_CURRENT_USER", "HKCU", "Software\\TavrelGen\\S%d"),
         ("HKEY_CLASSES_ROOT", "HKCR", "TavrelGen.S%d"),
         ("HKEY_CURRENT_CONFIG", "HKCC", "Software\\TavrelGen\\S%d")]
ALIASES = {"HKCR": "Software\\Classes\\",
           "HKCC": "System\\CurrentControlSet\\Hardware Profiles\\Current\\"}


def piece(rnd):
    roll = rnd.random()
    chars = LETTERS + (ACCENTS if roll < 0.3 else FOREIGN if roll < 0.4 else "")
    return "".join(rnd.choice(chars) for _ in range(rnd.randint(1, 4)))


def ansi(text):
    """True when Windows-1252 holds every character of the text."""
    try:
        text.encode("cp1252")
        return True
    except UnicodeEncodeError:
        return False


def name(rnd):
    if rnd.random() < 0.2:
        return rnd.choice(LOOKALIKES)
    n = piece(rnd)
    while rnd.random() < 0.4:
        n += rnd.choice([".", ".", " ", "..", ". "]) + piece(rnd)
    return n + (rnd.choice([".", "..", " ", ". ", " ."]) if rnd.random() < 0.25 else "")


def cased(rnd, text):
    return "".join(c.swapcase() if rnd.random() < 0.3 else c for c in text)


def mask(rnd, text):
    if rnd.random() < 0.2:
        return rnd.choice(["*", "*.*", "*.dll", "?*", "*.", "*x*", "**", "*?.?*"])
    i = rnd.randrange(len(text) + 1)
    j = rnd.randint(i, len(text))
    return text[:i] + rnd.choice(["*", "?" * (j - i)]) + text[j:]


def key_name(rnd, known):
    root, path = rnd.choice(known).split("\\", 1)
    short = next(s for r, s, _ in BASES if r == root)
    if short in ALIASES and rnd.random() < 0.3:
        root, short, path = "HKEY_LOCAL_MACHINE", "HKLM", ALIASES[short] + path
    parts = path.split("\\")
    parts = (parts[:rnd.randint(0, len(parts))] if rnd.random() < 0.2
             else parts + [piece(rnd)] if rnd.random() < 0.15 else parts)
    text = rnd.choice([root, short]) + "".join("\\" + p for p in parts)
    if rnd.random() < 0.15 and parts and short != "HKCR":
        text = text.replace("\\", "\\\\", 1)
    return cased(rnd, text) + ("\\" if rnd.random() < 0.15 else "")


def path_name(rnd, sc):
    entry = rnd.choice([e for e, _ in sc["files"]] * 4 + ["nope/", "nope.dll"])
    parts, folder, cwd = entry.rstrip("/").split("/"), entry.endswith("/"), sc["cwd"].split("/")
    if rnd.random() < 0.4:
        parts[-1], folder = mask(rnd, parts[-1]), False
    parts = [cased(rnd, p) for p in parts]
    if rnd.random() < 0.15:
        i = rnd.randrange(len(parts))
        parts[i] += rnd.choice([".", "\\.", "\\..\\" + parts[i], ". "])
    if parts[:len(cwd) - 1] == cwd[:-1] and len(parts) >= len(cwd) and rnd.random() < 0.4:
        parts = [rnd.choice(["", ".\\"]) + parts[len(cwd) - 1]] + parts[len(cwd):]
    else:
        parts = [rnd.choice(["{R}"] * 4 + ["%TVR%", "Z:{Q}", "%TVR%%TVE%", "%NOPE%{R}"])] + parts
    text = rnd.choice(["\\", "\\", "\\", "\\\\", "/"]).join(parts)
    return text + ("\\" if folder and rnd.random() < 0.6 else "")


def quote(rnd, token):
    roll = rnd.random()
    if " " not in token and roll > 0.15:
        return token
    return ('"%s"' % token if roll < 0.6 else token.replace(" ", '" "') if roll < 0.8
            else '""' + token if roll < 0.9 else '"' + token)  # unclosed: runs to the end


def scenario(seed, user_share=0.15):
    rnd = random.Random(seed)
    sc = {"files": [], "tokens": [], "lines": [], "sfc": [], "user": rnd.random() < user_share,
          "env": [("TVR", "{R}"), ("TVE", ""), ("TVX", "%TVR%"), ("TVA", piece(rnd))]}
    folders, seen = [""], set()
    for _ in range(rnd.randint(2, 14)):
        parent, n = rnd.choice(folders), name(rnd)
        if (parent + n).lower() not in seen:
            seen.add((parent + n).lower())
            folder = rnd.random() < 0.35
            folders += [parent + n + "/"] * folder
            sc["files"].append((parent + n + "/" * folder, "" if not folder else NO_ACCESS
                                if sc["user"] and rnd.random() < 0.2 else DIR))
    sc["cwd"] = rnd.choice([f for f in folders if "./" not in f and not f.endswith(" /") and
                            not any(v is NO_ACCESS and f.startswith(e) for e, v in sc["files"])])
    sc["keys"] = known = []
    for root, _, base in rnd.sample(BASES, rnd.randint(1, 4)):
        known.append(root + "\\" + base % seed)
        for _ in range(rnd.randint(0, 3)):
            sub = name(rnd).strip(" .")
            known.append(rnd.choice(known) + "\\" + (sub if sub and ansi(sub) else "k"))
    for _ in range(rnd.randint(0, 4)):
        path = rnd.choice(sc["files"] or [("x", "")])[0].rstrip("/").replace("/", "\\")
        item = (cased(rnd, rnd.choice(known)) if rnd.random() < 0.3
                else "{R}\\" + cased(rnd, path))
        sc["sfc"] += [item] if ansi(item) else []

    def any_name():
        return key_name(rnd, known) if rnd.random() < 0.35 else path_name(rnd, sc)

    sc["tokens"] = [cased(rnd, o[:2]) + o[2:] for o in rnd.choices(
        list(OPTIONS), list(OPTIONS.values()), k=rnd.randint(0, 4))]
    if rnd.random() < 0.35:  # a list file: names, keys, blank lines, Ctrl-Z, any line end
        sc["tokens"].append(rnd.choice(["/L:list.lst", "/L:{R}\\list.lst"]))
        sc["list"] = ("" if "{R}" in sc["tokens"][-1] else sc["cwd"]) + "list.lst"
        sc["lines"] = [(any_name() if rnd.random() < 0.85 else rnd.choice(["", " ", "\x1a", "HK"]),
                        rnd.choice(["\r\n", "\r\n", "\n", "\n", "\r"]))
                       for _ in range(rnd.randint(1, 8))]
    if rnd.random() < 0.9:
        sc["tokens"].insert(rnd.randrange(len(sc["tokens"]) + 1), any_name())
    report = [t[3:] or "tavREL.txt" for t in sc["tokens"] if t.upper().startswith("/O")]
    report = [r.replace("{R}\\", "") if "{R}" in r else sc["cwd"] + r for r in report[-1:]]
    if report and "nope" not in report[0] and report[0].lower() not in seen and rnd.random() < 0.4:
        content = rnd.choice(["old\r\n", "no end", "", "x\r\n\r\n\x1a"])
        sc["files"].append((report[0], ReadOnly(content) if sc["user"] and rnd.random() < 0.5
                            else content))
    sc["argv"] = not all(ansi(t) for t in sc["tokens"])
    sc["tokens"] = [t if sc["argv"] else quote(rnd, t) for t in sc["tokens"]]
    sc["gap"] = rnd.choice([" ", " ", " ", "  ", "\t", "\x01"])  # every byte 1 to 32 parts
    sc["codec"] = rnd.choice(["utf-16-le", "utf-8"])
    return sc


def make(seed, sc):
    """The scenario as run_e2e.py runs it."""
    files = dict(sc["files"], **({sc["cwd"]: DIR} if sc["cwd"] else {}))
    if "list" in sc:
        text = "".join(t + e for t, e in sc["lines"])
        files[sc["list"]] = text if ansi(text) else Marked(text, sc["codec"])
    command = (list(sc["tokens"]) if sc["argv"]
               else "tavrel " + sc["gap"].join(sc["tokens"]))
    return Scenario("seed %d" % seed, command, files=files,
                    cwd=sc["cwd"], env=dict(sc["env"]), sfc=sc["sfc"], as_user=sc["user"])


def registry(seeds):
    """One .reg file for the keys of every seed of a run, after removing all of them."""
    lines = ["Windows Registry Editor Version 5.00"] + [
        "[-%s\\Software\\TavrelGen]" % r for r in ("HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER",
                                                   "HKEY_CURRENT_CONFIG")]
    lines += ["[-HKEY_CLASSES_ROOT\\TavrelGen.S%d]" % s for s in seeds]
    lines += ["[%s]" % k for s in seeds for k in scenario(s)["keys"]]
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")
