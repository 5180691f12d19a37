// MatchMask against the C library's fnmatch, on the lower-cased names of a
// system folder and the masks people type.  One iteration matches every
// name against one mask; the rate is reported per name.
#include <benchmark/benchmark.h>
#include <fnmatch.h>

#include <string>
#include <string_view>
#include <vector>

#include "scan/match_mask.h"

namespace {

const char* const kNames[] = {
    "kernel32.dll",    "kernelbase.dll",   "ntdll.dll",        "user32.dll",
    "gdi32.dll",       "advapi32.dll",     "shell32.dll",      "ole32.dll",
    "oleaut32.dll",    "comctl32.dll",     "comdlg32.dll",     "ws2_32.dll",
    "msvcrt.dll",      "rpcrt4.dll",       "sechost.dll",      "crypt32.dll",
    "notepad.exe",     "winlogon.exe",     "explorer.exe",     "svchost.exe",
    "cmd.exe",         "regedit.exe",      "taskmgr.exe",      "calc.exe",
    "desktop.ini",     "license.rtf",      "readme.txt",       "setupapi.log",
    "kernel32.dll.mui", "drivers",         "catroot",          "wbem",
    "microsoft.windows.common-controls.manifest",
    "api-ms-win-core-synch-l1-2-0.dll",
    "d3d11.dll",       "dxgi.dll",         "mfplat.dll",       "wininet.dll",
    "abc.txt",         "a1c2.bin",         "ac.dat",           "aqc",
};

const char* const kMasks[] = {"*.dll", "k*.dll", "*.*", "notepad.exe", "a?c*"};

struct Inputs {
  std::vector<std::string> names;
  std::string mask;
};

Inputs MakeInputs(const benchmark::State& state) {
  Inputs in;
  for (const char* name : kNames) in.names.emplace_back(name);
  in.mask = kMasks[state.range(0)];
  return in;
}

void BM_MatchMask(benchmark::State& state) {
  const Inputs in = MakeInputs(state);
  const std::string_view mask = in.mask;
  for (auto _ : state) {
    for (const std::string& name : in.names) {
      benchmark::DoNotOptimize(MatchMask(name, mask));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(in.names.size()));
  state.SetLabel(in.mask);
}

void BM_Fnmatch(benchmark::State& state) {
  const Inputs in = MakeInputs(state);
  const char* mask = in.mask.c_str();
  for (auto _ : state) {
    for (const std::string& name : in.names) {
      benchmark::DoNotOptimize(fnmatch(mask, name.c_str(), 0));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(in.names.size()));
  state.SetLabel(in.mask);
}

constexpr int kMaskCount = static_cast<int>(sizeof(kMasks) / sizeof(kMasks[0]));

BENCHMARK(BM_MatchMask)->DenseRange(0, kMaskCount - 1);
BENCHMARK(BM_Fnmatch)->DenseRange(0, kMaskCount - 1);

}  // namespace
