// Every handle the backend opens is closed again: a walk over links opens a
// search and reads an identity in every folder it enters, a long list a key
// for each line.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/platform.h"

namespace {

// The handle the process would be given next.  Wine hands out the lowest
// free slot, Windows the one freed last: either way a handle that an
// operation leaves open takes the slot that this one gets otherwise.
HANDLE NextHandle() {
  const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  CloseHandle(event);
  return event;
}

std::string WindowsFolder() {
  char folder[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
  return std::string(folder, length < MAX_PATH ? length : 0);
}

TEST(Handles, EachOperationClosesWhatItOpens) {
  const std::string windows = WindowsFolder();
  ASSERT_FALSE(windows.empty());
  const struct {
    const char* what;
    void (*run)(const std::string& windows);
  } cases[] = {
      {"a listing", [](const std::string& w) {
         platform::FileSearch search;
         ASSERT_TRUE(search.First((w + "\\*").c_str()));
         ASSERT_TRUE(search.Next());
       }},
      {"a search that finds nothing", [](const std::string& w) {
         platform::FileSearch search;
         ASSERT_FALSE(search.First((w + "\\no such name*").c_str()));
         ASSERT_FALSE(search.Next());
       }},
      {"a search started twice", [](const std::string& w) {
         platform::FileSearch search;
         ASSERT_TRUE(search.First((w + "\\*").c_str()));
         ASSERT_TRUE(search.First((w + "\\system32").c_str()));
       }},
      {"a folder's identity", [](const std::string& w) {
         platform::FolderIdentity identity;
         ASSERT_TRUE(platform::ReadFolderIdentity((w + "\\").c_str(), &identity));
       }},
      {"a registry key", [](const std::string&) {
         platform::RegistryKey key;
         ASSERT_EQ(key.Open(0x80000002u, "Software"), 0);  // HKEY_LOCAL_MACHINE
       }},
      {"a file", [](const std::string& w) {
         platform::File file = platform::File::Open(w + "\\win.ini", platform::File::Access::kRead);
         ASSERT_TRUE(file.IsOpen());
       }},
  };
  for (const auto& c : cases) {
    const HANDLE before = NextHandle();
    for (int i = 0; i < 3; ++i) c.run(windows);
    EXPECT_EQ(NextHandle(), before) << c.what;
  }
}

}  // namespace
