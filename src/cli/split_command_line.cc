#include "cli/split_command_line.h"

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
  const std::size_t end = line.find('\0') == std::string::npos
                              ? line.size()
                              : line.find('\0');
  std::vector<std::string> arguments;
  bool program_name = true;
  std::size_t pos = 0;
  for (;;) {
    // Separators, and "" where an argument would begin, are skipped.
    while (pos < end) {
      if (IsSeparator(static_cast<unsigned char>(line[pos]))) {
        ++pos;
      } else if (line[pos] == '"' && pos + 1 < end && line[pos + 1] == '"') {
        pos += 2;
      } else {
        break;
      }
    }
    if (pos >= end) break;

    std::string argument;
    bool quoted = false;
    while (pos < end) {
      const unsigned char c = static_cast<unsigned char>(line[pos]);
      if (c == '"') {
        quoted = !quoted;
        ++pos;
        continue;
      }
      if (!quoted && IsSeparator(c)) break;
      // A double-byte character is taken whole: its trail byte is never
      // a quote or a separator.
      const std::size_t length =
          platform::IsLeadByte(c) && pos + 1 < end ? 2 : 1;
      argument.append(line, pos, length);
      pos += length;
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
