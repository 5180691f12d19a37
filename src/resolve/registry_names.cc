#include "resolve/registry_names.h"

#include <algorithm>
#include <iterator>

#include "cli/run_options.h"
#include "output/ansi_text.h"
#include "platform/platform.h"

namespace {

// A character that the code page lacks is no blank: trimmed, a name would
// stand for another.
bool IsBlankOrControl(char c) {
  return static_cast<unsigned char>(c) <= 0x20 && c != platform::kLostCharacter;
}

void Trim(std::string& text) {
  const auto begin = std::find_if_not(text.begin(), text.end(), IsBlankOrControl);
  const auto end =
      std::find_if_not(text.rbegin(), std::make_reverse_iterator(begin), IsBlankOrControl).base();
  text.assign(begin, end);
}

}  // namespace

std::string RootAbbreviation(const std::string& root_name) {
  std::string abbreviation = "HK";
  std::size_t from = 0;
  for (;;) {
    const std::size_t underscore = root_name.find('_', from);
    if (underscore == std::string::npos || underscore + 1 >= root_name.size())
      break;
    abbreviation += root_name[underscore + 1];
    from = underscore + 2;
  }
  return abbreviation;
}

std::string ExpandRootAbbreviation(const std::string& segment) {
  static const std::string* const abbreviations = [] {
    static std::string table[kRootCount];
    for (std::size_t i = 0; i < kRootCount; ++i)
      table[i] = RootAbbreviation(RootTable[i]);
    return table;
  }();
  const std::string upper = AnsiUpperCase(segment);
  for (std::size_t i = 0; i < kRootCount; ++i) {
    if (upper == abbreviations[i]) return RootTable[i];
  }
  return segment;
}

int FindRootIndex(const std::string& root_name) {
  const std::string upper = AnsiUpperCase(root_name);
  for (std::size_t i = 0; i < kRootCount; ++i) {
    if (upper == RootTable[i]) return static_cast<int>(i);
  }
  return -1;
}

bool ClassifyName(std::string& name, std::uint32_t& root_handle) {
  Trim(name);
  // The root segment ends at the first "\" that is no trail byte, else
  // with the name.
  const std::string stripped = StripTrailingBackslashes(name);
  std::size_t p = 0;
  while (p < stripped.size() && stripped[p] != '\\') p = NextCharacter(stripped, p);
  const int index = FindRootIndex(ExpandRootAbbreviation(stripped.substr(0, p)));
  if (index < 0 && !RunOptions.KeyMode) return false;
  root_handle = kFirstRootHandle + static_cast<std::uint32_t>(index);
  // The rest lost its trailing "\" with the name's.
  name = p < stripped.size() ? stripped.substr(p + 1) : std::string();
  return true;
}

bool KeyExists(std::uint32_t root_handle, const std::string& subkey_path) {
  // The roots without a name are answered here: opening the
  // performance-data root loads every registered performance provider into
  // the process, each time.  The root itself opens; nothing below it does.
  if (IsRootWithoutName(root_handle)) return subkey_path.empty();
  // A name that lost a character would open another key.
  if (platform::HoldsLostCharacter(subkey_path)) return false;
  try {
    platform::RegistryKey key;
    return key.Open(root_handle, subkey_path.c_str()) == 0;
  } catch (...) {
    return false;
  }
}
