// Short 8.3 aliases on the stand-in.  Host folders keep no short names, so
// Wine makes one up for every name that is no 8.3 name, from the name
// alone, and finds the entry by it too; the stand-in makes up the same.
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/posix_internal.h"

namespace platform {
namespace standin {
namespace {

// Lower case of the letters of the Latin, Greek and Cyrillic blocks, all
// that the hash below meets in practice.
std::uint32_t LowerUnit(std::uint32_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  if (c == 0x130) return 'i';
  if (c == 0x178) return 0xFF;
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c | 1;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  return c;
}

bool IsOneOf(char16_t c, const char* set) {
  return c != 0 && c <= 0x7F && std::strchr(set, static_cast<char>(c)) != nullptr;
}

// True for a name that needs no alias: at most eight characters, a dot and
// three more, all ASCII that an 8.3 name may hold.
bool IsShortName(const std::u16string& name) {
  const std::size_t length = name.size();
  if (length > 12) return false;
  if (length > 0 && name[0] == '.') return length == 1 || (length == 2 && name[1] == '.');
  std::size_t dot = std::u16string::npos;
  for (std::size_t i = 0; i < length; ++i) {
    if (name[i] > 0x7F || IsOneOf(name[i], "*?<>|\"+=,;[] :/\\")) return false;
    if (name[i] == '.') {
      if (dot != std::u16string::npos) return false;
      dot = i;
    }
  }
  if (dot == std::u16string::npos) return length <= 8;
  return dot <= 8 && length - dot > 1 && length - dot < 5;
}

}  // namespace

// The first four characters (up to the extension), "~" up to five, three
// characters of a hash of the whole name in any case, and the first three
// of the extension; characters an 8.3 name cannot hold become "_", and the
// whole is in upper case.
std::string ShortAlias(const char* host_name) {
  static const char kHashChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
  const std::u16string name = Utf8ToUtf16(host_name);
  const std::size_t length = name.size();
  if (length == 0 || IsShortName(name)) return "";
  std::uint16_t hash = 0xBEEF;
  for (std::size_t i = 0; i + 1 < length; ++i)
    hash = static_cast<std::uint16_t>((hash << 3) ^ (hash >> 5) ^ LowerUnit(name[i]) ^
                                      (LowerUnit(name[i + 1]) << 8));
  hash = static_cast<std::uint16_t>((hash << 3) ^ (hash >> 5) ^ LowerUnit(name[length - 1]));
  std::size_t extension = 0;  // the last "." but for the first and last character
  for (std::size_t i = 1; i + 1 < length; ++i) {
    if (name[i] == '.') extension = i;
  }
  const auto short_char = [](char16_t c) {
    if (c > 0x7F || IsOneOf(c, "*?<>|\"+=,;[] ~.")) return '_';
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : static_cast<char>(c);
  };
  std::string alias;
  for (std::size_t i = 0; i < 4 && i < length && (extension == 0 || i < extension); ++i)
    alias += short_char(name[i]);
  alias.resize(5, '~');
  alias += kHashChars[(hash >> 10) & 0x1F];
  alias += kHashChars[(hash >> 5) & 0x1F];
  alias += kHashChars[hash & 0x1F];
  if (extension != 0) {
    alias += '.';
    for (std::size_t i = extension + 1; i < length && i <= extension + 3; ++i)
      alias += short_char(name[i]);
  }
  return alias;
}

bool CouldBeShortAlias(const std::string& name) {
  return name.size() >= 8 && name[4] == '~' &&
         (name.size() == 8 || (name[8] == '.' && name.size() >= 10 && name.size() <= 12));
}

}  // namespace standin
}  // namespace platform
