#include "cli/split_command_line.h"

#include "output/ansi_text.h"
#include "platform/platform.h"

namespace {

// Blanks and control characters, but for a character that the code page
// lacks, which stays in its argument.
bool IsSeparator(unsigned char c) {
  return c >= 1 && c <= 32 && c != static_cast<unsigned char>(platform::kLostCharacter);
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& line) {
  // The line ends at its first NUL, as the system's text does.
  const std::string text = line.substr(0, line.find('\0'));
  const std::size_t end = text.size();
  std::vector<std::string> arguments;
  bool program_name = true;
  std::size_t pos = 0;
  for (;;) {
    // Separators, and "" where an argument would begin, are skipped
    // (text[end] is the string's NUL).
    while (pos < end) {
      if (IsSeparator(static_cast<unsigned char>(text[pos]))) {
        ++pos;
      } else if (text[pos] == '"' && text[pos + 1] == '"') {
        pos += 2;
      } else {
        break;
      }
    }
    if (pos >= end) break;

    std::string argument;
    bool quoted = false;
    while (pos < end) {
      const unsigned char c = static_cast<unsigned char>(text[pos]);
      if (c == '"') {
        quoted = !quoted;
        ++pos;
        continue;
      }
      if (!quoted && IsSeparator(c)) break;
      // A double-byte character is taken whole: its trail byte is never
      // a quote or a separator.
      const std::size_t next = NextCharacter(text, pos);
      argument.append(text, pos, next - pos);
      pos = next;
    }
    // Only an unclosed quote at the end of the line leaves an empty
    // argument; it ends the list.
    if (argument.empty()) break;
    if (program_name) {
      program_name = false;
    } else {
      arguments.push_back(std::move(argument));
    }
  }
  return arguments;
}
