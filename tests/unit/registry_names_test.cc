// Which keys the registry is asked about.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

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

// The letter after each underscore, the last one's too.
TEST(RootAbbreviation, TakesTheLetterAfterEachUnderscore) {
  EXPECT_EQ(RootAbbreviation("HKEY_LOCAL_MACHINE"), "HKLM");
  EXPECT_EQ(RootAbbreviation("HKEY_X"), "HKX");
  EXPECT_EQ(RootAbbreviation("HKEY_A_B"), "HKAB");
  EXPECT_EQ(RootAbbreviation("HKEY_"), "HK");
}

}  // namespace
