// The stand-in's registry: the keys of a .reg file named by
// TAVREL_STANDIN_REGISTRY (as regedit exports them), each implying its
// parents, under the predefined roots, which always exist.
#include <cstdint>
#include <set>
#include <string>
#include <utility>

#include "platform/platform.h"
#include "platform/standin/internal.h"

namespace platform {
namespace {

constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorBadPathname = 161;
constexpr std::uint32_t kFirstRoot = 0x80000000u;
constexpr std::uint32_t kPerformanceData = 4;

const char* const kRootNames[] = {
    "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",     "HKEY_LOCAL_MACHINE", "HKEY_USERS",
    "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA",
};
const char* const kRootAbbreviations[] = {"HKCR", "HKCU", "HKLM", "HKU", "", "HKCC", ""};
constexpr std::uint32_t kRootCount = 7;

// "index\path" in folded letter case, for every key and each of its parents.
using KeySet = std::set<std::string>;

std::string Fold(std::string text) {
  for (char& c : text) c = static_cast<char>(standin::FoldAnsi(static_cast<unsigned char>(c)));
  return text;
}

// The .reg file as ANSI text, whatever its encoding.
std::string DecodeRegFile(const std::string& raw) {
  if (raw.size() >= 2 && static_cast<unsigned char>(raw[0]) == 0xFF &&
      static_cast<unsigned char>(raw[1]) == 0xFE) {
    std::string ansi;
    std::u16string wide;
    for (std::size_t i = 2; i + 1 < raw.size(); i += 2) {
      const char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(raw[i]) |
                                                  (static_cast<unsigned char>(raw[i + 1]) << 8));
      // Characters past Latin-1 have no place in a test fixture's key names.
      ansi += unit < 0x100 ? static_cast<char>(unit) : '?';
    }
    return ansi;
  }
  // Wine's regedit reads 8-bit files as ANSI, and passes over UTF-8 ones
  // that begin with a byte-order mark: their header is not recognised.
  return raw;
}

constexpr std::uint32_t kClassesRoot = 0;
constexpr std::uint32_t kCurrentUser = 1;
constexpr std::uint32_t kLocalMachine = 2;
constexpr std::uint32_t kCurrentConfig = 5;

void InsertWithParents(KeySet& keys, std::uint32_t root, const std::string& path) {
  const std::string prefix = std::to_string(root) + "\\";
  for (std::size_t p = path.find('\\'); p != std::string::npos; p = path.find('\\', p + 1))
    keys.insert(prefix + path.substr(0, p));
  keys.insert(prefix + path);
}

void AddKey(KeySet& keys, const std::string& key_line) {
  const std::size_t slash = key_line.find('\\');
  const std::string root = key_line.substr(0, slash);
  for (std::uint32_t i = 0; i < kRootCount; ++i) {
    if (!standin::EqualIgnoringCase(root, kRootNames[i]) &&
        !(*kRootAbbreviations[i] && standin::EqualIgnoringCase(root, kRootAbbreviations[i])))
      continue;
    if (slash == std::string::npos) return;
    const std::string path = Fold(key_line.substr(slash + 1));
    InsertWithParents(keys, i, path);
    // HKEY_CLASSES_ROOT shows the classes of the machine and of the user.
    const std::string classes = "software\\classes\\";
    if (i == kClassesRoot) InsertWithParents(keys, kLocalMachine, classes + path);
    if ((i == kLocalMachine || i == kCurrentUser) && path.compare(0, classes.size(), classes) == 0)
      InsertWithParents(keys, kClassesRoot, path.substr(classes.size()));
    // HKEY_CURRENT_CONFIG is the machine's current hardware profile.
    const std::string profile = "system\\currentcontrolset\\hardware profiles\\current\\";
    if (i == kCurrentConfig) InsertWithParents(keys, kLocalMachine, profile + path);
    if (i == kLocalMachine && path.compare(0, profile.size(), profile) == 0)
      InsertWithParents(keys, kCurrentConfig, path.substr(profile.size()));
    return;
  }
}

}  // namespace

std::set<std::string> standin::ParseRegistryFile(const std::string& raw) {
  KeySet keys;
  const std::string text = DecodeRegFile(raw);
  bool header_seen = false;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
      line.pop_back();
    std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos) continue;
    line.erase(0, first);
    if (!header_seen) {
      if (line != "Windows Registry Editor Version 5.00" && line != "REGEDIT4") return keys;
      header_seen = true;
      continue;
    }
    // Key lines are in brackets; value lines are read past, and so are
    // deletions ([-key]).
    if (line.size() < 2 || line.front() != '[' || line.back() != ']' || line[1] == '-') continue;
    AddKey(keys, line.substr(1, line.size() - 2));
  }
  return keys;
}

namespace {

const KeySet& Keys() {
  static const KeySet keys = [] {
    std::string raw;
    return standin::ReadSettingFile("TAVREL_STANDIN_REGISTRY", &raw) ? standin::ParseRegistryFile(raw)
                                                                    : KeySet();
  }();
  return keys;
}

}  // namespace

namespace standin {

const char* RootKeyName(std::uint32_t root) {
  const std::uint32_t index = root - kFirstRoot;
  return index < kRootCount ? kRootNames[index] : "";
}

}  // namespace standin

RegistryKey::~RegistryKey() { handle_ = nullptr; }

long RegistryKey::Open(std::uint32_t root, const char* subkey_text) {
  const std::uint32_t index = root - kFirstRoot;
  if (index >= kRootCount) return kErrorInvalidHandle;
  const std::string text = subkey_text;
  if (!text.empty() && text[0] == '\\') return kErrorBadPathname;
  // Empty segments (doubled or trailing separators) are passed over.
  std::string subkey;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\\', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) {
      if (!subkey.empty()) subkey += '\\';
      subkey.append(text, start, end - start);
    }
    start = end + 1;
  }
  if (!subkey.empty()) {
    if (index == kPerformanceData) return kErrorInvalidHandle;
    if (Keys().count(std::to_string(index) + "\\" + Fold(subkey)) == 0) return kErrorFileNotFound;
  }
  handle_ = reinterpret_cast<void*>(static_cast<std::uintptr_t>(root));
  return kErrorSuccess;
}

}  // namespace platform
