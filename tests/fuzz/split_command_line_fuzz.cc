// The command-line splitter and the reading of its arguments.
//
// Properties: no argument is empty or holds a double quote or a NUL; the
// arguments' bytes come in the line's order; the program's name is skipped
// whatever it is; reading any arguments sets usage for none at all.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/parse_command_line.h"
#include "cli/run_options.h"
#include "cli/split_command_line.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> arguments = SplitCommandLine(line);
  std::size_t pos = 0;
  for (const std::string& argument : arguments) {
    FUZZ_CHECK(!argument.empty());
    FUZZ_CHECK(argument.find_first_of(std::string("\"\0", 2)) == std::string::npos);
    for (char c : argument) FUZZ_CHECK((pos = line.find(c, pos) + 1) != 0);
  }

  // The same line behind a program name of its own: its first argument is
  // the name that the line alone skipped.
  const std::vector<std::string> behind = SplitCommandLine("p " + line);
  FUZZ_CHECK(behind.empty() ? arguments.empty()
                            : std::vector<std::string>(behind.begin() + 1, behind.end()) == arguments);
  RunOptions = RunOptionsRecord();
  ReadArguments(arguments);
  if (arguments.empty()) FUZZ_CHECK(RunOptions.ShowUsage);
  return 0;
}
