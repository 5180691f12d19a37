#!/usr/bin/env python3
"""End-to-end suite of tavREL: every scenario of scenarios.py against one backend, or
random scenarios (generate.py) on both, compared with each other.

  run_e2e.py native PROGRAM     the POSIX stand-in build (out/x/tavrel)
  run_e2e.py wine [WIN_BUILD]   tavrel.exe of a mingw build dir under Wine; without
                                the dir, $TAVREL_WIN_BUILD; without both, skipped (77)
  run_e2e.py diff PROGRAM [WIN_BUILD] --seeds A-B
                                seeds A to B-1 on both; a scenario whose console
                                bytes, files afterwards or exit status differ is
                                shrunk and printed with its seed

-k TEXT runs the scenarios whose name holds TEXT; --keep leaves the fixtures.
Scenarios marked as_user run as an ordinary user made for the tests (TEST_USER),
under Wine with a prefix of its own.
Each scenario gets a fresh fixture folder; {R} in its texts is that folder's
Windows path (Z:\\dev\\shm\\...\\r), {Q} the same without "Z:\\".  Standard output
goes to a file and is compared byte for byte, as are the files named
afterwards and the exit status; each run's peak memory is measured.
"""
import argparse
import fcntl
import os
import pty
import pwd
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import scenarios  # noqa: E402
from scenarios import CLOSED_PIPE, NO_ACCESS, TERMINAL, Link, ReadOnly  # noqa: E402
import generate  # noqa: E402

PROGRAM_ACCENTS = "éèàê"  # the program's own words are Windows-1252 bytes
PEAKS = {}  # scenario name: the peak resident set of its run, in KB
SANITIZED = os.environ.get("TAVREL_E2E_SANITIZED")  # a sanitizer's memory grows anyway
TEST_USER = "tavrel-e2e"
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


def windows_path(host_path):
    return "Z:" + host_path.replace("/", "\\")


def execute(command, timeout, **options):
    """subprocess.run, and the program's peak resident set (KB) as .peak, measured by
    a small parent: a child of this process would count this one's peak as well."""
    with tempfile.NamedTemporaryFile() as peak:
        proc = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", peak.name, "timeout", "-s",
                               "KILL", str(timeout)] + command, **options)
        proc.peak = int(peak.read().split()[-1])  # after "Command terminated ..." if any
    return proc


class Native:
    name = "native"

    def __init__(self, program, registry=FIXTURE_REG):
        self.program, self.registry = os.path.abspath(program), registry

    def setup(self):
        pass

    def teardown(self):
        pass

    def run(self, sc, argv, raw_line, env, cwd, work, **streams):
        env["TAVREL_STANDIN_REGISTRY"] = self.registry
        if raw_line is not None:
            env["TAVREL_STANDIN_CMDLINE"] = raw_line
        return execute((test_user() if sc.as_user else []) + [self.program] + argv, 60, env=env,
                       cwd=cwd, **streams)

    @staticmethod
    def hold(path):  # a command that holds the file open for writing, says so and waits
        return ["sh", "-c", 'exec 3>>"$1" && echo held && exec sleep 600', "sh", path]


class Wine:
    name = "wine"

    def __init__(self, build, registry=FIXTURE_REG):
        build = os.path.abspath(build)
        doubles = os.path.join(build, "tests", "wine")
        self.exe = os.path.join(build, "tavrel.exe")
        self.sfc = os.path.join(doubles, "sfc.dll")
        self.sfc_everything = os.path.join(doubles, "sfc_everything.dll")
        self.launch = os.path.join(doubles, "launch.exe")
        self.holder = os.path.join(doubles, "hold.exe")
        for f in (self.exe, self.sfc, self.sfc_everything, self.launch, self.holder):
            if not os.path.isfile(f):
                sys.exit("e2e-wine: missing %s (build the mingw tree)" % f)
        self.wine = self.tool("TAVREL_WINE", "/usr/lib/wine/wine64", "wine64", "wine")
        self.server = self.tool("TAVREL_WINESERVER", "/usr/lib/wine/wineserver", "wineserver")
        self.registry = registry
        # root's prefix, and the ordinary user's, which must belong to that user.
        self.prefixes = {False: os.path.join(build, "e2e-wineprefix"),
                         True: os.path.join(build, "e2e-wineprefix-user")}
        self.started = {}  # as_user: True when this suite started that prefix's server
        self.locks = []

    def env_for(self, as_user):
        prefix = self.prefixes[as_user]
        return {"WINEPREFIX": prefix, "WINESERVER": self.server, "WINEDEBUG": "-all",
                "HOME": prefix if as_user else os.environ.get("HOME", "/"),
                # Our sfc.dll in system32 replaces Wine's own; no Mono or Gecko.
                "WINEDLLOVERRIDES": "sfc=n;mscoree,mshtml="}

    @staticmethod
    def tool(variable, *candidates):
        for c in (os.environ.get(variable),) + candidates:
            if c and shutil.which(c):
                return shutil.which(c)
        sys.exit("e2e-wine: %s not found (set %s)" % (candidates[0], variable))

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
        quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
        # One server for the whole suite, unless one already serves the prefix.
        self.started[as_user] = subprocess.run(user + [self.server, "-p"], env=env,
                                               **quiet).returncode == 0
        ready = os.path.join(prefix, ".tavrel-ready")
        if not os.path.exists(ready):
            subprocess.run(user + [self.wine, "wineboot", "-i"], env=env, check=True, **quiet)
            open(ready, "w").close()
        shutil.copyfile(self.sfc, os.path.join(prefix, "drive_c/windows/system32/sfc.dll"))
        # Each .reg file deletes its keys first, so importing it again is harmless.
        for reg in {FIXTURE_REG, self.registry}:
            subprocess.run(user + [self.wine, "regedit", "/S", windows_path(reg)], env=env,
                           check=True, **quiet)

    def teardown(self):
        for as_user, started in self.started.items():
            if started:
                subprocess.run((test_user() if as_user else []) + [self.server, "-k"],
                               env=dict(os.environ, **self.env_for(as_user)))
        for lock in self.locks:
            lock.close()

    def run(self, sc, argv, raw_line, env, cwd, work, **streams):
        self.setup(sc.as_user)
        env.update(self.env_for(sc.as_user))
        exe = self.exe
        if sc.exe_beside_everything:
            # A copy of tavrel.exe with a "protect everything" sfc.dll beside
            # it and in the current folder.
            exe = os.path.join(work, "app", "tavrel.exe")
            os.makedirs(os.path.dirname(exe))
            shutil.copyfile(self.exe, exe)
            for folder in (os.path.dirname(exe), cwd):
                shutil.copyfile(self.sfc_everything, os.path.join(folder, "sfc.dll"))
        command = [self.wine, exe] + argv
        if raw_line is not None:
            line_file = os.path.join(work, "cmdline.bin")
            with open(line_file, "wb") as f:
                f.write(raw_line)
            env["TAVREL_LAUNCH_PROGRAM"] = windows_path(exe)
            env["TAVREL_LAUNCH_CMDLINE_FILE"] = windows_path(line_file)
            command = [self.wine, self.launch]
        return execute((test_user() if sc.as_user else []) + command, 120, env=env, cwd=cwd,
                       **streams)

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
        text = self.sub(text() if callable(text) else text)
        if isinstance(text, bytes):
            return text
        if codec == "cp932":
            return b"".join(bytes([ord(c)]) if c in PROGRAM_ACCENTS else c.encode(codec)
                            for c in text)
        return text.encode(codec)

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
            with open(path, "wb") as f:
                f.write(texts.encode(content, texts.ansi))
            if isinstance(value, ReadOnly):
                os.chmod(path, 0o444)
    for folder, _, _ in os.walk(root) if as_user else ():  # for the user's reports
        os.chmod(folder, 0o777)
    for rel in (rel for rel, value in files.items() if value is NO_ACCESS):
        os.chmod(os.path.join(root, texts.sub(rel)), 0)


def difference(label, expected, actual):
    """Both texts line by line, then both in hex from the first differing row."""
    out = ["  %s differs (expected %d bytes, got %d):" % (label, len(expected), len(actual))]
    exp, act = expected.split(b"\n"), actual.split(b"\n")
    for i in range(max(len(exp), len(act))):
        e, a = exp[i] if i < len(exp) else None, act[i] if i < len(act) else None
        out += ["      %r" % e] if e == a else ["    - %r" % e, "    + %r" % a]
    first = next((i for i, (x, y) in enumerate(zip(expected, actual)) if x != y),
                 min(len(expected), len(actual)))
    start = max(0, first // 16 * 16 - 16)
    for label, data in (("expected", expected), ("actual", actual)):
        out.append("    %s from byte %d:" % (label, start))
        for row in range(start, min(len(data), start + 64), 16):
            chunk = data[row:row + 16]
            out.append("      %06x  %-48s %s" % (row, chunk.hex(" "), "".join(
                chr(b) if 32 <= b < 127 else "." for b in chunk)))
    return out


def observe(backend, sc, base):
    """Runs `sc` in a fresh fixture: the process, its console bytes, the fixture folder."""
    work = os.path.join(base, "w")
    shutil.rmtree(work, ignore_errors=True)
    root = os.path.join(work, "r")
    os.makedirs(root)
    texts = Texts(root, sc.ansi, sc.oem)
    build_fixture(root, sc.files, texts, sc.as_user)
    cwd = sc.cwd if sc.cwd.startswith("/") else os.path.join(root, sc.cwd)
    catalogue = os.path.join(work, "sfc.txt")
    with open(catalogue, "wb") as f:
        f.write(texts.lines(sc.sfc, sc.ansi))
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": os.environ.get("HOME", "/"),
           "LANG": sc.lang, "TAVREL_STANDIN_SFC": catalogue}
    env.update({k: texts.sub(v) for k, v in sc.env.items()})
    raw_line = None if sc.line is None else texts.encode(sc.line, sc.ansi)

    out_path = os.path.join(work, "stdout.bin")
    err_path = os.path.join(work, "stderr.txt")
    # Files, not pipes: a service that Wine starts may keep inherited handles.
    # A pipe whose reader is gone, or a terminal that nobody reads, when asked.
    ends = (os.pipe() if sc.stdout == CLOSED_PIPE else pty.openpty() if sc.stdout == TERMINAL
            else (os.open(sc.stdout or out_path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC),))
    if sc.stdout == CLOSED_PIPE:
        os.close(ends[0])
        ends = ends[1:]
    holder = sc.hold and subprocess.Popen(backend.hold(os.path.join(root, sc.hold)),
                                          stdout=subprocess.PIPE)
    holder and holder.stdout.readline()  # the file is held once the holder says so
    try:
        with open(err_path, "wb") as err:
            proc = backend.run(sc, [texts.sub(a) for a in sc.args], raw_line, env, cwd, work,
                               stdout=ends[-1], stderr=err)
    finally:
        for fd in ends:
            os.close(fd)
        if holder:
            holder.kill()
            holder.wait()
    with open(err_path, "rb") as f:
        proc.errors = f.read()
    with open(out_path if sc.stdout is None else os.devnull, "rb") as f:
        return proc, f.read(), root, texts


def run_scenario(backend, sc, base):
    proc, console, root, texts = observe(backend, sc, base)
    problems = []
    PEAKS[sc.name] = proc.peak
    if proc.peak > PEAKS.get(sc.memory_as, proc.peak) + 8 * 1024 and not SANITIZED:
        problems.append("  peak memory %d KB, %d KB in %r" % (proc.peak, PEAKS[sc.memory_as],
                                                               sc.memory_as))
    expected = texts.lines(sc.out, sc.oem)
    if sc.stdout is None and console != expected:
        problems += difference("console", expected, console)
    if proc.returncode != sc.exit:
        problems.append("  exit status %d, expected %d" % (proc.returncode, sc.exit))
    for rel, lines in sorted(sc.after.items()):
        path = os.path.join(root, texts.sub(rel))
        if lines is None:
            if os.path.lexists(path):
                problems.append("  %s exists, expected none" % rel)
        elif not os.path.isfile(path):
            problems.append("  %s missing" % rel)
        else:
            with open(path, "rb") as f:
                actual = f.read()
            expected = texts.lines(lines, sc.ansi)
            if actual != expected:
                problems += difference(rel, expected, actual)
    if problems and proc.errors:
        problems.append("  stderr: %r" % proc.errors[-400:])
    return problems


def outcome(backend, sc, base):
    """What a run leaves: console bytes, exit status, every file and folder afterwards."""
    proc, console, root, _ = observe(backend, sc, base)
    found = {"console": console, "exit status": b"%d" % proc.returncode}
    for folder, dirs, files in os.walk(root):
        found.update({os.path.relpath(os.path.join(folder, d), root): None for d in dirs})
        for name in files:
            with open(os.path.join(folder, name), "rb") as f:
                found[os.path.relpath(f.name, root)] = f.read()
    return found


def differences(backends, seed, spec, base):
    sc = generate.make(seed, spec)
    first, second = (outcome(b, sc, base) for b in backends)
    return [(key, first.get(key), second.get(key)) for key in sorted(set(first) | set(second))
            if first.get(key) != second.get(key)]


def shrink(backends, seed, spec, base, tries=200):
    """`spec` without each element whose removal leaves the backends still differing."""
    progress = True
    while progress and tries > 0:
        progress = False
        for field in ("tokens", "lines", "files", "sfc", "env"):
            i = 0
            while i < len(spec[field]) and tries > 0:
                trial, tries = dict(spec, **{field: spec[field][:i] + spec[field][i + 1:]}), tries - 1
                if differences(backends, seed, trial, base):
                    spec, progress = trial, True
                else:
                    i += 1
    return spec


def compare(backends, seeds, base):
    """Each seed's scenario on both backends; returns the count that differ."""
    failed = 0
    for seed in seeds:
        spec = generate.scenario(seed)
        if not differences(backends, seed, spec, base):
            continue
        failed += 1
        spec = shrink(backends, seed, spec, base)
        sc = generate.make(seed, spec)
        print("DIFF seed %d: %r in %r%s" % (seed, sc.line, sc.cwd or ".",
                                            " as the user" if sc.as_user else ""))
        print("  files %r\n  env %r, catalogue %r" % (sc.files, sc.env, sc.sfc))
        for key, first, second in differences(backends, seed, spec, base):
            print("\n".join(difference("%s (stand-in, then Wine)" % key, first or b"<none>",
                                        second or b"<none>")))
    return failed


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("backend", choices=["native", "wine", "diff"])
    parser.add_argument("target", nargs="?", default="")
    parser.add_argument("build", nargs="?", default="")
    parser.add_argument("-k", dest="only", default="")
    parser.add_argument("--seeds", default="0-300")
    parser.add_argument("--keep", action="store_true")
    options = parser.parse_args()

    build = (options.build if options.backend == "diff" else options.target
             ) or os.environ.get("TAVREL_WIN_BUILD", "")
    if options.backend != "native":
        if not build:
            print("e2e-%s: skipped (no Windows build: set TAVREL_WIN_BUILD)" % options.backend)
            return 77
        # Wine takes its code pages from the host's locale, which must exist.
        have = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.lower()
        wanted = {s.lang for s in scenarios.SCENARIOS if s.runs_on("wine")}
        missing = sorted(l for l in wanted if l.lower().replace("utf-8", "utf8") not in have)
        if missing:
            print("e2e-wine: locales missing: %s (add them to /etc/locale.gen, run locale-gen)"
                  % " ".join(missing))
            return 1

    # Short names, so that {R} stays short; in memory where there is one, for speed.
    shm = "/dev/shm" if os.path.isdir("/dev/shm") else "/tmp"
    base = tempfile.mkdtemp(prefix="tve2e.", dir=shm)
    os.chmod(base, 0o755)  # for runs as an unprivileged user
    if options.backend == "diff":
        seeds = range(*map(int, options.seeds.split("-")))
        registry = os.path.join(base, "generated.reg")
        with open(registry, "wb") as f:
            f.write(generate.registry(seeds))
        backends = [Native(options.target, registry), Wine(build, registry)]
        selected = []
    else:
        backends = [Native(options.target) if options.backend == "native" else Wine(build)]
        selected = [s for s in scenarios.SCENARIOS if options.only in s.name]
    passed = failed = other = 0
    started = time.monotonic()
    try:
        for backend in backends:
            backend.setup()
        if options.backend == "diff":
            failed = compare(backends, seeds, base)
            passed = len(seeds) - failed
        for sc in selected:
            if not sc.runs_on(options.backend):
                other += 1
                continue
            try:
                problems = run_scenario(backends[0], sc, base)
            except subprocess.TimeoutExpired:
                problems = ["  timed out"]
            if problems:
                failed += 1
                print("FAIL %s" % sc.name)
                print("\n".join(problems))
            else:
                passed += 1
    finally:
        for backend in backends:
            backend.teardown()
        if not options.keep:
            shutil.rmtree(base, ignore_errors=True)
    print("e2e-%s: %d scenarios in %.1f s%s" % (
        options.backend, passed + failed, time.monotonic() - started,
        " on each backend" if options.backend == "diff" else
        "; %d for the other backend only" % other))
    print("e2e-%s: %d passed, %d failed" % (options.backend, passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
