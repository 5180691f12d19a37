// Which names are registry keys, and how they are split and named.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "check/root_table.h"
#include "cli/run_options.h"
#include "fake_platform.h"
#include "resolve/registry_names.h"

namespace {

struct ClassifyCase {
  const char* name;
  bool key_mode;
  bool is_key;
  std::uint32_t root;
  const char* after;  // the subkey path, or the trimmed name when no key
};

TEST(ClassifyName, RecognisesRootsInEveryForm) {
  const ClassifyCase cases[] = {
      {"hklm\\software\\microsoft\\speech\\ux", false, true, 0x80000002,
       "software\\microsoft\\speech\\ux"},
      {"HKEY_CURRENT_USER\\Software\\", false, true, 0x80000001, "Software"},
      {"HKU", false, true, 0x80000003, ""},
      {"hku\\\\\\", false, true, 0x80000003, ""},
      {"HKLM\\\\Software", false, true, 0x80000002, "\\Software"},
      {"hkcr\\x", false, true, 0x80000000, "x"},
      {"HkCc", false, true, 0x80000005, ""},
      {"hkey_classes_root\\.txt", false, true, 0x80000000, ".txt"},
      {"c:\\windows\\system32\\", false, false, 0, "c:\\windows\\system32\\"},
      {"winlogon.exe", false, false, 0, "winlogon.exe"},
      {"HKLM/Software", false, false, 0, "HKLM/Software"},
      {"HKEY", false, false, 0, "HKEY"},
      {"HKEY_", false, false, 0, "HKEY_"},
      {"HKEY_PERFORMANCE_DATA", false, false, 0, "HKEY_PERFORMANCE_DATA"},
      {"\\windows\\system32\\winlogon.exe", false, true, 0x80000004,
       "windows\\system32\\winlogon.exe"},
      {"\\\\server\\share\\f", false, true, 0x80000004, "\\server\\share\\f"},
      {"HK\\x", false, true, 0x80000004, "x"},
      {"hk", false, true, 0x80000004, ""},
      {"", false, true, 0x80000004, ""},
      {" \t\r\n", false, true, 0x80000004, ""},
      {"  hklm\\a b \x01", false, true, 0x80000002, "a b"},
      {"  c:\\a b  ", false, false, 0, "c:\\a b"},
      {"c:\\windows\\system32\\", true, true, 0x7FFFFFFF, "windows\\system32"},
      {"name", true, true, 0x7FFFFFFF, ""},
      {"hklm\\x", true, true, 0x80000002, "x"},
  };
  for (const ClassifyCase& c : cases) {
    RunOptions = RunOptionsRecord();
    RunOptions.KeyMode = c.key_mode;
    std::string name = c.name;
    std::uint32_t root = 0;
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ClassifyName(name, root), c.is_key);
    if (c.is_key) {
      EXPECT_EQ(root, c.root);
    }
    EXPECT_EQ(name, c.after);
  }
  RunOptions = RunOptionsRecord();
}

TEST(RootNames, AbbreviationsAndLookups) {
  const char* const abbreviations[] = {"HKCR", "HKCU", "HKLM", "HKU", "HK", "HKCC", "HK"};
  for (std::size_t i = 0; i < kRootCount; ++i)
    EXPECT_EQ(RootAbbreviation(RootTable[i]), abbreviations[i]);
  EXPECT_EQ(ExpandRootAbbreviation("hkcu"), "HKEY_CURRENT_USER");
  EXPECT_EQ(ExpandRootAbbreviation("Hk"), "");  // slot 4 comes first
  EXPECT_EQ(ExpandRootAbbreviation("Other"), "Other");
  EXPECT_EQ(ExpandRootAbbreviation(""), "");
  EXPECT_EQ(FindRootIndex("hkey_users"), 3);
  EXPECT_EQ(FindRootIndex(""), 4);
  EXPECT_EQ(FindRootIndex("HKEY_DYN_DATA"), -1);
  EXPECT_EQ(StripTrailingChar('\\', "a\\b\\\\"), "a\\b");
  EXPECT_EQ(StripTrailingChar('\\', "\\\\"), "");
}

// The performance-data slots are answered without the system; every other
// root is asked.
TEST(KeyExists, AsksTheRegistryExceptForSlotsFourAndSix) {
  const struct {
    std::uint32_t root;
    const char* subkey;
    bool exists;
    bool asked;
  } cases[] = {
      {0x80000002, "Software\\x", true, true},
      {0x80000002, "Software\\y", false, true},
      {0x80000001, "", true, true},
      {0x7FFFFFFF, "x", false, true},
      {0x80000004, "", true, false},
      {0x80000004, "x", false, false},
      {0x80000006, "", true, false},
      {0x80000006, "x", false, false},
  };
  for (const auto& c : cases) {
    fake::Reset();
    fake::Sys().keys = {"80000002\\Software\\x", "80000001\\", "80000004\\x"};
    SCOPED_TRACE(c.subkey);
    EXPECT_EQ(KeyExists(c.root, c.subkey), c.exists) << std::hex << c.root;
    EXPECT_EQ(fake::Sys().asked.size(), c.asked ? 1u : 0u) << std::hex << c.root;
  }
}

TEST(KeyDisplayName, UsesTheFullUpperCaseRoot) {
  EXPECT_EQ(KeyDisplayName(0x80000002, "software\\x"), "HKEY_LOCAL_MACHINE\\software\\x");
  EXPECT_EQ(KeyDisplayName(0x80000001, ""), "HKEY_CURRENT_USER");
  EXPECT_EQ(KeyDisplayName(0x80000004, "windows\\a.exe"), "\\windows\\a.exe");
  EXPECT_EQ(KeyDisplayName(0x80000004, ""), "");
  EXPECT_EQ(KeyDisplayName(0x7FFFFFFF, "a"), "\\a");  // no root of its own
  EXPECT_EQ(KeyDisplayName(0x80000007, "a"), "\\a");
}

}  // namespace
