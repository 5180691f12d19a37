// What the file check asks the service, and the line it writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/protection_checks.h"
#include "cli/run_options.h"
#include "fake_platform.h"
#include "output/console_output.h"
#include "output/report_file.h"
#include "platform/platform.h"

namespace {

// The service is asked about the full path; the line keeps the name as
// written.  A bare drive is its root; without a full path the name goes
// as it is.
TEST(CheckFileProtection, AsksAboutTheFullPathAndShowsTheNameAsWritten) {
  const struct {
    const char* name;
    const char* asked;
    bool is_protected;
  } cases[] = {
      {"..\\notepad.exe", "C:\\Windows\\notepad.exe", true},
      {"system32\\x.dll", "C:\\Windows\\system32\\x.dll", false},
      {"C:", "C:\\", true},
      {"unresolved", "unresolved", true},
  };
  for (const auto& c : cases) {
    fake::Reset();
    fake::Sys().full_paths = {{"..\\notepad.exe", "C:\\Windows\\notepad.exe"},
                              {"system32\\x.dll", "C:\\Windows\\system32\\x.dll"},
                              {"C:\\", "C:\\"}};
    fake::Sys().protected_items = {"C:\\Windows\\notepad.exe", "C:\\", "unresolved"};
    RunOptions = RunOptionsRecord();
    OpenConsoleOutput();
    CheckFileProtection(c.name);
    CloseConsoleOutput();
    EXPECT_EQ(fake::Sys().asked, std::vector<std::string>{std::string("sfc ") + c.asked});
    EXPECT_EQ(fake::Sys().output, std::string(c.name) +
                                      (c.is_protected ? " : protEgE" : " : non protEgE") +
                                      " par SFC\r\n");
  }
}

// The program's words are Windows-1252: the report takes them in the ANSI
// code page, redirected output in the OEM one, a console as they are.  A
// name keeps its bytes in the report and goes to standard output through
// ToConsoleText.
TEST(CheckFileProtection, EachSinkTakesTheWordsInItsOwnCodePage) {
  const struct {
    bool console;
    bool is_protected;
    const char* output;
    const char* report;
  } cases[] = {
      {false, true, "\x82t\x82 : protEgE par SFC\r\n", "\xE9t\xE9 : protege par SFC\r\n"},
      {false, false, "\x82t\x82 : non protEgE par SFC\r\n", "\xE9t\xE9 : non protege par SFC\r\n"},
      {true, true, "\x82t\x82 : prot\xE9g\xE9 par SFC\r\n", "\xE9t\xE9 : protege par SFC\r\n"},
  };
  for (const auto& c : cases) {
    fake::Reset();
    fake::Sys().console = c.console;
    if (c.is_protected) fake::Sys().protected_items = {"\xE9t\xE9"};
    RunOptions = RunOptionsRecord();
    RunOptions.WriteReport = true;
    OpenConsoleOutput();
    StartReportFile(platform::File::Open("r", platform::File::Access::kCreate), false);
    CheckFileProtection("\xE9t\xE9");
    CloseReportFile();
    CloseConsoleOutput();
    EXPECT_EQ(fake::Sys().output, c.output) << c.console;
    EXPECT_EQ(fake::Sys().report, c.report) << c.console;
  }
  RunOptions = RunOptionsRecord();
}

}  // namespace
