// A current folder longer than the path limit, which Windows allows where
// long paths are enabled and Wine always, is read whole: the first answer
// is the size it needs.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/platform.h"

namespace {

TEST(CurrentDirectory, ReadsAFolderPastThePathLimit) {
  wchar_t temp[MAX_PATH];
  const DWORD temp_length = GetTempPathW(MAX_PATH, temp);
  ASSERT_GT(temp_length, 0u);
  std::wstring folder(temp, temp_length);
  if (folder.back() == L'\\') folder.pop_back();
  for (wchar_t c : folder) ASSERT_LT(c, 0x80) << "the temporary folder is named in ASCII here";
  wchar_t saved[MAX_PATH];
  ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, saved), 0u);
  std::wstring created[3];
  for (std::wstring& level : created) {
    folder += L"\\" + std::wstring(100, L'd');
    CreateDirectoryW(folder.c_str(), nullptr);
    level = folder;
  }
  ASSERT_GT(folder.size(), static_cast<std::size_t>(MAX_PATH));
  if (!SetCurrentDirectoryW(folder.c_str())) GTEST_SKIP() << "long paths are not enabled";
  const std::string current = platform::CurrentDirectory();
  SetCurrentDirectoryW(saved);
  for (int i = 2; i >= 0; --i) RemoveDirectoryW(created[i].c_str());
  std::string expected;  // ASCII
  for (wchar_t c : folder) expected += static_cast<char>(c);
  EXPECT_EQ(current, expected);
}

}  // namespace
