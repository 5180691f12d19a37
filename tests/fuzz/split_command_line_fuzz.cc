// The command-line splitter and the reading of its arguments.
//
// Properties: no argument is empty or holds a double quote or a NUL; the
// line without its double quotes is exactly separators, the arguments in
// order, separators between them; the program's name is skipped whatever
// it is; ShowUsage is set exactly for no argument, "?" or "/?"; "/L:" and
// the first plain argument land where they should.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/parse_command_line.h"
#include "cli/run_options.h"
#include "cli/split_command_line.h"
#include "fuzz_check.h"

namespace {

bool IsSeparator(char c) {
  return static_cast<unsigned char>(c) >= 1 && static_cast<unsigned char>(c) <= 32;
}

std::size_t SkipSeparators(const std::string& text, std::size_t pos) {
  while (pos < text.size() && IsSeparator(text[pos])) ++pos;
  return pos;
}

// The line as the splitter sees it (up to its first NUL), quotes removed,
// must read: separators, the program's name "p", then each argument with
// at least one separator before it, then separators only.  Quotes are the
// only bytes an argument may drop, and only separators stand between two.
// A quoted argument may itself begin with separators, or hold nothing
// else: it is laid out as early as its bytes allow.
void CheckLaidOutInOrder(const std::string& line, const std::vector<std::string>& arguments) {
  std::string unquoted;
  for (char c : line.substr(0, line.find('\0')))
    if (c != '"') unquoted += c;
  std::size_t pos = SkipSeparators(unquoted, 0);
  FUZZ_CHECK(unquoted.compare(pos, 1, "p") == 0);
  pos += 1;
  for (const std::string& argument : arguments) {
    const std::size_t run_end = SkipSeparators(unquoted, pos);
    const std::size_t leading = SkipSeparators(argument, 0);
    std::size_t next = std::string::npos;
    if (leading == argument.size()) next = unquoted.find(argument, pos + 1);
    else if (run_end - pos > leading) next = run_end - leading;
    FUZZ_CHECK(next != std::string::npos && next + leading <= run_end);
    FUZZ_CHECK(unquoted.compare(next, argument.size(), argument) == 0);
    pos = next + argument.size();
  }
  FUZZ_CHECK(SkipSeparators(unquoted, pos) == unquoted.size());
}

void CheckReadArguments(const std::vector<std::string>& arguments) {
  RunOptions = RunOptionsRecord();
  CurrentName = "left over";
  ReadArguments(arguments);

  bool usage = arguments.empty();
  std::string list_file;
  std::string name;
  for (const std::string& a : arguments) {
    if (a == "?" || a == "/?") usage = true;
    const bool list = a.size() >= 4 && a[0] == '/' && (a[1] == 'L' || a[1] == 'l') && a[2] == ':';
    if (list) list_file = a.substr(3);
    if (!a.empty() && a[0] != '/' && a != "?" && name.empty() && list_file.empty()) name = a;
  }
  FUZZ_CHECK(RunOptions.ShowUsage == usage);
  FUZZ_CHECK(RunOptions.ListMode == !list_file.empty());
  FUZZ_CHECK(RunOptions.ListFileName == list_file);
  FUZZ_CHECK(CurrentName == name);
  FUZZ_CHECK(RunOptions.WriteReport == !RunOptions.ReportFileName.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> arguments = SplitCommandLine(line);
  for (const std::string& argument : arguments) {
    FUZZ_CHECK(!argument.empty());
    FUZZ_CHECK(argument.find('"') == std::string::npos);
    FUZZ_CHECK(argument.find('\0') == std::string::npos);
  }

  // The same line behind a program name of its own: its first argument is
  // the name that the line alone skipped.
  const std::vector<std::string> behind = SplitCommandLine("p " + line);
  CheckLaidOutInOrder("p " + line, behind);
  FUZZ_CHECK(behind.empty() ? arguments.empty()
                            : std::vector<std::string>(behind.begin() + 1, behind.end()) == arguments);

  CheckReadArguments(arguments);
  CheckReadArguments(behind);
  return 0;
}
