// Whether a folder is searched for the one name or listed whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/run_options.h"
#include "fake_platform.h"
#include "scan/walk_folder.h"

namespace {

// A device name (blanks before its dot too; COM and LPT with a superscript
// digit) and a pattern that reaches the path limit (a mask counts 3 bytes
// at least) are listed.
TEST(WalkFolder, SearchesForOneNameOnlyWhereTheSystemFindsIt) {
  const std::string long_folder = "C:\\" + std::string(252, 'p');  // 256 bytes with its "\"
  const struct {
    std::string folder, mask;
    bool by_name;
  } cases[] = {
      {"C:\\d", "com\xB9.txt", false}, {"C:\\d", "COM\xB2", false},
      {"C:\\d", "lpt\xB3.dll", false}, {"C:\\d", "com1.dll", false},
      {"C:\\d", "com\xBC.txt", true},  {"C:\\d", "com.txt", true},
      {"C:\\d", "Nul .txt", false},     {"C:\\d", "nuls.txt", true},
      {long_folder, "abc", true},      {long_folder, "abcd", false},
      {long_folder, "a", true},        {long_folder + "q", "a", false},
  };
  for (const auto& c : cases) {
    fake::Reset();
    WalkFolder(c.folder, c.mask);
    EXPECT_EQ(fake::Sys().asked,
              std::vector<std::string>{"find " + c.folder + "\\" + (c.by_name ? c.mask : "*.*")})
        << c.mask;
  }
}

// Only files are checked: not folders, nor a volume label (which a DOS
// search could list).
TEST(WalkFolder, ChecksTheFilesFoundOnly) {
  for (const std::string mask : {"a*", "a.x"}) {
    fake::Reset();
    const std::string pattern = mask == "a*" ? "C:\\d\\*.*" : "C:\\d\\a.x";
    fake::Sys().listings[pattern] = {{0x20, "a.x"}, {0x10, "a.x"}, {0x08, "a.x"}};
    WalkFolder("C:\\d", mask);
    std::vector<std::string> asked;
    for (const std::string& a : fake::Sys().asked) {
      if (a.compare(0, 4, "sfc ") == 0) asked.push_back(a);
    }
    EXPECT_EQ(asked, std::vector<std::string>{"sfc C:\\d\\a.x"}) << mask;
  }
}

}  // namespace
