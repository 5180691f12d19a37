// The protection service comes from the system directory only, also on a
// system whose loader does not know LOAD_LIBRARY_SEARCH_SYSTEM32.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/platform.h"
#include "platform/win32_internal.h"

namespace {

std::wstring ModuleFile(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(module, path, MAX_PATH);
  return path;
}

std::wstring Folder(const std::wstring& path) { return path.substr(0, path.rfind(L'\\')); }

// Decoys named sfc.dll (copies of this program, which loads as a library)
// lie beside the program and in the current folder.
TEST(LoadSystemLibrary, TakesTheSystemDirectorysCopyOnly) {
  wchar_t system[MAX_PATH];
  ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
  const std::wstring self = ModuleFile(nullptr);
  const std::wstring beside = Folder(self) + L"\\sfc.dll";
  wchar_t temp[MAX_PATH];
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring current = std::wstring(temp) + L"tavrel-load-test";
  CreateDirectoryW(current.c_str(), nullptr);
  ASSERT_TRUE(CopyFileW(self.c_str(), beside.c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(self.c_str(), (current + L"\\sfc.dll").c_str(), FALSE));
  ASSERT_TRUE(SetCurrentDirectoryW(current.c_str()));

  for (bool flags_known : {false, true}) {
    if (flags_known && !platform::win32::SearchFlagsKnown()) continue;
    const HMODULE module = platform::win32::LoadSystemLibrary(L"sfc.dll", flags_known);
    ASSERT_NE(module, nullptr) << flags_known;
    const std::wstring loaded = ModuleFile(module);
    const std::wstring expected = std::wstring(system) + L"\\sfc.dll";
    EXPECT_EQ(CompareStringOrdinal(loaded.c_str(), -1, expected.c_str(), -1, TRUE), CSTR_EQUAL)
        << flags_known << " loaded " << std::string(loaded.begin(), loaded.end());
    FreeLibrary(module);
  }
  // Once the program has started, a library asked for by its name alone,
  // as the service may ask for its own, comes from there too.
  platform::Initialize();
  const HMODULE plain = LoadLibraryW(L"sfc.dll");
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(CompareStringOrdinal(ModuleFile(plain).c_str(), -1,
                                 (std::wstring(system) + L"\\sfc.dll").c_str(), -1, TRUE),
            CSTR_EQUAL);
  FreeLibrary(plain);
  SetCurrentDirectoryW(temp);
  DeleteFileW(beside.c_str());
  DeleteFileW((current + L"\\sfc.dll").c_str());
  RemoveDirectoryW(current.c_str());
}

// What the loader is asked for: the name with the search flag, or without
// the flags (Windows 7 without KB2533623 refuses them) the full path in the
// system directory, whose folder is searched first for its own imports.
struct LoaderCall {
  std::wstring name;
  DWORD flags;
} asked;

HMODULE WINAPI RecordingLoader(LPCWSTR name, HANDLE, DWORD flags) {
  asked = {name, flags};
  return GetModuleHandleW(nullptr);
}

TEST(LoadSystemLibrary, AsksForTheSystemDirectorysCopy) {
  wchar_t system[MAX_PATH];
  ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
  const struct {
    bool flags_known;
    LoaderCall expected;
  } cases[] = {
      {true, {L"sfc.dll", LOAD_LIBRARY_SEARCH_SYSTEM32}},
      {false, {std::wstring(system) + L"\\sfc.dll", LOAD_WITH_ALTERED_SEARCH_PATH}},
  };
  for (const auto& c : cases) {
    asked = {L"", 0};
    EXPECT_EQ(platform::win32::LoadSystemLibrary(L"sfc.dll", c.flags_known, RecordingLoader),
              GetModuleHandleW(nullptr));
    EXPECT_TRUE(asked.name == c.expected.name && asked.flags == c.expected.flags)
        << c.flags_known << ": flags " << asked.flags;
  }
}

// The search flags are known exactly where the loader takes them.
TEST(SearchFlagsKnown, TellsWhetherTheLoaderTakesTheFlags) {
  const HMODULE module = LoadLibraryExW(L"sfc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  EXPECT_EQ(platform::win32::SearchFlagsKnown(), module != nullptr);
  if (module != nullptr) FreeLibrary(module);
}

}  // namespace
