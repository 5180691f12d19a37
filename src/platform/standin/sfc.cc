// The stand-in's protection service: a catalogue file named by
// TAVREL_STANDIN_SFC, one protected item a line (a full path, or a key
// under its full root name), compared in any letter case.  Blank lines and
// lines starting with ";" are skipped.  HKEY_CURRENT_CONFIG\X and
// HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\X
// are one key.
#include <string>
#include <unordered_set>

#include "platform/platform.h"
#include "platform/standin/internal.h"

namespace platform {
namespace {

std::string Fold(std::string text) {
  for (char& c : text) c = static_cast<char>(standin::FoldAnsi(static_cast<unsigned char>(c)));
  return text;
}

// A key under HKEY_CURRENT_CONFIG is the same key under the current
// hardware profile's HKLM path, as the registry shows it: either name in
// the catalogue protects the key asked about under the other.
std::string ProfileKey(std::string folded) {
  static const std::string link = "hkey_current_config";
  if (folded.compare(0, link.size(), link) == 0 &&
      (folded.size() == link.size() || folded[link.size()] == '\\'))
    folded.replace(0, link.size(),
                   "hkey_local_machine\\system\\currentcontrolset\\hardware profiles\\current");
  return folded;
}

}  // namespace

std::unordered_set<std::string> standin::ParseCatalogue(const std::string& text) {
  std::unordered_set<std::string> items;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") == std::string::npos || line[0] == ';') continue;
    items.insert(ProfileKey(Fold(line)));
  }
  return items;
}

namespace {

const std::unordered_set<std::string>& Catalogue() {
  static const std::unordered_set<std::string> catalogue = [] {
    std::string text;
    return standin::ReadSettingFile("TAVREL_STANDIN_SFC", &text) ? standin::ParseCatalogue(text)
                                                                 : std::unordered_set<std::string>();
  }();
  return catalogue;
}

bool InCatalogue(const std::string& item) { return Catalogue().count(ProfileKey(Fold(item))) != 0; }

}  // namespace

bool SfcFileProtected(const char16_t* path) {
  return !Catalogue().empty() && InCatalogue(standin::Utf16ToAnsi(path));
}

bool SfcKeyProtected(std::uint32_t root, const char16_t* subkey) {
  std::string name = standin::RootKeyName(root);
  if (name.empty() || Catalogue().empty()) return false;
  const std::string path = subkey != nullptr ? standin::Utf16ToAnsi(subkey) : "";
  if (!path.empty()) name += "\\" + path;
  return InCatalogue(name);
}

}  // namespace platform
