#include "output/ansi_text.h"

#include "platform/platform.h"

std::size_t NextCharacter(std::string_view text, std::size_t i) {
  return platform::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()
             ? i + 2
             : i + 1;
}

std::string StripTrailingBackslashes(std::string text) {
  // Walked forward: from the end, a trail byte cannot be told from a
  // character of its own.
  std::size_t length = 0;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t next = NextCharacter(text, i);
    if (text[i] != '\\') length = next;
    i = next;
  }
  text.erase(length);
  return text;
}

std::string AnsiUpperCase(std::string text) {
  if (!text.empty()) platform::UpperCase(&text[0], text.size());
  return text;
}
