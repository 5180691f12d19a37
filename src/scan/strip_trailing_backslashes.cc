#include "scan/strip_trailing_backslashes.h"

#include "platform/platform.h"

std::size_t NextCharacter(const std::string& text, std::size_t i) {
  return platform::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()
             ? i + 2
             : i + 1;
}

std::size_t LengthWithoutTrailing(const std::string& text, char c) {
  // Walked forward: from the end, a trail byte cannot be told from a
  // character of its own.
  std::size_t length = 0;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t next = NextCharacter(text, i);
    if (text[i] != c) length = next;
    i = next;
  }
  return length;
}

std::string StripTrailingBackslashes(std::string text) {
  text.erase(LengthWithoutTrailing(text, '\\'));
  return text;
}
