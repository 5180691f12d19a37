"""Scenario tables of the end-to-end suite (run by run_e2e.py): each pins a rule.

A scenario states its fixture (files under the fixture folder: a key ending in "/" is a
folder, DIR or NO_ACCESS; Link, ReadOnly; contents may be functions, called at run time),
current folder (relative, or a host path), variables, protected items (catalogue lines),
command line (an argv list, or the exact raw line as a str) and what must come out:
console lines (OEM, CR LF each), files afterwards (ANSI, CR LF each; bytes as they are;
None: absent), exit status.  `stdout`: a host path, CLOSED_PIPE (its reader gone) or
TERMINAL, a pty whose bytes, as they show (run_e2e.as_shown), are `shown`: lines in UTF-8,
colours as RED, GREEN, DEFAULT, PIECE where Wine's console write ends inside a line; `hold`: a file another process holds open for writing;
`as_user`: run as an ordinary user; `memory_as`: an earlier scenario whose peak memory
this one may pass by 8 MB at most; `on_disk`: the fixture in /tmp, not /dev/shm.  {R} is
the fixture folder's Windows path, {Q} the same without "Z:\\", {P<n>} a name that makes
{R}\\{P<n>} n + 1 bytes long.  Expected lines are worked out from the rules, not copied
from a run.  A scenario for one backend only says why.
"""

FRENCH = "fr_FR.UTF-8"
JAPANESE = "ja_JP.UTF-8"
RUSSIAN = "ru_RU.UTF-8"
HEBREW = "he_IL.UTF-8"
UTF8_ANSI = "hi_IN.UTF-8"  # Wine gives a locale without an ANSI code page UTF-8 (65001)
CODE_PAGES = {JAPANESE: ("cp932", "cp932"), RUSSIAN: ("cp1251", "cp866"),
              HEBREW: ("cp1255", "cp862")}  # ANSI, OEM


class Link:
    def __init__(self, target):
        self.target = target


class ReadOnly:
    def __init__(self, content=""):
        self.content = content


DIR = None
NO_ACCESS = "no access"  # a folder that only its owner, root, may read
CLOSED_PIPE, TERMINAL = "closed pipe", "terminal"
# A terminal's colours as escape sequences, and Wine's mark between two console writes.
RED, GREEN, DEFAULT = "\x1b[91m", "\x1b[92m", "\x1b[m"
PIECE = "\x1b[?25h\x1b[?25l"


class Scenario:
    def __init__(self, name, command=None, files=None, cwd="", env=None, sfc=(), out=(),
                 after=None, exit=0, only=None, why="", lang=FRENCH, stdout=None,
                 hold=None, as_user=False, memory_as=None, on_disk=False, shown=()):
        assert (only is None) == (why == ""), name + ": a one-backend scenario says why"
        self.name, self.cwd, self.exit, self.only, self.lang = name, cwd, exit, only, lang
        self.args = command if isinstance(command, list) else []
        self.line = command if isinstance(command, str) else None
        self.files, self.env, self.after = files or {}, env or {}, after or {}
        self.sfc, self.out, self.stdout, self.shown = list(sfc), list(out), stdout, list(shown)
        self.ansi, self.oem = CODE_PAGES.get(lang, ("cp1252", "cp850"))
        self.hold = hold
        self.as_user, self.memory_as, self.on_disk = as_user, memory_as, on_disk

    def runs_on(self, backend):
        return self.only is None or self.only == backend



def P(name):
    return name + " : protégé par SFC"


def N(name):
    return name + " : non protégé par SFC"


def under(folder, names, protected=()):
    """Result lines for the files `names` (listing order) found in `folder`."""
    return [(P if n in protected else N)(folder + n) for n in names.split()]


def coloured(lines):
    """Lines as a terminal shows them: a result in its colour, the rest in the console's."""
    return [(RED if l.endswith(" : protégé par SFC") else GREEN if l.endswith(" non protégé par SFC")
             else DEFAULT) + l for l in lines]


def count(n):
    s = "s" if n > 1 else ""
    return ["", "%d élément%s protégé%s" % (n, s, s)]


MISSING = "tavREL: le fichier spécifié n'existe pas"
FAILURE = "tavREL: Erreur dans la création du fichier de sortie"
REPORT = "tavREL.txt"

# The banner's authorship notice (after "v3.0 ") is ours to choose.
BANNER = "TAVREL v3.0 - les développeurs de tavREL, 2026"
USAGE = [
    BANNER,
    "Vérifie si un fichier, un dossier, ou une clé est protégé par SFC",
    " ",
    "Syntaxe    : tavrel [name] [/L:listname] [/R] [/K] [/F] [/P] [/S] [/O:outputname]",
    " ",
    "  name     : nom de fichier, de dossier, ou de clé du Registre à tester",
    "             NB : noms courts acceptés. Ignoré si paramètre /L utilisé",
    "  /L:      : listname = fichier contenant les fichiers et/ou clés à tester",
    "             NB : un fichier, un dossier, ou une clé par ligne",
    "  /R       : analyse les sous-dossiers selon le filtre (jokers) utilisé",
    "             NB : paramètre ignoré avec une clé ou paramètre /K utilisé",
    "  /K       : indique que name est une clé (ou listname contient des clés)",
    "             NB : supprime la détection automatique des clés (facultatif)",
    "  /F       : force la vérification même si name (fichier, clé) n'existe pas",
    "             NB : non utile avec l'analyse des dossiers (avec filtres)",
    "  /P       : ne liste que les fichiers protégés (ignore les autres)",
    "  /S       : ignore l'affichage écran (à utiliser avec le paramètre /O)",
    "  /O:      : outputname = nom du fichier à créer (défaut : tavREL.txt)",
    "             NB : si le fichier existe déjà, le résultat est ajouté",
    " ",
    "  Exemples : tavrel *.*",
    "             tavrel c:\\windows\\system32\\",
    "             tavrel c:\\windows\\system32\\winlogon.exe",
    "             tavrel %systemroot%\\system32\\*.dll /o",
    "             tavrel /l:tavrel_list.txt /r /o:result.txt",
    "             tavrel hklm\\software\\microsoft\\speech\\ux",
]


def listing(*lines):
    """A list file's text: the lines, each ending in CR LF."""
    return "".join(l + "\r\n" for l in lines)


class Marked:
    """A text file in a Unicode encoding, after its byte-order mark."""

    def __init__(self, text, codec="utf-16-le"):
        self.text, self.codec = text, codec



# One folder: listing order, hidden (dot) and read-only files, a folder named like the
# mask, a subfolder that a walk without /R never sees.
FLAT = {
    "w/b.dll": "", "w/A.dll": "", "w/a_b.dll": "", "w/ab.dll": "", "w/Zz.dll": "",
    "w/_x.dll": "", "w/~x.dll": "", "w/1.dll": "", "w/.dll": "", "w/.hidden.dll": "",
    "w/ro.dll": ReadOnly(), "w/k.dll.mui": "", "w/readme": "", "w/é.dll": "",
    "w/x.dll/": DIR, "w/sub/c.dll": "",
}
# Sorted by upper case ("." < digits < letters < "_" < "~" < "É"); ".dll"
# is not selected by *.dll (the leading star must take a byte).
FLAT_DLLS = ".hidden.dll 1.dll A.dll ab.dll a_b.dll b.dll ro.dll Zz.dll _x.dll ~x.dll é.dll"

# A tree for the walk: links to a folder and to a file, a dangling link
# (never listed), a folder named like the mask, a folder starting with ".".
TREE = {
    "t/a.dll": "", "t/b.txt": "", "t/x/c.dll": "", "t/x/deep/e.dll": "",
    "t/y/D.DLL": "", "t/y/C.Dll": "", "t/.git/g.dll": "", "t/m.dll/inner.dll": "",
    "t/empty/": DIR, "t/lnk": Link("../real"), "real/r.dll": "",
    "t/gone.dll": Link("nowhere.dll"), "t/alias.dll": Link("x/c.dll"),
}

T = "{R}\\t\\"
NO_LEAD_BYTES = "the stand-in's ANSI code page is 1252 alone: it has no lead bytes"
FRENCH_ONLY = "the stand-in's code pages are 1252 and 850 alone"
TREE_DLLS = ("a.dll alias.dll .git\\g.dll lnk\\r.dll m.dll\\inner.dll x\\c.dll x\\deep\\e.dll "
             "y\\C.Dll y\\D.DLL")

BIG_REPORT = bytes(range(256)) * 12288  # 3 MB: every byte value, no line end at the end


def wide(count):  # `count` files in n\, every tenth of them protected
    names = ["{R}\\n\\%06d.dll" % i for i in range(0, count, count // 10)]
    return dict(files={"n/%06d.dll" % i: "" for i in range(count)}, sfc=names, out=names)


def levels(step, count):  # {R}\{P150} (151 bytes), then `step` more at each further level
    return ["{R}\\{P150}" + step * k for k in range(count)]



S = Scenario
SCENARIOS = [
    S("usage: /? with /O and /L: makes no file", ["/O", "/L:list.txt", "/?", "/O:r.txt"],
      files={"list.txt": listing("{R}")}, out=USAGE, after={REPORT: None, "r.txt": None}),

    S("walk: one folder, listing order, hidden and read-only files, report created",
      ["{R}\\w\\*.dll", "/O"], files=FLAT, sfc=["{R}\\W\\AB.DLL", "{R}\\w\\é.dll"],
      out=under("{R}\\w\\", FLAT_DLLS, ["ab.dll", "é.dll"]) + count(2),
      after={REPORT: under("{R}\\w\\", FLAT_DLLS, ["ab.dll", "é.dll"]) + count(2)}),
    S("walk: /R goes depth first, files before subfolders, through links",
      [T + "*.dll", "/R"], files=TREE, out=under(T, TREE_DLLS)),
    # The file the system finds: one of two names that differ only in case (that spelling,
    # else the first), by Wine's made-up aliases (the list file too), a name that is another
    # file's alias (in s\); a dangling link is never found.
    S("names: the file the system finds, by a name in either case or an alias",
      ["/L:{R}\\abcd~auf.txt"], files={
          "d/Dup.txt": "", "d/DUP.TXT": "", "d/gone.dll": Link("nowhere"),
          "Long Folder Name/a.dll": "", "s/abcdefghij.txt": "", "s/abcd~auf.txt": "",
          "abcdefghij.txt": listing("{R}\\d\\Dup.txt", "{R}\\d\\dup.txt", "{R}\\d\\gone.dll",
                                    "{R}\\LONG~ZAT\\*.dll", "{R}\\long~zat\\A.DLL",
                                    "{R}\\s\\ABCD~AUF.TXT")},
      out=[N("{R}\\d\\Dup.txt"), N("{R}\\d\\DUP.TXT"), N("{R}\\LONG~ZAT\\a.dll"),
           N("{R}\\long~zat\\a.dll"), N("{R}\\s\\abcd~auf.txt")]),
    S("names: a short name is asked about in its long form, if it has one, and shown as typed",
      ["/F", "/L:names.txt"], on_disk=True, files={
          "Long Folder Name/k.dll": "", "Long Folder Name/Another Long Sub/x.dll": "",
          "Long Folder Name/kernel long.dll": "",
          "names.txt": listing("{R}\\LONG~ZAT\\k.dll", "{R}\\LONG~ZAT\\",
                               "{R}\\LONG~ZAT\\ANOT~YOL\\*.dll", "{R}\\LONG~ZAT\\gone\\",
                               "{R}\\LONG~ZAT\\kern~1ez.dll", "{R}\\LONG~ZAT\\KERN~1E?.DLL")},
      sfc=["{R}\\Long Folder Name\\k.dll", "{R}\\long folder name", "{R}\\Long Folder Name\\gone",
           "{R}\\Long Folder Name\\Another Long Sub\\x.dll", "{R}\\Long Folder Name\\kernel long.dll"],
      out=[P("{R}\\LONG~ZAT\\k.dll"), P("{R}\\LONG~ZAT"), P("{R}\\LONG~ZAT\\ANOT~YOL\\x.dll"),
           N("{R}\\LONG~ZAT\\gone"), P("{R}\\LONG~ZAT\\kernel long.dll")] + count(4)),
    *(S("walk: Wine cannot take %r as current folder: its Windows folder" % d, ["/F", "%E%"],
      cwd=d, env={"E": ""}, files={d + "/": DIR}, out=[N("C:\\windows")]) for d in ("c./d", "d ")),
    S("walk: a folder of 260 bytes is still checked itself", ["{R}\\{P259}\\"],
      files={"{P259}/": DIR}, out=[N("{R}\\{P259}")]),

    # No best fit (Ｌ, ｂ and Ł are not L, b, L): a character the code page lacks is one "?"
    # on a line, never looked up, never a wildcard, a quote or a separator.
    S("code pages: a name that lost a character stands for no other",
      ["/L:l.txt", "/F", "/R"], env={"VV": "{R}\\ｂ"},
      files={"b/Łx.dll": "", "b/Lx.dll": "", "b/M.dll": "", "ｂ/x.dll": "", "b/Ł/y.dll": "",
             "e/\U0001F600.dll": "", "e/Ω/a.dll": "",
             "l.txt": Marked(listing("%VV%\\*.dll", "{R}\\b\\Ｌ*.dll", "{R}\\b\\?x.dll",
                                     "{R}\\b\\Łx.dll", "{R}\\b\\Ł\\", "HKCU\\Software\\Ｘ",
                                     "{R}\\e\\*"))},
      sfc=["{R}\\b\\Lx.dll", "{R}\\b\\x.dll", "HKEY_CURRENT_USER\\Software\\X"],
      out=[P("{R}\\b\\Lx.dll"), N("{R}\\b\\?x.dll"), N("{R}\\b\\?"),
           N("HKEY_CURRENT_USER\\Software\\?"), N("{R}\\e\\?.dll")] + count(1)),
    # A listing goes by upper case, also for what the code page lacks: ａ (U+FF41) is Ａ
    # (U+FF21), before Ｂ (U+FF22).
    S("code pages: a listing orders what the code page lacks by its upper case",
      ["{R}\\d\\*.dll"], files={"d/ａx.dll": "", "d/Ｂy.dll": "", "d/c.dll": ""},
      out=under("{R}\\d\\", "c.dll ?x.dll ?y.dll")),
    S("code pages: one argument stays one, whatever quotes the code page lacks",
      ["x＂ /O:evil.txt ＂.dll", "/F"], after={"evil.txt": None}),
    # An argument's quote reaches the command line escaped, and the splitter takes no escape.
    S("names: a quote inside an argument", ["/F", 'q"t\\'], out=[N("q\\t")]),

    # HKCR is HKLM\Software\Classes, HKCC the machine's current hardware profile, under
    # either name for the registry and for the service.
    S("keys: every root form, existing and absent keys", ["/L:keys.txt"],
      files={"HKEY": "", "hkcu": "", "keys.txt": listing(
          "HKEY_LOCAL_MACHINE\\Software\\TavrelTest\\Alpha",
          "hklm\\software\\tavreltest\\alpha\\beta", "HkCu\\Software\\TavrelTest\\User\\ \t",
          "hku\\\\\\", "HKU\\.DEFAULT\\Software\\TavrelTest", "hkcr\\TavrelTest.Document",
          "HKLM\\Software\\Classes\\TavrelTest.Document", "HKCC\\Software\\TavrelTest",
          "HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\TavrelTest",
          "hKeY_cUrReNt_CoNfIg", "HKLM\\Software\\TavrelTest\\Missing",
          "HKLM\\\\Software\\TavrelTest", "HKLM\\Software\\\\TavrelTest\\Gamma", "HKEY", "hkcu")},
      sfc=["HKEY_LOCAL_MACHINE\\Software\\TavrelTest\\Alpha\\Beta", "HKEY_USERS",
           "hkey_current_config\\software\\tavreltest"],
      out=[N("HKEY_LOCAL_MACHINE\\Software\\TavrelTest\\Alpha"),
           P("HKEY_LOCAL_MACHINE\\software\\tavreltest\\alpha\\beta"),
           N("HKEY_CURRENT_USER\\Software\\TavrelTest\\User"), P("HKEY_USERS"),
           N("HKEY_USERS\\.DEFAULT\\Software\\TavrelTest"),
           N("HKEY_CLASSES_ROOT\\TavrelTest.Document"),
           N("HKEY_LOCAL_MACHINE\\Software\\Classes\\TavrelTest.Document"),
           P("HKEY_CURRENT_CONFIG\\Software\\TavrelTest"),
           P("HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current"
             "\\Software\\TavrelTest"), N("HKEY_CURRENT_CONFIG"),
           N("HKEY_LOCAL_MACHINE\\Software\\\\TavrelTest\\Gamma"), N("{R}\\HKEY"),
           N("HKEY_CURRENT_USER")] + count(4)),
    S("keys: a user's class shows under HKEY_CLASSES_ROOT; a \\ after HKCR is refused",
      ["/L:keys.txt"], files={"keys.txt": listing("hkcr\\TavrelTest.UserClass",
                                                  "HKCR\\\\TavrelTest.Document")},
      out=[N("HKEY_CLASSES_ROOT\\TavrelTest.UserClass")],
      only="native", why="Wine 8 shows the machine's classes alone under HKEY_CLASSES_ROOT, "
                          "and strips one \\ after it; Windows merges in the user's classes "
                          "and refuses the \\ as under every root, as the stand-in does"),

    # A root alone is asked about as the root itself; HK, a root without a name, never.
    S("/P: protected items alone, bare names, no closing count",
      ["/P", "/L:names.txt", "/O"], files=dict(FLAT, **{"names.txt": listing(
          "{R}\\w\\*.dll", "HK", "hku", "hklm", "")}),
      sfc=["{R}\\w\\ab.dll", "{R}\\w\\é.dll", "HKEY_PERFORMANCE_DATA", "HKEY_LOCAL_MACHINE"],
      out=["{R}\\w\\ab.dll", "{R}\\w\\é.dll", "HKEY_LOCAL_MACHINE", ""],
      after={REPORT: ["{R}\\w\\ab.dll", "{R}\\w\\é.dll", "HKEY_LOCAL_MACHINE", ""]}),

    # Report names that cannot be created: the run stops at once.
    *(S("report: " + what, ["{R}\\w\\b.dll", "/O:" + name], files=FLAT, out=[FAILURE], exit=1)
      for what, name in (("a folder of that name cannot be created", "w"),
                         ("a name with * cannot be created", "w\\*.txt"),
                         ("a name of 260 bytes", "n" * 260),
                         ("NUL in a folder that does not exist", "nope\\NUL"))),
    S("names: a device name in a folder, with an extension too, is the device: not checked",
      ["/F", "{R}\\d\\nul.dll"], files={"d/a.dll": ""}),
    S("report: a name with ? cannot be opened, even when it finds a file",
      ["{R}\\w\\b.dll", "/O:w\\?.dll"], files={"w/b.dll": "", "w/c.dll": ""},
      out=[FAILURE], exit=1, after={"w/c.dll": [b""]}),
    S("report: the list file itself cannot be read while it is the report",
      ["/L:list.txt", "/O:LIST.TXT"], files=dict(FLAT, **{"list.txt": "{R}\\w\\b.dll"}),
      out=[FAILURE], exit=1, after={"list.txt": ["{R}\\w\\b.dll"]}),

    S("report: NUL in a folder swallows the report", [T + "x\\", "/O:t\\nul"], files=TREE,
      out=[N(T + "x")], after={"t/nul": None, "t/NUL": None}),
    S("list: NUL, with an extension too, is found and reads as empty",
      [T + "x\\", "/L:nul.lst", "/O:r.txt"], files=TREE, after={"r.txt": []}),
    S("report: a full disk: the failure follows the lines already shown",
      [T + "x\\", "/O:Z:\\dev\\full"], files=TREE, out=[N(T + "x"), FAILURE], exit=1),

    S("list: empty file, existing report gets its empty line only", ["/L:empty.txt", "/O"],
      files={"empty.txt": "", REPORT: "x\r\n"}, out=[], after={REPORT: ["x", ""]}),
    S("list: missing file, report created empty", ["/L:nope.txt", "/O", "/S"],
      out=[MISSING], after={REPORT: []}),
    S("list: a folder is no list file", ["/L:w"], files=FLAT, out=[MISSING]),
    S("list: a name with * that finds a file cannot be opened", ["/L:l*.txt"],
      files={"l1.txt": "{R}\n"}, out=[FAILURE], exit=1),
    S("list: a name of 260 bytes counts as absent", ["/L:" + "n" * 260], out=[MISSING]),

    # The program's words where the code pages have no "é": the system's best fit in the
    # report and redirected output; names keep their own letters (д is E4 in 1251, A4 in 866).
    S("code pages: in Russian the words take the best fit, a name its own letters",
      ["{R}\\д\\*.dll", "/O:r.txt"], lang=RUSSIAN, files={"д/a.dll": "", "д/b.dll": ""},
      sfc=["{R}\\д\\a.dll"], out=[P("{R}\\д\\a.dll"), N("{R}\\д\\b.dll")] + count(1),
      after={"r.txt": [P("{R}\\д\\a.dll"), N("{R}\\д\\b.dll")] + count(1)},
      only="wine", why=FRENCH_ONLY),
    S("code pages: the usage text in Russian", ["/?"], lang=RUSSIAN, out=USAGE, only="wine",
      why=FRENCH_ONLY),
    S("code pages: a message in Japanese takes the best fit", ["/L:nope.lst"], lang=JAPANESE,
      out=[MISSING], only="wine", why=FRENCH_ONLY),
    # Hebrew has no "é" and no best fit for it: the plain letter, never "?".
    S("code pages: in Hebrew the words take plain letters", ["{R}\\a.dll", "/O:r.txt"],
      lang=HEBREW, files={"a.dll": ""}, sfc=["{R}\\a.dll"],
      out=[b"{R}\\a.dll : protege par SFC\r\n\r\n1 element protege\r\n"],
      after={"r.txt": [b"{R}\\a.dll : protege par SFC\r\n\r\n1 element protege\r\n"]},
      only="wine", why=FRENCH_ONLY),

    # Code page 932: 表 is 95 5C, its trail byte a "\\".
    S("double-byte: the splitter keeps 表 whole, next to quotes and separators",
      'tavrel\t"/O:{R}\\表"  /L:表.lst /S', lang=JAPANESE, files={"表.lst": listing("hku")},
      after={"表": [N("HKEY_USERS")]}, only="wine", why=NO_LEAD_BYTES),
    # ヂ is 83 61 and 日本 93 FA 96 7B in code page 932; Ł is not in it.
    S("double-byte: \"?\" takes a whole character, a letter never a trail byte",
      ["/L:l.lst"], lang=JAPANESE,
      files={"d/ヂ.dll": "", "d/a.dll": "", "d/日本.dll": "", "d/Ł.dll": "", "d/Ła.dll": "",
             "l.lst": listing("{R}\\d\\?.dll", "{R}\\d\\?a.dll", "{R}\\d\\日*.dll")},
      out=under("{R}\\d\\", "a.dll ?.dll ヂ.dll ?a.dll 日本.dll"), only="wine",
      why=NO_LEAD_BYTES),
    S("double-byte: a trail byte 5C does not end the folder part",
      ["/S", "/O:r.txt", "{R}\\d\\表.dll"], lang=JAPANESE, files={"d/表.dll": ""},
      sfc=["{R}\\d\\表.dll"], after={"r.txt": [P("{R}\\d\\表.dll")] + count(1)},
      only="wine", why=NO_LEAD_BYTES),
    S("double-byte: a trail byte 5C is no trailing separator, of a folder or the current one",
      ["/F", "/L:l.lst", "/O:r.txt", "/S"], lang=JAPANESE, cwd="表",
      files={"表/a.dll": "", "表/l.lst": listing("{R}\\表\\*.dll", "{R}\\表\\", "*.dll")},
      after={"表/r.txt": [N("{R}\\表\\a.dll"), N("{R}\\表"), N("{R}\\表\\a.dll")]},
      only="wine", why=NO_LEAD_BYTES),

    S("held: a report another program is writing is refused and left as it was",
      ["{R}\\w\\b.dll", "/O:r.txt"], files=dict(FLAT, **{"r.txt": "old\r\n"}), hold="r.txt",
      out=[FAILURE], exit=1, after={"r.txt": ["old"]}),
    S("held: a list file another program is writing cannot be read",
      ["/L:list.txt", "/O:r.txt"], files=dict(FLAT, **{"list.txt": listing("{R}\\w\\b.dll")}),
      hold="list.txt", out=[FAILURE], exit=1,
      after={"list.txt": ["{R}\\w\\b.dll"], "r.txt": []}),
    S("report: appended after one empty line, 3 MB without a final line end keeps every byte",
      ["{R}\\w\\b.dll", "/O:r.txt"], files=dict(FLAT, **{"r.txt": BIG_REPORT}),
      sfc=["{R}\\w\\b.dll"], out=[P("{R}\\w\\b.dll")] + count(1),
      after={"r.txt": [BIG_REPORT, "", P("{R}\\w\\b.dll")] + count(1)}),
    *(S("console: %s costs the report nothing" % what, ["{R}\\w\\*.dll", "/O"], files=FLAT,
        sfc=["{R}\\w\\ab.dll"], stdout=stdout, exit=exit,
        after={REPORT: under("{R}\\w\\", FLAT_DLLS, ["ab.dll"]) + count(1)},
        shown=coloured(under("{R}\\w\\", FLAT_DLLS, ["ab.dll"]) + count(1)))
      for what, stdout, exit in (("a pipe whose reader is gone", CLOSED_PIPE, 1),
                                 ("a full device, one line at a time too", "/dev/full", 1),
                                 ("a terminal", TERMINAL, 0))),
    # A console takes 4,096 UTF-16 units a write; the name comes from the ANSI code page
    # (€ is 80 there, Ç in OEM), the words from Windows-1252.
    S("terminal: a line longer than one console write, a name that OEM lacks",
      ["/F", "HKLM\\" + "k" * 5000 + "€"], stdout=TERMINAL,
      shown=[GREEN + "HKEY_LOCAL_MACHINE\\" + "k" * 4077 + PIECE + N("k" * 923 + "€"),
             DEFAULT.encode()]),
    S("terminal: the usage text", ["/?"], stdout=TERMINAL, shown=USAGE),
    # 😀 is a surrogate pair whose first unit would end the first write; Wine's console
    # shows each unit of a pair as U+FFFD.
    S("terminal: a UTF-8 code page, a pair of UTF-16 units never cut between two writes",
      ["/F", "HKLM\\" + "k" * 4076 + "😀"], lang=UTF8_ANSI, stdout=TERMINAL,
      shown=[GREEN + "HKEY_LOCAL_MACHINE\\" + "k" * 4076 + PIECE + N("\ufffd\ufffd"),
             DEFAULT.encode()], only="wine", why=FRENCH_ONLY),

    S("list: 1,000,000 lines of absent keys, three names among them", ["/L:big.lst"],
      files=dict(FLAT, **{"big.lst": lambda: b"\r\n".join(
          [b"{R}\\w\\b.dll"] + [b"HKCU\\nope"] * 499999 + [b"{R}\\w\\1.dll"]
          + [b"HKCU\\nope"] * 499998 + [b"{R}\\w\\A.dll"])}),
      out=[N("{R}\\w\\b.dll"), N("{R}\\w\\1.dll"), N("{R}\\w\\A.dll")]),
    # A key gets its whole line, a path is not cut; a name with a variable longer than
    # 32,768 characters is not checked.
    S("names: 64 KB in a list, a variable longer than 32,768 characters",
      ["/F", "/L:long.lst", "/O"], env={"HUGE": "h" * 40000}, files=dict(FLAT, **{
          "long.lst": listing("HKLM\\" + "k" * 65536, "{R}\\" + "p" * 65536 + "\\",
                              "{R}\\" + "p" * 65536 + "\\*", "%HUGE%\\", "%HUGE%\\*.dll",
                              "{R}\\w\\")}),
      out=[N("HKEY_LOCAL_MACHINE\\" + "k" * 65536), N("{R}\\w")],
      after={REPORT: [N("HKEY_LOCAL_MACHINE\\" + "k" * 65536), N("{R}\\w")]}),

    S("tree: a subfolder that cannot be read is passed over", ["/R", "/L:{R}\\names.txt"],
      files={"u/a.dll": "", "u/locked/": NO_ACCESS, "u/locked/b.dll": "", "u/z/c.dll": "",
             "names.txt": listing("{R}\\u\\*.dll", "{R}\\u\\locked\\*.dll", "{R}\\u\\locked\\")},
      out=under("{R}\\u\\", "a.dll z\\c.dll") + [N("{R}\\u\\locked")], as_user=True),
    # Two links up in one folder would make the walk exponential.  Each file comes once for
    # each path that does not pass through a folder twice (t\up\t is t again, though no link).
    S("tree: links are walked, but never into a folder the walk is already in",
      [T + "*.dll", "/R"], files={"t/a/x.dll": "", "t/a/p": Link(".."), "t/a/q": Link(".."),
                                  "t/a/s": Link("../b"), "t/b/y.dll": "", "t/b/up": Link("../a"),
                                  "t/self": Link("."), "t/up": Link("..")},
      out=under(T, "a\\x.dll a\\s\\y.dll b\\y.dll b\\up\\x.dll")),
    # Each level is listed as "<folder>\\*.*", 155 bytes at the top, 259 at level 52 (2 more
    # a level); none lands on 260.
    S("tree: folders below the path limit are never listed", ["{R}\\{P150}\\*.dll", "/R"],
      files={f[4:].replace("\\", "/") + "/a.dll": "" for f in levels("\\d", 60)},
      out=[N(f + "\\a.dll") for f in levels("\\d", 53)]),
    S("tree: 10,000 files in one folder", ["{R}\\n\\*.dll", "/P"], **wide(10000)),
    S("tree: 100,000 files in one folder, in the memory of 10,000", ["{R}\\n\\*.dll", "/P"],
      memory_as="tree: 10,000 files in one folder", **wide(100000)),
]

_names = [s.name for s in SCENARIOS]
assert len(_names) == len(set(_names)), "scenario names must differ"
assert all(s.memory_as in _names for s in SCENARIOS if s.memory_as), "memory_as: no such scenario"
