// Expanding a name's variables.
#include <gtest/gtest.h>

#include <string>

#include "fake_platform.h"
#include "resolve/dispatch_name.h"

namespace {

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
