// The command-line splitter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/split_command_line.h"

namespace {

using Args = std::vector<std::string>;

struct SplitCase {
  const char* line;
  Args expected;
};

TEST(SplitCommandLine, FollowsTheRules) {
  const SplitCase cases[] = {
      {"prog", {}},
      {"  prog \t a\x01\x1f" "b  ", {"a", "b"}},          // every byte 1..32 separates,
      {"prog a\x1A" "b", {"a\x1A" "b"}},                   // but a character the code page lacks
      {"prog \"a b\" c", {"a b", "c"}},
      {"prog a\"b c\"d", {"ab cd"}},                      // stretches touch: one argument
      {"prog \"c:\\dir\\\" next", {"c:\\dir\\", "next"}},  // no escape before a quote
      {"prog \"\" x", {"x"}},                              // "" where an argument begins
      {"prog \"\"\"\" x", {"x"}},
      {"prog x \"\"", {"x"}},
      {"prog x\"\"y", {"xy"}},                             // "" inside an argument
      {"prog \"\"\"a b\"", {"a b"}},
      {"prog a \"", {"a"}},                                // unclosed, empty: ends the list
      {"prog a \"b c", {"a", "b c"}},                      // unclosed, runs to the end
      {"\"C:\\Program Files\\t.exe\" /R", {"/R"}},        // the program's name is skipped
      {"prog \xE9t\xE9 \"\xE0 b\"", {"\xE9t\xE9", "\xE0 b"}},
      {"", {}},
      {"prog a\0b", {"a"}},                                // the line ends at NUL
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(SplitCommandLine(c.line), c.expected) << "line: " << c.line;
  }
  EXPECT_EQ(SplitCommandLine(std::string("prog a\0b c", 10)), Args{"a"});
}

}  // namespace
