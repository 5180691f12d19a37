// Short 8.3 aliases on the stand-in.  Host folders keep no short names, so
// Wine makes one up for every name that is no 8.3 name, from the name
// alone, and finds the entry by it too; the stand-in makes up the same.
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/standin/internal.h"

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

// ---- Long names -------------------------------------------------------------

namespace platform {
namespace {

// As the system tells an 8.3 name (RtlIsNameLegalDOS8Dot3): at most eight
// characters, a dot and three more, no blank at either end or before the
// dot, none of the characters a short name cannot hold.  "." and ".." are
// such names too.
bool IsLegalShortName(const std::string& name) {
  const std::size_t length = name.size();
  if (length == 0 || length > 12) return false;
  if (name[0] == '.') return name == "." || name == "..";
  std::size_t dot = std::string::npos;
  for (std::size_t i = 0; i < length; ++i) {
    const char c = name[i];
    if (c == ' ' && (i == 0 || i + 1 == length || name[i + 1] == '.')) return false;
    if (c == '.') {
      if (dot != std::string::npos) return false;
      dot = i;
    } else if (std::strchr("*?<>|\"+=,;[]:/\\", c) != nullptr) {
      return false;
    }
  }
  if (dot == std::string::npos) return length <= 8;
  return dot <= 8 && length - dot <= 4 && dot + 1 < length;
}

// Wine's searches pass over the host's /dev, /proc and /sys, wherever they
// are reached: no long form goes through them.
bool HiddenFromSearches(const struct stat& found) {
  static const std::vector<std::pair<dev_t, ino_t>> hidden = [] {
    std::vector<std::pair<dev_t, ino_t>> identities;
    for (const char* folder : {"/dev", "/proc", "/sys"}) {
      struct stat info;
      if (stat(folder, &info) == 0) identities.emplace_back(info.st_dev, info.st_ino);
    }
    return identities;
  }();
  return S_ISDIR(found.st_mode) &&
         std::find(hidden.begin(), hidden.end(), std::make_pair(found.st_dev, found.st_ino)) !=
             hidden.end();
}

}  // namespace

// As Wine's GetLongPathNameA: "\\" names (shares, "\\?\", "\\.\") come back
// as they are; otherwise each part must be found, part by part as typed
// after the long form of the parts before it, and a part that is an 8.3
// name is replaced by the name of the entry found (its long name, in the
// disk's letter case); other parts, "." and ".." and the separators stay
// as typed.  Wildcards are refused (those of the system's searches, "<",
// ">" and '"' too, as tavREL asks), and so is a long form that reaches the
// path limit.
std::string LongPathName(const std::string& path) {
  if (path.empty() || path.size() >= kMaxPath) return "";
  if (path.compare(0, 2, "\\\\") == 0) return path;
  if (path.find_first_of("*?<>\"") != std::string::npos) return "";
  std::size_t position = path.size() >= 2 && path[1] == ':' ? 2 : 0;
  std::string result = path.substr(0, position);
  std::string host;  // the host path of `result`, once known
  while (position < path.size()) {
    const std::size_t end = std::min(path.find_first_of("\\/", position), path.size());
    if (end == position) {
      result += path[position++];
      continue;
    }
    const std::string part = path.substr(position, end - position);
    position = end;
    if (part == "." || part == "..") {
      result += part;
      host.clear();
      continue;
    }
    // A part spelt as on disk is that entry (the search answers that
    // spelling); any other is left to the search.
    if (host.empty()) host = standin::HostPath(result);
    std::string found = host + (host == "/" ? "" : "/") + standin::AnsiToUtf8(part);
    struct stat info;
    if (!host.empty() && part.back() != '.' && part.back() != ' ' &&
        stat(found.c_str(), &info) == 0) {
      host = found;
      found = part;
    } else {
      FileSearch search;
      if (!search.First((result + part).c_str())) return "";
      found.assign(search.Name(), search.NameLength());
      host = standin::HostPath(result + found);
      if (stat(host.c_str(), &info) != 0) info = {};
    }
    if (HiddenFromSearches(info)) return "";
    result += IsLegalShortName(part) ? found : part;
  }
  return result.size() < kMaxPath ? result : "";
}

}  // namespace platform
