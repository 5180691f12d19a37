// Splitting a path into folder and file part.
#include <gtest/gtest.h>

#include <string>

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

}  // namespace
