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

struct ParseCase {
  Args arguments;
  RunOptionsRecord expected;
  const char* name;
};

RunOptionsRecord Options(void (*set)(RunOptionsRecord&)) {
  RunOptionsRecord o;
  set(o);
  return o;
}

void ExpectSame(const RunOptionsRecord& a, const RunOptionsRecord& b) {
  EXPECT_EQ(a.ListMode, b.ListMode);
  EXPECT_EQ(a.ListFileName, b.ListFileName);
  EXPECT_EQ(a.Recurse, b.Recurse);
  EXPECT_EQ(a.KeyMode, b.KeyMode);
  EXPECT_EQ(a.Force, b.Force);
  EXPECT_EQ(a.ProtectedOnly, b.ProtectedOnly);
  EXPECT_EQ(a.Silent, b.Silent);
  EXPECT_EQ(a.WriteReport, b.WriteReport);
  EXPECT_EQ(a.ReportFileName, b.ReportFileName);
  EXPECT_EQ(a.ShowUsage, b.ShowUsage);
}

TEST(ReadArguments, SetsOptionsAndName) {
  const ParseCase cases[] = {
      {{}, Options([](RunOptionsRecord& o) { o.ShowUsage = true; }), ""},
      {{"?"}, Options([](RunOptionsRecord& o) { o.ShowUsage = true; }), ""},
      {{"x", "/?", "/L:l.txt"},
       Options([](RunOptionsRecord& o) {
         o.ShowUsage = true;
         o.ListMode = true;
         o.ListFileName = "l.txt";
       }),
       "x"},
      {{"/r", "/k", "/f", "/p", "/s"},
       Options([](RunOptionsRecord& o) {
         o.Recurse = o.KeyMode = o.Force = o.ProtectedOnly = o.Silent = true;
       }),
       ""},
      {{"/o"}, Options([](RunOptionsRecord& o) {
         o.WriteReport = true;
         o.ReportFileName = "tavREL.txt";
       }), ""},
      {{"/O:Out.TXT", "/O"}, Options([](RunOptionsRecord& o) {
         o.WriteReport = true;
         o.ReportFileName = "tavREL.txt";
       }), ""},
      {{"/O", "/o:Res.txt"}, Options([](RunOptionsRecord& o) {
         o.WriteReport = true;
         o.ReportFileName = "Res.txt";
       }), ""},
      {{"/O:", "/L:"}, RunOptionsRecord(), ""},                 // 3 characters: ignored
      {{"/L", "/X", "/", "/ab", "/Output", "-R", "second"}, RunOptionsRecord(), "-R"},
      {{"/L:a", "/l:B.lst", "name"}, Options([](RunOptionsRecord& o) {
         o.ListMode = true;
         o.ListFileName = "B.lst";
       }), ""},
      {{"name", "/L:a.lst"}, Options([](RunOptionsRecord& o) {
         o.ListMode = true;
         o.ListFileName = "a.lst";
       }), "name"},
      {{"/\xE9"}, RunOptionsRecord(), ""},                       // é upper-cases to É: no option
      {{"/R"}, Options([](RunOptionsRecord& o) { o.Recurse = true; }), ""},
  };
  for (const ParseCase& c : cases) {
    RunOptions = RunOptionsRecord();
    CurrentName = "stale";
    ReadArguments(c.arguments);
    SCOPED_TRACE(c.arguments.empty() ? std::string("(none)") : c.arguments[0]);
    ExpectSame(RunOptions, c.expected);
    EXPECT_EQ(CurrentName, c.name);
  }
  RunOptions = RunOptionsRecord();
}

}  // namespace
