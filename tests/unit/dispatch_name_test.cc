// Expanding a name's variables; a trail byte 0x5C in splits and strips.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "cli/run_options.h"
#include "fake_platform.h"
#include "output/ansi_text.h"
#include "resolve/dispatch_name.h"
#include "resolve/registry_names.h"

namespace {

// An expansion longer than the first buffer is asked for again at the
// size the system needs; one that the system leaves without its NUL, or
// that fails, is none; a count short of the NUL is no cut.
TEST(ExpandNameVariables, TakesLongExpansionsAndRefusesUnendedOnes) {
  const std::string big(40000, 'h');
  fake::Reset();
  fake::Sys().expansions = {{"%BIG%", big}, {"%BIG%x", big + big}};
  std::string expanded;
  EXPECT_TRUE(ExpandNameVariables("%BIG%", &expanded));
  EXPECT_EQ(expanded, big);
  EXPECT_TRUE(ExpandNameVariables("%BIG%x", &expanded));
  EXPECT_EQ(expanded, big + big);
  fake::Sys().expansion_count = 2;  // a double-byte character counted once: no cut
  EXPECT_TRUE(ExpandNameVariables("\x95\\", &expanded));
  EXPECT_EQ(expanded, "\x95\\");
  fake::Sys().expansion_count = 0;  // the system failed
  EXPECT_FALSE(ExpandNameVariables("a", &expanded));
  fake::Sys().expansion_without_nul = true;
  EXPECT_FALSE(ExpandNameVariables("a", &expanded));
}

// On a double-byte code page a trail byte 0x5C belongs to its character
// (0x95 0x5C is one character in code page 932): no split, strip or key
// root ends there.  On a single-byte code page the same bytes are two.
TEST(DoubleByteNames, ATrailByteIsNoSeparator) {
  const struct {
    const char* name;
    bool double_byte;
    const char* stripped;  // by StripTrailingBackslashes
    const char* folder;    // the folder part
    const char* subkey;    // the subkey path under /K
  } cases[] = {
      {"C:\\\x95\\\\", true, "C:\\\x95\\", "C:\\\x95\\\\", "\x95\\"},
      {"C:\\\x95\\\\", false, "C:\\\x95", "C:\\\x95\\\\", "\x95"},
      {"\x95\\\\x", true, "\x95\\\\x", "\x95\\\\", "x"},
      {"\x95\\\\x", false, "\x95\\\\x", "\x95\\\\", "\\x"},
      {"\x95\\x", true, "\x95\\x", "", ""},
      {"\x95\\", true, "\x95\\", "", ""},
      {"a\\\x95", true, "a\\\x95", "a\\", "\x95"},  // a lead byte alone at the end
      {"\\\\", true, "", "\\\\", ""},
  };
  for (const auto& c : cases) {
    fake::Reset();
    fake::Sys().double_byte = c.double_byte;
    RunOptions.KeyMode = true;
    const std::string name = c.name;
    SCOPED_TRACE(name + (c.double_byte ? " (double-byte)" : " (single-byte)"));
    EXPECT_EQ(StripTrailingBackslashes(name), c.stripped);
    EXPECT_EQ(name.substr(0, FolderPartLength(name)), c.folder);
    std::string key = name;
    std::uint32_t root = 0;
    EXPECT_TRUE(ClassifyName(key, root));
    EXPECT_EQ(key, c.subkey);
  }
  fake::Reset();  // no lead bytes for the tests that do not reset the fake
}

}  // namespace
