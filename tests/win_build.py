"""The mingw build dir that the tests under Wine run: skipped (77) with the reason when
there is none, refused when it is older than the sources."""
import os
import subprocess
import sys

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def wine():
    """The Wine that cmake/wine-run.sh runs ($TAVREL_WINE, else its default)."""
    return subprocess.run([os.path.join(SOURCE, "cmake", "wine-run.sh"), "--wine"],
                          capture_output=True, text=True, check=True).stdout.strip()


def find(build, what):
    """`build`, else $TAVREL_WIN_BUILD, if it holds a tavrel.exe that its sources have
    not changed since; exits otherwise."""
    build = build or os.environ.get("TAVREL_WIN_BUILD", "")
    exe = os.path.join(build, "tavrel.exe")
    if not os.path.isfile(exe):
        print("%s: skipped (no tavrel.exe%s: build the mingw preset, or set TAVREL_WIN_BUILD)"
              % (what, " in " + build if build else ""))
        sys.exit(77)
    # Ninja knows what the exe is made of: its sources and the headers they include.
    if os.path.isfile(os.path.join(build, "build.ninja")):
        def tool(*args):
            return subprocess.run(["ninja", "-C", build, "-t"] + list(args), capture_output=True,
                                  text=True).stdout.splitlines()
        inputs = tool("inputs", "tavrel.exe")
        inputs += [l.strip() for l in tool("deps", *[i for i in inputs if i.endswith(".obj")])
                   if l.startswith(" ")]
        files = [f for f in (os.path.join(build, i) for i in inputs) if os.path.isfile(f)]
        newest = max(files, key=os.path.getmtime, default=None)
        if newest and os.path.getmtime(newest) > os.path.getmtime(exe):
            sys.exit("%s: %s is older than %s: rebuild it (cmake --build --preset mingw)"
                     % (what, exe, os.path.normpath(newest)))
    return os.path.abspath(build)
