#!/usr/bin/env python3
"""End-to-end suite of tavREL: the scenarios of scenarios.py on one backend.

  run_e2e.py native PROGRAM     the POSIX stand-in build (out/x/tavrel)
  run_e2e.py wine [WIN_BUILD]   tavrel.exe of a mingw build dir under Wine (else that of
                                $TAVREL_WIN_BUILD; without a tavrel.exe, skipped: 77;
                                one older than its sources fails)

-k TEXT runs the scenarios whose name holds TEXT; --keep leaves the fixtures.  Runs as
TEST_USER (under Wine with a prefix of its own) need root: skipped without it.
"""
import argparse
import codecs
import fcntl
import os
import pathlib
import pty
import pwd
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import threading
import time

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import scenarios  # noqa: E402
sys.path.insert(0, os.path.dirname(HERE))
import win_build  # noqa: E402
from scenarios import CLOSED_PIPE, NO_ACCESS, PIECE, TERMINAL, UTF8_ANSI, Link, ReadOnly  # noqa: E402

# The program's accents where a code page has none: the system's best fit, as Wine gives it.
BEST_FIT = dict(zip("éèàê", "eeae"))
codecs.register_error("best-fit", lambda e: (BEST_FIT[e.object[e.start]], e.start + 1))
PEAKS = {}  # scenario name: the peak resident set of its run, in KB
SANITIZED = os.environ.get("TAVREL_E2E_SANITIZED")  # a sanitizer's memory grows anyway
TEST_USER = "tavrel-e2e"
ROOT = os.geteuid() == 0  # making TEST_USER and running as it need root: skipped otherwise
FIXTURE_REG = os.path.join(HERE, "fixture.reg")


def test_user():
    """setpriv's arguments for running as TEST_USER, who is made if missing."""
    try:
        user = pwd.getpwnam(TEST_USER)
    except KeyError:  # another suite may be making it at the same time
        subprocess.run(["useradd", "--system", "--no-create-home", "--shell",
                        "/usr/sbin/nologin", TEST_USER], stderr=subprocess.DEVNULL)
        user = pwd.getpwnam(TEST_USER)
    return ["setpriv", "--reuid=%d" % user.pw_uid, "--regid=%d" % user.pw_gid, "--clear-groups"]


def remove(path):
    """Removes a fixture, giving back first the access that a scenario took from its
    folders (without root, a folder of mode 0 can be neither listed nor emptied)."""
    for folder, dirs, _ in os.walk(path):
        for d in (os.path.join(folder, d) for d in dirs):
            os.path.islink(d) or os.chmod(d, 0o755)
    shutil.rmtree(path, ignore_errors=True)


def windows_path(host_path):
    return "Z:" + host_path.replace("/", "\\")


class Native:
    def __init__(self, program):
        self.program = os.path.abspath(program)

    setup = teardown = lambda self: None  # nothing to ready

    def command(self, sc, argv, raw_line, env, work):
        env["TAVREL_STANDIN_REGISTRY"] = FIXTURE_REG
        if raw_line is not None:
            env["TAVREL_STANDIN_CMDLINE"] = raw_line
        return [self.program] + argv, 60

    @staticmethod
    def hold(path):  # a command that holds the file open for writing, says so and waits
        return ["sh", "-c", 'exec 3>>"$1" && echo held && exec sleep 600', "sh", path]


class Wine:
    def __init__(self, build):
        build = os.path.abspath(build)
        self.exe, doubles = os.path.join(build, "tavrel.exe"), os.path.join(build, "tests", "wine")
        self.sfc, self.launch, self.holder = (
            os.path.join(doubles, f) for f in ("sfc.dll", "launch.exe", "hold.exe"))
        self.wine = win_build.wine()
        self.server = os.path.join(os.path.dirname(self.wine), "wineserver")
        for f in (self.exe, self.sfc, self.launch, self.holder, self.wine):
            if not os.path.isfile(f):
                sys.exit("e2e-wine: missing %s (build the mingw tree; TAVREL_WINE)" % f)
        # root's prefix, and the ordinary user's, which belongs to that user.
        self.prefixes = {False: os.path.join(build, "e2e-wineprefix"),
                         True: os.path.join(build, "e2e-wineprefix-user")}
        self.started, self.locks = {}, []  # as_user: whether this suite started its server

    def env_for(self, as_user):
        prefix = self.prefixes[as_user]
        return {"WINEPREFIX": prefix, "WINESERVER": self.server, "WINEDEBUG": "-all",
                "HOME": prefix if as_user else os.environ.get("HOME", "/"),
                # Our sfc.dll in system32 replaces Wine's own; no Mono or Gecko.
                "WINEDLLOVERRIDES": "sfc=n;mscoree,mshtml="}

    def setup(self, as_user=False):
        """Readies a prefix once a suite: its own server, our sfc.dll, the keys."""
        if as_user in self.started:
            return
        prefix, user = self.prefixes[as_user], test_user() if as_user else []
        os.makedirs(prefix, exist_ok=True)
        self.locks.append(open(prefix + ".lock", "w"))  # one suite at a time per prefix
        fcntl.flock(self.locks[-1], fcntl.LOCK_EX)
        if as_user:
            subprocess.run(["chown", "-R", "--from=root", TEST_USER, prefix], check=True)
        env = dict(os.environ, LANG=scenarios.FRENCH, **self.env_for(as_user))
        env.pop("LC_ALL", None)
        quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL, "env": env}
        # One server for the whole suite, unless one already serves the prefix.
        self.started[as_user] = subprocess.run(user + [self.server, "-p"], **quiet).returncode == 0
        if not os.path.exists(os.path.join(prefix, ".tavrel-ready")):
            subprocess.run(user + [self.wine, "wineboot", "-i"], check=True, **quiet)
            open(os.path.join(prefix, ".tavrel-ready"), "w").close()
        shutil.copyfile(self.sfc, os.path.join(prefix, "drive_c/windows/system32/sfc.dll"))
        # The file deletes its keys first.
        subprocess.run(user + [self.wine, "regedit", "/S", windows_path(FIXTURE_REG)],
                       check=True, **quiet)

    def teardown(self):
        for as_user in (u for u, started in self.started.items() if started):
            subprocess.run((test_user() if as_user else []) + [self.server, "-k"],
                           env=dict(os.environ, **self.env_for(as_user)))
        for lock in self.locks:
            lock.close()

    def command(self, sc, argv, raw_line, env, work):
        self.setup(sc.as_user)
        env.update(self.env_for(sc.as_user))
        command = [self.wine, self.exe] + argv
        if raw_line is not None:
            line_file = os.path.join(work, "cmdline.bin")
            pathlib.Path(line_file).write_bytes(raw_line)
            env["TAVREL_LAUNCH_PROGRAM"] = windows_path(self.exe)
            env["TAVREL_LAUNCH_CMDLINE_FILE"] = windows_path(line_file)
            command = [self.wine, self.launch]
        return command, 120

    def hold(self, path):
        return (["env"] + ["%s=%s" % v for v in self.env_for(False).items()]
                + [self.wine, self.holder, windows_path(path)])


class Texts:
    """{R} and {P<n>} substitution, and encoding in the scenario's code pages."""

    def __init__(self, root, ansi, oem):
        self.r, self.ansi, self.oem = windows_path(root), ansi, oem

    def sub(self, text):
        if isinstance(text, bytes):
            return text.replace(b"{R}", self.r.encode())
        text = text.replace("{R}", self.r).replace("{Q}", self.r[3:])
        # {P<n>}: "p" repeated n less the length of {R}, so that {R}\{P<n>}
        # is a path of exactly n + 1 bytes.
        return re.sub(r"\{P(\d+)\}", lambda m: "p" * (int(m.group(1)) - len(self.r)), text)

    def encode(self, text, codec):
        if isinstance(text, scenarios.Marked):
            return "\ufeff".encode(text.codec) + self.sub(text.text).encode(text.codec)
        text = self.sub(text() if callable(text) else text)
        return text if isinstance(text, bytes) else text.encode(codec, errors="best-fit")

    def lines(self, items, codec):
        """str items are lines (each gets CR LF), bytes items are taken as they are."""
        return b"".join(self.encode(i, codec) + (b"" if isinstance(i, bytes) else b"\r\n")
                        for i in items)


def build_fixture(root, files, texts, as_user):
    for rel, value in sorted(files.items()):
        path = os.path.join(root, texts.sub(rel))
        os.makedirs(path if rel.endswith("/") else os.path.dirname(path), exist_ok=True)
        if isinstance(value, Link):
            os.symlink(value.target, path)
        elif not rel.endswith("/"):
            content = value.content if isinstance(value, ReadOnly) else value
            pathlib.Path(path).write_bytes(texts.encode(content, texts.ansi))
            if isinstance(value, ReadOnly):
                os.chmod(path, 0o444)
    for folder, _, _ in os.walk(root) if as_user else ():  # for the user's reports
        os.chmod(folder, 0o777)
    for rel in (rel for rel, value in files.items() if value is NO_ACCESS):
        os.chmod(os.path.join(root, texts.sub(rel)), 0)


def difference(label, expected, actual):
    """Both texts line by line, each line's bytes as Python writes them."""
    expected, actual = (b"<none>" if v is None else v for v in (expected, actual))
    out = ["  %s differs (expected %d bytes, got %d):" % (label, len(expected), len(actual))]
    exp, act = expected.split(b"\n"), actual.split(b"\n")
    for i in range(max(len(exp), len(act))):
        e, a = exp[i] if i < len(exp) else None, act[i] if i < len(act) else None
        out += ["      %r" % e] if e == a else ["    - %r" % e, "    + %r" % a]
    return out


def contents(path):
    return (pathlib.Path(path).read_bytes() if os.path.isfile(path)
            else b"<folder>" if os.path.lexists(path) else None)


def terminal():
    """A pty as wide as the longest line (no wrapping), its bytes passed on as written (no
    CR before LF), and a thread that keeps reading it: the bytes it has shown."""
    master, slave = pty.openpty()
    fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 50, 9999, 0, 0))
    modes = termios.tcgetattr(slave)
    modes[1] &= ~termios.OPOST
    termios.tcsetattr(slave, termios.TCSANOW, modes)
    shown = bytearray()

    def read():
        while True:
            try:
                data = os.read(master, 65536)
            except OSError:  # EIO: every writer has closed it
                return
            if not data:
                return
            shown.extend(data)
    reader = threading.Thread(target=read, daemon=True)
    reader.start()
    return master, slave, reader, shown


SGR = re.compile(rb"\x1b\[([0-9;]*)m")


def as_shown(data, pieces):
    """What a terminal shows, the same from both backends: Wine hides the cursor around each
    console write (a write that ends inside a line is kept as PIECE when `pieces`, else
    dropped), sends a colour just before the next character it shows, the stand-in at
    once, and Wine erases to the end of a line where the stand-in writes its last blanks;
    "\x1b[0m" and "\x1b[m" are the same reset."""
    data = re.sub(rb"(?<!\n)" + re.escape(PIECE.encode()), b"\0" if pieces else b"", data)
    data = re.sub(rb"\x1b\[\?25[lh]", b"", data)
    data = re.sub(rb" *(\x1b\[K)?\r\n", b"\r\n", data)
    out, current, pending, at = bytearray(), b"", None, 0
    for m in list(SGR.finditer(data)) + [None]:
        text = data[at:m.start() if m else len(data)]
        for i in range(len(text)):
            if pending is not None and text[i:i + 1] not in b"\r\n\0":
                if pending != current:
                    out += b"\x1b[%sm" % pending
                current, pending = pending, None
            out += text[i:i + 1]
        if m:
            pending, at = (b"" if m.group(1) in (b"", b"0") else m.group(1)), m.end()
    if pending is not None and pending != current:
        out += b"\x1b[%sm" % pending
    return bytes(out).replace(b"\0", PIECE.encode())


def utf8_locale(base):
    """LOCPATH for UTF8_ANSI when the host lacks it: made once a suite."""
    have = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.lower()
    if UTF8_ANSI.lower().replace("utf-8", "utf8") in have:
        return None
    path = os.path.join(base, "locale")
    if not os.path.isdir(os.path.join(path, UTF8_ANSI)):
        os.makedirs(path, exist_ok=True)
        subprocess.run(["localedef", "-i", UTF8_ANSI.split(".")[0], "-f", "UTF-8",
                        os.path.join(path, UTF8_ANSI)], stderr=subprocess.DEVNULL)
    return path


def observe(backend, sc, base, keys):
    """Runs `sc` in a fresh fixture: the process, the texts, and what the run leaves: console
    bytes, exit status and the files named by `keys`."""
    work = os.path.join(base, "w")
    remove(work)
    root = os.path.join(work, "r")
    os.makedirs(root)
    texts = Texts(root, sc.ansi, sc.oem)
    build_fixture(root, sc.files, texts, sc.as_user)
    cwd = sc.cwd if sc.cwd.startswith("/") else os.path.join(root, sc.cwd)
    catalogue = os.path.join(work, "sfc.txt")
    pathlib.Path(catalogue).write_bytes(texts.lines(sc.sfc, sc.ansi))
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": os.environ.get("HOME", "/"),
           "LANG": sc.lang, "TAVREL_STANDIN_SFC": catalogue}
    env.update({k: texts.sub(v) for k, v in sc.env.items()})
    locales = sc.lang == UTF8_ANSI and utf8_locale(base)
    if locales:
        env["LOCPATH"] = locales
    raw_line = None if sc.line is None else texts.encode(sc.line, sc.ansi)

    out_path, err_path = os.path.join(work, "stdout.bin"), os.path.join(work, "stderr.txt")
    # Files, not pipes: a service that Wine starts may keep inherited handles.
    # A pipe whose reader is gone, or a terminal, when asked.
    screen = sc.stdout == TERMINAL and terminal()
    ends = (os.pipe() if sc.stdout == CLOSED_PIPE else screen[1:2] if screen
            else (os.open(sc.stdout or out_path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC),))
    if sc.stdout == CLOSED_PIPE:
        os.close(ends[0])
        ends = ends[1:]
    holder = sc.hold and subprocess.Popen(backend.hold(os.path.join(root, sc.hold)),
                                          stdout=subprocess.PIPE)
    holder and holder.stdout.readline()  # the file is held once the holder says so
    try:
        command, timeout = backend.command(sc, [texts.sub(a) for a in sc.args], raw_line, env,
                                           work)
        # The peak resident set (KB), measured by a small parent: a child of this process
        # would count this one's peak as well.
        with open(err_path, "wb") as err, tempfile.NamedTemporaryFile() as peak:
            proc = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", peak.name, "timeout", "-s",
                                   "KILL", str(timeout)] + (test_user() if sc.as_user else [])
                                  + command, env=env, cwd=cwd, stdout=ends[-1], stderr=err)
            proc.peak = int(peak.read().split()[-1])  # after "Command terminated ..." if any
    finally:
        for fd in ends:
            os.close(fd)
        if screen:
            screen[2].join(10)
            os.close(screen[0])
        if holder:
            holder.kill()
            holder.wait()
    proc.errors = pathlib.Path(err_path).read_bytes()
    console = bytes(screen[3]) if screen else contents(out_path) if sc.stdout is None else b""
    found = {"console": console,
             "exit status": b"%d" % proc.returncode}
    found.update({k: contents(os.path.join(root, texts.sub(k))) for k in keys})
    return proc, texts, found


def run_scenario(backend, sc, base):
    keys = list(sc.after)
    proc, texts, found = observe(backend, sc, base, keys)
    problems = []
    PEAKS[sc.name] = proc.peak
    if proc.peak > PEAKS.get(sc.memory_as, proc.peak) + 8 * 1024 and not SANITIZED:
        problems.append("  peak memory %d KB, %d KB in %r" % (proc.peak, PEAKS[sc.memory_as],
                                                               sc.memory_as))
    expected = {"console": texts.lines(sc.out, sc.oem) if sc.stdout is None else b"",
                "exit status": b"%d" % sc.exit}
    if sc.stdout == TERMINAL:  # each backend's bytes as they show
        pieces = isinstance(backend, Wine)
        found["console"] = as_shown(found["console"], pieces)
        expected["console"] = as_shown(texts.lines(sc.shown, "utf-8"), pieces)
    expected.update({rel: lines if lines is None else texts.lines(lines, sc.ansi)
                     for rel, lines in sc.after.items()})
    for key, want in expected.items():
        if found[key] != want:
            problems += difference(key, want, found[key])
    if problems and proc.errors:
        problems.append("  stderr: %r" % proc.errors[-400:])
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("kind", choices=["native", "wine"])
    parser.add_argument("target", nargs="?", default="")
    parser.add_argument("-k", dest="only", default="")
    parser.add_argument("--keep", action="store_true")
    options = parser.parse_args()
    kind = options.kind
    if kind == "wine":
        build = win_build.find(options.target, "e2e-wine")
        # Wine takes its code pages from the host's locale, which must exist.
        have = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.lower()
        if not all(l.lower().replace("utf-8", "utf8") in have
                   for l in (scenarios.FRENCH, *scenarios.CODE_PAGES)):
            sys.exit("e2e: locales fr_FR, ja_JP, ru_RU and he_IL (UTF-8) needed (locale-gen)")

    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))  # still removes the fixtures
    # Short names, so that {R} stays short; in memory where there is one, for speed.  Wine's
    # searches pass over /dev, so that no long form of a path reaches into /dev/shm: the
    # scenarios that need one have their fixtures on disk.
    base, disk_base = (tempfile.mkdtemp(prefix="tve2e.", dir=d) for d in (
        "/dev/shm" if os.path.isdir("/dev/shm") else "/tmp", "/tmp"))
    for folder in (base, disk_base):
        os.chmod(folder, 0o755)  # for runs as an ordinary user
    selected = [s for s in scenarios.SCENARIOS if options.only in s.name]
    runnable = [s for s in selected if s.runs_on(kind) and (ROOT or not s.as_user)]
    other = sum(not s.runs_on(kind) for s in selected)
    skipped = len(selected) - len(runnable) - other
    failed, backend, started = 0, None, time.monotonic()
    try:
        backend = Native(options.target) if kind == "native" else Wine(build)
        backend.setup()
        for sc in runnable:
            problems = run_scenario(backend, sc, disk_base if sc.on_disk else base)
            if problems:
                print("FAIL %s\n%s" % (sc.name, "\n".join(problems)))
            failed += bool(problems)
    finally:
        if backend:
            backend.teardown()
        if not options.keep:
            remove(base)
            remove(disk_base)
    print("e2e-%s: %d scenarios in %.1f s; %d for the other backend only" % (
        kind, len(runnable), time.monotonic() - started, other))
    if skipped:
        print("e2e-%s: %d skipped: they run as %s, which needs root" % (kind, skipped, TEST_USER))
    print("e2e-%s: %d passed, %d failed" % (kind, len(runnable) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
