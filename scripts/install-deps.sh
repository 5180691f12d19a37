#!/usr/bin/env bash
# Installs what building and testing tavREL needs on Debian, when missing.
set -euo pipefail

packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev
          libbenchmark-dev g++-mingw-w64-x86-64-posix wine64 python3 locales)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi
