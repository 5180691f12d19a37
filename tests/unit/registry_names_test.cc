// Which keys are asked about, and how they are named.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "check/root_table.h"
#include "fake_platform.h"
#include "resolve/registry_names.h"

namespace {

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
