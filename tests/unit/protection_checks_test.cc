// What the file check asks the service, and the line it writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/protection_checks.h"
#include "cli/run_options.h"
#include "fake_platform.h"
#include "output/console_output.h"

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
                                      (c.is_protected ? " : prot\xE9g\xE9" : " : non prot\xE9g\xE9") +
                                      " par SFC\r\n");
  }
}

}  // namespace
