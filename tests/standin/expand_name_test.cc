// Expanding variables in a name, with the stand-in's environment.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

#include "resolve/dispatch_name.h"

namespace {

std::string Expand(const std::string& text) {
  std::string expanded = "unchanged";
  return ExpandNameVariables(text, &expanded) ? expanded : "(refused)";
}

TEST(ExpandNameVariables, ExpandsOrRefusesButNeverCuts) {
  setenv("TAVREL_TEST_DIR", "Z:\\data", 1);
  EXPECT_EQ(Expand("%tavrel_test_dir%\\*.dll"), "Z:\\data\\*.dll");
  EXPECT_EQ(Expand("%TAVREL_UNDEFINED_X%\\a"), "%TAVREL_UNDEFINED_X%\\a");
  EXPECT_EQ(Expand("100%"), "100%");
  EXPECT_EQ(Expand(""), "");
  // The system holds at most 32,766 characters: one more is refused whole.
  setenv("TAVREL_TEST_LONG", std::string(32766, 'v').c_str(), 1);
  EXPECT_EQ(Expand("%TAVREL_TEST_LONG%"), std::string(32766, 'v'));
  EXPECT_EQ(Expand("x%TAVREL_TEST_LONG%"), "(refused)");
  setenv("TAVREL_TEST_LONG", std::string(40000, 'v').c_str(), 1);
  EXPECT_EQ(Expand("%TAVREL_TEST_LONG%\\x"), "(refused)");
  // Nor does it take a longer text to expand.
  EXPECT_EQ(Expand(std::string(32767, 'a')), "(refused)");
}

}  // namespace
