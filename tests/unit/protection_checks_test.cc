// What the checks ask the service, the line each writes and its colour;
// the colour the run leaves the console in.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/run_driver.h"
#include "check/protection_checks.h"
#include "cli/run_options.h"
#include "fake_platform.h"
#include "output/console_output.h"
#include "output/report_file.h"
#include "platform/platform.h"

namespace {

using Log = std::vector<std::string>;

std::string Line(const std::string& name, bool is_protected) {
  // The fake's OEM words show "\xE9" as "E".
  return name + (is_protected ? " : protEgE" : " : non protEgE") + " par SFC\r\n";
}

template <typename Check>
void RunCheck(Check check, bool silent = false) {
  RunOptions.Silent = silent;
  OpenConsoleOutput();
  check();
  CloseConsoleOutput();
}

// The service is asked about the long form of the full path; the line
// keeps the name as written, in red when protected, green when not, and
// /S shows nothing.  A bare drive is its root; without a long form the
// full path goes, without a full path the name as written.
TEST(CheckFileProtection, AsksAboutTheLongFullPathAndShowsTheNameAsWritten) {
  const struct {
    const char* name;
    bool silent;
    Log asked;
    bool is_protected;
  } cases[] = {
      {"..\\notepad.exe", false, {"long C:\\Windows\\notepad.exe", "sfc C:\\Windows\\notepad.exe"}, true},
      {"PROGRA~1\\x.dll", false, {"long C:\\PROGRA~1\\x.dll", "sfc C:\\Program Files\\x.dll"}, true},
      {"Z:", false, {"long Z:\\", "sfc Z:\\"}, true},
      {"z:", false, {"long z:\\", "sfc z:\\"}, true},
      {"1:", false, {"sfc 1:"}, false},  // no drive letter: no root of a drive
      {"other.dll", false, {"sfc other.dll"}, false},
      {"unresolved", true, {"sfc unresolved"}, true},
      {"other.dll", true, {"sfc other.dll"}, false},
  };
  for (const auto& c : cases) {
    fake::Reset();
    fake::Sys().full_paths = {{"..\\notepad.exe", "C:\\Windows\\notepad.exe"},
                              {"PROGRA~1\\x.dll", "C:\\PROGRA~1\\x.dll"},
                              {"Z:\\", "Z:\\"}, {"z:\\", "z:\\"}, {"1:\\", "1:\\"}};
    fake::Sys().long_paths = {{"C:\\PROGRA~1\\x.dll", "C:\\Program Files\\x.dll"}};
    fake::Sys().protected_items = {"C:\\Windows\\notepad.exe", "C:\\Program Files\\x.dll",
                                   "Z:\\", "z:\\", "unresolved"};
    RunCheck([&] { CheckFileProtection(c.name); }, c.silent);
    SCOPED_TRACE(c.name);
    EXPECT_EQ(fake::Sys().asked, c.asked);
    EXPECT_EQ(fake::Sys().colours, c.silent ? Log{} : Log{c.is_protected ? "0C" : "0A"});
    EXPECT_EQ(fake::Sys().output, c.silent ? "" : Line(c.name, c.is_protected));
  }
}

// The console gets back the colour it had, also after /S (which sets none)
// and when nothing is checked.  Once the command line is read, an
// interruption is handled; at the end the run keeps the output lock, so that
// a late one writes nothing twice.  A key's name is trimmed.
TEST(RunProgram, RestoresTheConsoleColour) {
  const struct {
    const char* line;
    int console;  // the console's colours; -1: no console
    Log asked, colours;
  } cases[] = {
      {"tavrel /F C:\\p\\", 0x1F, {"sfc C:\\p"}, {"0C", "1F", "1F"}},
      {"tavrel /F /S C:\\p\\", 0x1F, {"sfc C:\\p"}, {}},
      {"tavrel C:\\q\\", 0x07, {}, {"07", "07"}},  // no such folder, no /F
      {"tavrel /F \" HKLM\\x\"", 0x07, {"sfc 80000002\\x"}, {"0A", "07", "07"}},
      {"tavrel /F C:\\p\\", -1, {"sfc C:\\p"}, {}},
      {"tavrel /F C:\\p\\ C:\\q\\", 0x1F, {"sfc C:\\p"}, {"0C", "1F", "1F"}},  // the first name
  };
  for (const auto& c : cases) {
    fake::Reset();
    fake::Sys().command_line = c.line;
    fake::Sys().console_attributes = c.console;
    fake::Sys().protected_items = {"C:\\p"};
    RunProgram();
    SCOPED_TRACE(c.line);
    EXPECT_EQ(fake::Sys().asked, c.asked);
    if (c.console >= 0) {  // else there is nowhere to show a colour
      EXPECT_EQ(fake::Sys().colours, c.colours);
    }
    EXPECT_EQ(fake::Sys().interrupt, &WriteOutOnInterrupt);
    EXPECT_EQ(fake::Sys().lock_depth, 1);
  }
  // A failure outside the run body (here, reading the command line) has no
  // message, and no success either.
  fake::Reset();
  fake::Sys().command_line.clear();
  EXPECT_EQ(RunProgram(), 1);
  EXPECT_EQ(fake::Sys().output, "");
}

// Redirected output goes out 64 KB at a time, a console line by line; an
// interruption (on its own thread, under the output lock, in the seam)
// writes out what standard output and the report hold, each line once, and
// gives the console its colour back, unless /S.
TEST(WriteOutOnInterrupt, WritesOutWhatTheSinksHold) {
  const struct {
    bool console, silent, report;
    int items;
  } cases[] = {
      {false, false, true, 3}, {false, false, false, 3000}, {true, false, true, 3000},
      {false, true, true, 3000}, {true, true, false, 1},
  };
  for (const auto& c : cases) {
    fake::Reset();
    fake::Sys().console = c.console;
    fake::Sys().protected_items = {"C:\\a"};
    RunOptions.Silent = c.silent;
    RunOptions.WriteReport = c.report;
    SavedAttributes = 0x1F;
    OpenConsoleOutput();
    if (c.report) StartReportFile(platform::File::Open("r", platform::File::Access::kCreate), false);
    for (int i = 0; i < c.items; ++i) CheckFileProtection("C:\\a");
    // A console shows the words from Windows-1252.
    const std::string line = c.console ? "C:\\a : prot\xE9g\xE9 par SFC\r\n" : Line("C:\\a", true);
    std::string shown;
    for (int i = 0; i < c.items; ++i) shown += line;
    SCOPED_TRACE(std::to_string(c.items) + (c.console ? " console" : " redirected"));
    const std::size_t piece = (65536 + line.size() - 1) / line.size() * line.size();
    EXPECT_EQ(fake::Sys().output, c.silent || (!c.console && shown.size() < piece)
                                      ? ""
                                      : c.console ? shown : shown.substr(0, piece));
    // The report goes out 64 KB at a time too.
    const std::string report_line = "C:\\a : protege par SFC\r\n";
    std::string report;
    for (int i = 0; c.report && i < c.items; ++i) report += report_line;
    const std::size_t report_piece =
        (65536 + report_line.size() - 1) / report_line.size() * report_line.size();
    EXPECT_EQ(fake::Sys().report, report.substr(0, report.size() < report_piece ? 0 : report_piece));
    WriteOutOnInterrupt();
    EXPECT_EQ(fake::Sys().output, c.silent ? "" : shown);
    EXPECT_EQ(fake::Sys().report, report);
    EXPECT_EQ(fake::Sys().colours.empty() ? "" : fake::Sys().colours.back(), c.silent ? "" : "1F");
    EXPECT_EQ(fake::Sys().lock_depth, 0);
  }
}

// A listed file's name is long already: only its folder's long form is
// asked for, once for the files of a folder in a row.  A long form that
// would reach the path limit (260 bytes) is not used.
TEST(CheckFileProtection, AsksForTheLongFormOfEachListedFolderOnce) {
  const std::string far = "C:\\" + std::string(250, 'x') + "\\";
  fake::Reset();
  fake::Sys().full_paths = {{"LONG~1\\a.dll", "C:\\LONG~1\\a.dll"},
                            {"LONG~1\\b.dll", "C:\\LONG~1\\b.dll"},
                            {"LONG~2\\e.dll.", "C:\\LONG~2\\e.dll"},
                            {"LONG~1\\SUB\\c.dll", "C:\\LONG~1\\SUB\\c.dll"},
                            {"FAR~1\\d.dll", "C:\\FAR~1\\d.dll"},
                            {"FAR~1\\dd.dll", "C:\\FAR~1\\dd.dll"},
                            {"FAR~1\\S~1\\e.dll", "C:\\FAR~1\\S~1\\e.dll"}};
  fake::Sys().long_paths = {{"C:\\LONG~1\\", "C:\\Long One\\"},
                            {"C:\\LONG~2\\", "C:\\Long Two\\"},
                            {"C:\\FAR~1\\S~1\\", "C:\\FAR~1\\Short\\"},
                            {"C:\\FAR~1\\", far}};
  fake::Sys().protected_items = {"C:\\Long One\\b.dll", far + "d.dll", "C:\\FAR~1\\dd.dll"};
  // Within a walk a subfolder's long form is its parent's and its listed
  // name; a new walk asks again.
  RunCheck([] {
    StartWalkOfListedFolders();
    CheckFileProtection("LONG~1\\", "a.dll");
    CheckFileProtection("LONG~1\\", "b.dll");
    CheckFileProtection("LONG~1\\SUB\\", "c.dll");
    CheckFileProtection("LONG~2\\", "e.dll.");  // the full path drops the dot
    CheckFileProtection("FAR~1\\", "d.dll");
    CheckFileProtection("FAR~1\\", "dd.dll");
    StartWalkOfListedFolders();
    CheckFileProtection("FAR~1\\S~1\\", "e.dll");
  });
  EXPECT_EQ(fake::Sys().asked,
            (std::vector<std::string>{"long C:\\LONG~1\\", "sfc C:\\Long One\\a.dll",
                                      "sfc C:\\Long One\\b.dll", "sfc C:\\Long One\\SUB\\c.dll",
                                      "long C:\\LONG~2\\", "sfc C:\\Long Two\\e.dll",
                                      "long C:\\FAR~1\\", "sfc " + far + "d.dll",
                                      "sfc C:\\FAR~1\\dd.dll", "long C:\\FAR~1\\S~1\\",
                                      "sfc C:\\FAR~1\\Short\\e.dll"}));
  EXPECT_EQ(fake::Sys().output, Line("LONG~1\\a.dll", false) + Line("LONG~1\\b.dll", true) +
                                    Line("LONG~1\\SUB\\c.dll", false) +
                                    Line("LONG~2\\e.dll.", false) + Line("FAR~1\\d.dll", true) +
                                    Line("FAR~1\\dd.dll", true) +
                                    Line("FAR~1\\S~1\\e.dll", false));
}

// The service takes a predefined root, and null for the root itself; the
// slots without a name and a name that named no root are not asked about.
// HKEY_CURRENT_CONFIG is asked about under its HKLM path, and named as is.
#define CURRENT "System\\CurrentControlSet\\Hardware Profiles\\Current"
TEST(CheckKeyProtection, AsksAboutPredefinedRootsOnly) {
  const struct {
    std::uint32_t root;
    const char* subkey;
    const char* asked;  // null: the service is not asked
    const char* line;
  } cases[] = {
      {0x80000002, "Software\\x", "sfc 80000002\\Software\\x", "HKEY_LOCAL_MACHINE\\Software\\x"},
      {0x80000001, "", "sfc 80000001", "HKEY_CURRENT_USER"},
      {0x80000005, "", "sfc 80000002\\" CURRENT, "HKEY_CURRENT_CONFIG"},
      {0x80000005, "Software\\x", "sfc 80000002\\" CURRENT "\\Software\\x",
       "HKEY_CURRENT_CONFIG\\Software\\x"},
      {0x80000004, "", nullptr, ""},
      {0x80000004, "x", nullptr, "\\x"},
      {0x80000006, "", nullptr, ""},
      {0x7FFFFFFF, "x", nullptr, "\\x"},
      {0x80000007, "x", nullptr, "\\x"},  // one past the table
  };
  for (const auto& c : cases) {
    fake::Reset();
    fake::Sys().protected_items = {"80000002\\Software\\x", "80000004", "80000004\\x",
                                   "80000006", "7FFFFFFF\\x",
                                   "80000002\\" CURRENT "\\Software\\x"};
    RunCheck([&] { CheckKeyProtection(c.root, c.subkey); });
    SCOPED_TRACE(c.line);
    EXPECT_EQ(fake::Sys().asked,
              c.asked ? std::vector<std::string>{c.asked} : std::vector<std::string>{});
    EXPECT_EQ(fake::Sys().output,
              Line(c.line, c.asked != nullptr && fake::Sys().protected_items.count(c.asked + 4)));
  }
}

}  // namespace
