// Expanding a name's variables; splitting a path into folder and file part.
#include <gtest/gtest.h>

#include <string>

#include "fake_platform.h"
#include "resolve/dispatch_name.h"

namespace {

TEST(FolderPartLength, SplitsAfterTheLastSeparator) {
  const struct {
    const char* name;
    const char* folder;
  } cases[] = {
      {"C:\\Windows\\System32\\*.dll", "C:\\Windows\\System32\\"},
      {"C:\\Windows\\", "C:\\Windows\\"},
      {"C:\\Windows", "C:\\"},
      {"C:", "C:"},
      {"D:setup.exe", "D:"},
      {"notepad.exe", ""},
      {"..\\lib\\*.dll", "..\\lib\\"},
      {"C:/Windows/notepad.exe", "C:"},  // "/" is no separator
      {"a:b\\c:d", "a:b\\c:"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(std::string(c.name).substr(0, FolderPartLength(c.name)), c.folder) << c.name;
  }
}

// An expansion longer than the first buffer is asked for again at the
// size the system needs; one that the system leaves without its NUL is
// none.
TEST(ExpandNameVariables, TakesLongExpansionsAndRefusesUnendedOnes) {
  const std::string big(40000, 'h');
  fake::Reset();
  fake::Sys().expansions = {{"%BIG%", big}, {"%BIG%x", big + big}};
  std::string expanded;
  EXPECT_TRUE(ExpandNameVariables("%BIG%", &expanded));
  EXPECT_EQ(expanded, big);
  EXPECT_TRUE(ExpandNameVariables("%BIG%x", &expanded));
  EXPECT_EQ(expanded, big + big);
  fake::Sys().expansion_without_nul = true;
  EXPECT_FALSE(ExpandNameVariables("a", &expanded));
}

}  // namespace
