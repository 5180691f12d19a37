// The command-line splitter and the reading of the arguments.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/parse_command_line.h"
#include "cli/run_options.h"
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
      {"prog a b", {"a", "b"}},
      {"  prog \t a\x01\x1f" "b  ", {"a", "b"}},          // every byte 1..32 separates
      {"prog \"a b\" c", {"a b", "c"}},
      {"prog a\"b c\"d", {"ab cd"}},                      // stretches touch: one argument
      {"prog \"c:\\dir\\\" next", {"c:\\dir\\", "next"}},  // no escape before a quote
      {"prog a\\\"b\" c\"", {"a\\b", "c"}},
      {"prog \"\" x", {"x"}},                              // "" where an argument begins
      {"prog \"\"\"\" x", {"x"}},
      {"prog x \"\"", {"x"}},
      {"prog x\"\"y", {"xy"}},                             // "" inside an argument
      {"prog \"\"\"a b\"", {"a b"}},
      {"prog a \"", {"a"}},                                // unclosed, empty: ends the list
      {"prog a \"b c", {"a", "b c"}},                      // unclosed, runs to the end
      {"\"C:\\Program Files\\t.exe\" /R", {"/R"}},        // the program's name is skipped
      {"prog /L:\"my list.txt\" /O", {"/L:my list.txt", "/O"}},
      {"prog \xE9t\xE9 \"\xE0 b\"", {"\xE9t\xE9", "\xE0 b"}},
      {"", {}},
      {"prog a\0b", {"a"}},                                // the line ends at NUL
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(SplitCommandLine(c.line), c.expected) << "line: " << c.line;
  }
  EXPECT_EQ(SplitCommandLine(std::string("prog a\0b c", 10)), Args{"a"});
}

// The options and name as one line, for compact expectations.
std::string Describe() {
  const RunOptionsRecord& o = RunOptions;
  std::string d;
  if (o.ShowUsage) d += "usage ";
  if (o.ListMode) d += "list=" + o.ListFileName + " ";
  if (o.Recurse) d += "R ";
  if (o.KeyMode) d += "K ";
  if (o.Force) d += "F ";
  if (o.ProtectedOnly) d += "P ";
  if (o.Silent) d += "S ";
  if (o.WriteReport) d += "report=" + o.ReportFileName + " ";
  return d + "name=" + CurrentName;
}

TEST(ReadArguments, SetsOptionsAndName) {
  const struct {
    Args arguments;
    const char* expected;
  } cases[] = {
      {{}, "usage name="},
      {{"?"}, "usage name="},
      {{"x", "/?", "/L:l.txt"}, "usage list=l.txt name=x"},
      {{"/r", "/k", "/f", "/p", "/s"}, "R K F P S name="},
      {{"/o"}, "report=tavREL.txt name="},
      {{"/O:Out.TXT", "/O"}, "report=tavREL.txt name="},
      {{"/O", "/o:Res.txt"}, "report=Res.txt name="},
      {{"/O:", "/L:"}, "name="},  // three characters: ignored
      {{"/L", "/X", "/", "/ab", "/Output", "-R", "second"}, "name=-R"},
      {{"/L:a", "/l:B.lst", "name"}, "list=B.lst name="},
      {{"name", "/L:a.lst"}, "list=a.lst name=name"},
      {{"/\xE9"}, "name="},  // é upper-cases to É: no option
  };
  for (const auto& c : cases) {
    RunOptions = RunOptionsRecord();
    CurrentName = "stale";
    ReadArguments(c.arguments);
    EXPECT_EQ(Describe(), c.expected);
  }
  RunOptions = RunOptionsRecord();
}

}  // namespace
