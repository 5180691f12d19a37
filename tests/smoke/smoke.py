#!/usr/bin/env python3
"""Smoke test of tavrel.exe against the system's own protection service and file system,
with answers that do not depend on the machine's image (doc/testing.md lists them).

  smoke.py TAVREL_EXE          on Windows: the real service's answers
  smoke.py --wine WIN_BUILD    the mingw build's tavrel.exe under Wine, whose service
                               protects nothing (without a tavrel.exe, skipped: 77)
  --budget S                   every run ends within S seconds of the start (default 780),
                               so that the caller's own limit is never what stops it
  --evidence DIR               keeps each run's command, time and output in DIR

Every run has a time limit of its own, cut to what is left of the budget.  Last, the
timing of %SystemRoot%\\System32\\*.dll /R.
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

TESTS = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, TESTS)
import win_build  # noqa: E402

WINE_RUN = os.path.join(os.path.dirname(TESTS), "cmake", "wine-run.sh")
ANSWER = re.compile(rb"(.*) : (non )?prot.g. par SFC")  # "é" in the OEM code page
SYSTEM32 = "%SystemRoot%\\System32\\"
# Files under %SystemRoot% with a part longer than 8.3: the first that has a short name.
LONG_NAMES = ["System32\\WindowsPowerShell\\v1.0\\powershell.exe", "System32\\SearchIndexer.exe"]
failures = []


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what)
    if not ok:
        failures.append(what)


class Tavrel:
    def __init__(self, exe, wine_build, budget, evidence):
        self.exe, self.wine, self.env = exe, wine_build is not None, dict(os.environ)
        self.deadline, self.evidence, self.runs = time.monotonic() + budget, evidence, 0
        if evidence:
            os.makedirs(evidence, exist_ok=True)
        if self.wine:  # a prefix of the smoke test's own, with Wine's own service
            self.env.update(TAVREL_WINEPREFIX=os.path.join(wine_build, "smoke-wineprefix"),
                            WINEDEBUG="-all", LANG="fr_FR.UTF-8")
            self.env.pop("LC_ALL", None)
            subprocess.run([WINE_RUN, "wineboot", "-i"], env=self.env, timeout=self.left(300),
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def left(self, limit):
        """`limit`, or less: what is left of the budget."""
        return max(0.0, min(limit, self.deadline - time.monotonic()))

    def keep(self, command, seconds, output):
        """The run's command, time and output, in the evidence folder."""
        if not self.evidence:
            return
        self.runs += 1
        name = "run-%02d.txt" % self.runs
        with open(os.path.join(self.evidence, name), "wb") as f:
            f.write(output)
        with open(os.path.join(self.evidence, "runs.txt"), "a", encoding="utf-8") as f:
            f.write("%s: %s, %s\n" % (name, subprocess.list2cmdline(command),
                                      "%.2f s" % seconds if seconds is not None else "time limit"))

    def path(self, host_path):  # the host's Windows name of a file
        return "Z:" + host_path.replace("/", "\\") if self.wine else host_path

    def run(self, program, *args, limit=120):
        """The output's lines and the wall time; None for the lines after `limit` s.  A
        file, not a pipe: a service that Wine starts may keep inherited handles."""
        command = ([WINE_RUN] if self.wine else []) + [program] + list(args)
        with tempfile.TemporaryFile() as out:
            start = time.monotonic()
            try:
                subprocess.run(command, stdout=out, stderr=subprocess.DEVNULL, env=self.env,
                               timeout=self.left(limit))
                seconds = time.monotonic() - start
            except subprocess.TimeoutExpired:
                seconds = None
            out.seek(0)
            output = out.read()
            self.keep(command, seconds, output)
            if seconds is None:
                return None, time.monotonic() - start
            return [l for l in output.split(b"\r\n") if l], seconds

    def answers(self, *args, limit=120):
        """{name: protected} of a run of tavrel.exe (None when it did not end)."""
        lines, _ = self.run(self.exe, *args, limit=limit)
        return None if lines is None else {
            m[1]: not m[2] for m in map(ANSWER.fullmatch, lines) if m}

    def interrupt(self, work, *args):
        """Standard output (a file) and the report of a run interrupted once its first
        pieces are out: Ctrl+Break on Windows, SIGINT under Wine (which hands it to the
        program's console handler as Ctrl+C).  None when no interruption could be sent."""
        shown, report = os.path.join(work, "shown.txt"), os.path.join(work, "interrupted.txt")
        command = ([WINE_RUN] if self.wine else []) + [self.exe] + list(args)
        with open(shown, "wb") as out:
            process = subprocess.Popen(command + ["/O:" + self.path(report)], stdout=out,
                                       stderr=subprocess.DEVNULL, env=self.env,
                                       creationflags=getattr(subprocess,
                                                             "CREATE_NEW_PROCESS_GROUP", 0))
            start = time.monotonic()
            while (process.poll() is None and os.path.getsize(shown) == 0
                   and time.monotonic() - start < self.left(60)):
                time.sleep(0.01)
            try:
                os.kill(process.pid, signal.SIGINT if self.wine else signal.CTRL_BREAK_EVENT)
            except OSError:  # no console to send it through
                process.kill()
                return None
            finally:
                try:
                    process.wait(timeout=self.left(60))
                except subprocess.TimeoutExpired:
                    process.kill()
        with open(shown, "rb") as f, open(report, "rb") as g:
            output = f.read(), g.read()
        self.keep(command, time.monotonic() - start, b"\r\n== report\r\n".join(output))
        return output

    def short_name(self, work, name):
        """cmd's full and short forms of `name`."""
        script = os.path.join(work, "short.bat")
        with open(script, "wb") as f:
            f.write(b"@echo %~f1\r\n@echo %~s1\r\n")
        lines, _ = self.run("cmd", "/d", "/c", self.path(script), name)
        return [l.decode(errors="replace") for l in lines or []] + ["", ""]


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("target", nargs="?", default="",
                        help="tavrel.exe, or with --wine the mingw build dir")
    parser.add_argument("--wine", action="store_true")
    parser.add_argument("--budget", type=float, default=780)
    parser.add_argument("--evidence", default="")
    options = parser.parse_args()
    build = win_build.find(options.target, "smoke") if options.wine else None
    tavrel = Tavrel(os.path.join(build, "tavrel.exe") if build else options.target, build,
                    options.budget, options.evidence)
    real = not options.wine  # the real service protects the system's files; Wine's nothing
    work = tempfile.mkdtemp(prefix="tavrel-smoke.")
    try:
        found = tavrel.answers(SYSTEM32 + "kernel32.dll")
        check(found and list(found.values()) == [real],
              "kernel32.dll is %sprotected: %r" % ("" if real else "not ", found))

        fresh = os.path.join(work, "fresh.dll")
        open(fresh, "wb").close()
        found = tavrel.answers(tavrel.path(fresh))
        check(found and list(found.values()) == [False], "a new file is not protected: %r"
              % found)

        lines, _ = tavrel.run(tavrel.exe, SYSTEM32 + "*.dll", "/P")
        check(lines is not None and (len(lines) > 100 if real else not lines),
              "*.dll /P lists %s: %s" % ("more than 100 names" if real else "nothing",
                                         None if lines is None else len(lines)))

        # A folder holding two links to its parent: each file once, and an end.
        top = os.path.join(work, "loop")
        os.makedirs(os.path.join(top, "a"))
        open(os.path.join(top, "a", "x.dll"), "wb").close()
        for link in ("p", "q"):
            if os.name == "nt":
                subprocess.run(["cmd", "/d", "/c", "mklink", "/J", os.path.join(top, "a", link),
                                top], check=True, stdout=subprocess.DEVNULL)
            else:
                os.symlink("..", os.path.join(top, "a", link))
        found = tavrel.answers(tavrel.path(top) + "\\*.dll", "/R", limit=30)
        for link in ("p", "q"):  # the links alone, before anything walks the tree again
            (os.rmdir if os.name == "nt" else os.unlink)(os.path.join(top, "a", link))
        check(found is not None and [n.lower().endswith(b"\\a\\x.dll") for n in found] == [True],
              "a folder with two links to its parent: /R ends in 30 s, x.dll once: %r" % found)

        # Interrupted in the middle of a walk: standard output and the report hold the same
        # whole lines, none twice.
        many, files = os.path.join(work, "many"), 0
        for folder in range(40):
            os.makedirs(os.path.join(many, "f%02d" % folder))
            for name in range(500):
                open(os.path.join(many, "f%02d" % folder, "%03d.dll" % name), "wb").close()
                files += 1
        output = tavrel.interrupt(work, tavrel.path(many) + "\\*.dll", "/R")
        if output is None:
            print("skip  no console to interrupt a run through")
        else:
            lines = [text[:-2].split(b"\r\n") if text.endswith(b"\r\n") else [b""]
                     for text in output]
            names = [{m[1] for m in map(ANSWER.fullmatch, text) if m} for text in lines]
            check(0 < len(lines[1]) < files and names[0] == names[1]
                  and len(lines[0]) == len(lines[1]) == len(names[1]),
                  "an interrupted walk: %d of %d lines shown, %d in the report, the same "
                  "whole lines: %s" % (len(lines[0]), files, len(lines[1]), names[0] == names[1]))

        root = tavrel.env.get("SystemRoot") or "C:\\windows"
        forms = (tavrel.short_name(work, root + "\\" + n)[:2] for n in LONG_NAMES)
        full, short = next((f for f in forms if f[0] and f[1].lower() != f[0].lower()), ("", ""))
        if full:
            long_answer, short_answer = (list((tavrel.answers(n) or {}).values())
                                         for n in (full, short))
            check(long_answer and short_answer == long_answer,
                  "%s typed as %s answers as its long name: %r, %r"
                  % (full, short, short_answer, long_answer))
        else:
            print("skip  no short name under %s (8.3 names off on the volume?)" % root)

        report = os.path.join(work, "rapport.txt")
        earlier = b"d\xe9j\xe0 l\xe0\r\n"
        with open(report, "wb") as f:
            f.write(earlier)
        lines, _ = tavrel.run(tavrel.exe, SYSTEM32 + "kernel32.dll", "/S",
                              "/O:" + tavrel.path(report))
        with open(report, "rb") as f:
            text = f.read()
        added = text[len(earlier):]
        line = rb"\r\n\S+\\kernel32\.dll : %sprot\xe9g\xe9 par SFC\r\n(\r\n[^\r\n]*\xe9\r\n)?"
        check(lines == [] and text.startswith(earlier)
              and re.fullmatch(line % (b"" if real else b"non "), added, re.I),
              "the report keeps its bytes, then an empty line and Windows-1252 CR LF lines: %r"
              % added)

        lines, seconds = tavrel.run(tavrel.exe, SYSTEM32 + "*.dll", "/R", limit=900)
        items = sum(bool(ANSWER.fullmatch(l)) for l in lines or [])
        print("timing: %%SystemRoot%%\\System32\\*.dll /R: %d items in %.2f s, %.3f ms an item"
              % (items, seconds, 1000 * seconds / max(items, 1)))
    finally:
        shutil.rmtree(work, ignore_errors=True)
        if tavrel.wine:
            subprocess.run([os.path.join(os.path.dirname(win_build.wine()), "wineserver"), "-k"],
                           env=dict(tavrel.env, WINEPREFIX=tavrel.env["TAVREL_WINEPREFIX"]),
                           stderr=subprocess.DEVNULL)
    print("smoke: %d failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
