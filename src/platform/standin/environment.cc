// Environment expansion on the stand-in: the host's variables, names in
// any letter case, an undefined reference left as it stands.
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/standin/internal.h"

extern char** environ;

namespace platform {
namespace {

// The system's expansion holds at most this many characters, NUL included.
constexpr std::uint32_t kExpansionLimit = 32767;

// Host variables that Wine does not hand to Windows programs.
bool Withheld(const std::string& name) {
  return name == "PWD" || name == "HOME" || name.compare(0, 3, "QT_") == 0 ||
         name.compare(0, 3, "VK_") == 0;
}

bool FindVariable(const std::string& name, std::string* value) {
  if (name.empty()) return false;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const char* equals = std::strchr(*entry, '=');
    if (equals == nullptr || equals == *entry) continue;
    const std::string entry_name = standin::Utf8ToAnsi(
        std::string(*entry, static_cast<std::size_t>(equals - *entry)));
    if (Withheld(entry_name)) continue;
    if (standin::EqualIgnoringCase(entry_name, name)) {
      *value = standin::Utf8ToAnsi(equals + 1);
      return true;
    }
  }
  return false;
}

}  // namespace

std::uint32_t ExpandEnvironment(const char* source, char* buffer, std::uint32_t size) {
  std::string out;
  const char* src = source;
  while (*src) {
    if (*src != '%') {
      const char* next = std::strchr(src, '%');
      const std::size_t length = next ? static_cast<std::size_t>(next - src) : std::strlen(src);
      out.append(src, length);
      src += length;
      continue;
    }
    const char* close = std::strchr(src + 1, '%');
    if (close == nullptr) {  // an unfinished reference stays as it is
      out += src;
      break;
    }
    std::string value;
    const std::string name(src + 1, static_cast<std::size_t>(close - src - 1));
    if (FindVariable(name, &value)) {
      out += value;
    } else {
      out.append(src, static_cast<std::size_t>(close - src + 1));
    }
    src = close + 1;
  }
  // What does not fit is cut, and the size needed is returned all the same.
  const std::size_t needed = out.size() + 1;
  const std::size_t capacity = size < kExpansionLimit ? size : kExpansionLimit;
  if (capacity > 0) {
    const std::size_t stored = needed <= capacity ? needed - 1 : capacity - 1;
    std::memcpy(buffer, out.data(), stored);
    buffer[stored] = '\0';
  }
  return static_cast<std::uint32_t>(needed);
}

}  // namespace platform
