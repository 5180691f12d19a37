// What the file check asks the service, the line it writes and its colour;
// the colour the run leaves the console in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/run_driver.h"
#include "check/protection_checks.h"
#include "cli/run_options.h"
#include "fake_platform.h"
#include "output/console_output.h"

namespace {

using Log = std::vector<std::string>;

// The service is asked about the full path; the line keeps the name as
// written, in red when protected, green when not, and /S shows nothing.
// A bare drive is its root; without a full path the name goes as it is.
TEST(CheckFileProtection, AsksAboutTheFullPathAndShowsTheNameAsWritten) {
  const struct {
    const char* name;
    bool silent;
    Log asked;
    const char* line;
  } cases[] = {
      {"..\\notepad.exe", false, {"sfc C:\\Windows\\notepad.exe", "colour 0C"}, " : prot\xE9g\xE9"},
      {"system32\\x.dll", false, {"sfc C:\\Windows\\system32\\x.dll", "colour 0A"},
       " : non prot\xE9g\xE9"},
      {"C:", false, {"sfc C:\\", "colour 0C"}, " : prot\xE9g\xE9"},
      {"unresolved", true, {"sfc unresolved"}, nullptr},
      {"system32\\x.dll", true, {"sfc C:\\Windows\\system32\\x.dll"}, nullptr},
  };
  for (const auto& c : cases) {
    fake::Reset();
    fake::Sys().full_paths = {{"..\\notepad.exe", "C:\\Windows\\notepad.exe"},
                              {"system32\\x.dll", "C:\\Windows\\system32\\x.dll"},
                              {"C:\\", "C:\\"}};
    fake::Sys().protected_items = {"C:\\Windows\\notepad.exe", "C:\\", "unresolved"};
    RunOptions = RunOptionsRecord();
    RunOptions.Silent = c.silent;
    OpenConsoleOutput();
    CheckFileProtection(c.name);
    CloseConsoleOutput();
    EXPECT_EQ(fake::Sys().asked, c.asked) << c.name;
    EXPECT_EQ(fake::Sys().output,
              c.line ? std::string(c.name) + c.line + " par SFC\r\n" : std::string());
  }
}

// The console gets back the colour it had, also after /S (which sets none)
// and when nothing is checked.  A key's name is trimmed.
TEST(RunProgram, RestoresTheConsoleColour) {
  const struct {
    const char* line;
    Log asked;
  } cases[] = {
      {"tavrel /F C:\\p\\", {"sfc C:\\p", "colour 0C", "colour 07", "colour 07"}},
      {"tavrel /F /S C:\\p\\", {"sfc C:\\p"}},
      {"tavrel C:\\q\\", {"colour 07", "colour 07"}},  // no such folder, no /F
      {"tavrel /F \" HK\\x\"", {"sfc 80000004\\x", "colour 0A", "colour 07", "colour 07"}},
  };
  for (const auto& c : cases) {
    fake::Reset();
    fake::Sys().command_line = c.line;
    fake::Sys().protected_items = {"C:\\p"};
    RunOptions = RunOptionsRecord();
    RunProgram();
    EXPECT_EQ(fake::Sys().asked, c.asked) << c.line;
  }
}

}  // namespace
