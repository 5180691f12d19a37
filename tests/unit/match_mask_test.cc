// The program's own wildcard matcher: the results the walk depends on.
// How they sit against ordinary wildcard matching on any input is the
// matcher fuzz target's to check.
#include <gtest/gtest.h>

#include <string>

#include "fake_platform.h"
#include "scan/match_mask.h"

namespace {

struct Row {
  const char* name;
  const char* mask;
  bool match;
};

// Names and masks whose results the walk depends on.  A comment gives the
// reason where ordinary wildcard matching would select the name.
const Row kResults[] = {
    {"kernel32.dll", "*.dll", true},
    {".dll", "*.dll", false},  // the leading star must take a byte
    {"notepad.exe", "*.*", true},
    {"readme", "*.*", false},
    {".profile", "*.*", false},  // the leading star must take the only "."
    {"", "*", false},  // the star must take a byte
    {"", "", true},
    {"a", "a*", true},
    {"abc", "abc**", false},  // a run of stars must take a byte
    {"ab", "a*b", true},
    {"ab", "a**b", false},  // a run of stars must take a byte
    {"axb", "a**b", true},
    {"axy", "*x*", true},
    {"xy", "*x*", false},    // the leading star takes the "x"
    {"ax.y", "*x*", false},  // the only "x" is followed by a "."
    {"kernel32.dll", "k*.dll", true},
    {"a.b.c.dll", "a.*.dll", true},
    {"ab.txt", "a**.t*", true},  // a run of stars after a literal still stops at the dot
    {"kernel32.dll", "*32.dll", false},   // the "3" is followed by ".dll"
    {"notepad.exe", "*pad*", false},      // the "p" is followed by "ad.exe"
    {"a.b.dll", "*.b.dll", false},        // a star before "." stops only at the last "."
    {"a.txt", "?.txt", true},
    {"a", "?*", true},
    {"ab", "*?", false},      // "?" after a star
    {"xaab", "*ab", true},
    {"xaaab", "*aab", false},  // the restart after a mismatch does not look back
};

TEST(MatchMask, GivesTheListedResults) {
  for (const Row& r : kResults)
    EXPECT_EQ(MatchMask(r.name, r.mask), r.match) << "name \"" << r.name << "\" mask \"" << r.mask << "\"";
}

// Code page 932: ヂ is 83 61, its trail byte an "a".
const Row kDoubleByteResults[] = {
    {"\x83\x61.dll", "?.dll", true},    // "?" takes the whole character
    {"\x83\x61.dll", "??.dll", false},
    {"\x83\x61.dll", "?a.dll", false},  // a literal is never compared with a trail byte
    {"x\x83\x61.dll", "*a.dll", false},  // nor does a star stop before one
    {"\x83\x61" "a.dll", "?a.dll", true},
    {"x\x83\x61.dll", "x*.dll", true},
};

TEST(MatchMask, TakesDoubleByteCharactersWhole) {
  fake::Reset();
  fake::Sys().double_byte = true;
  for (const Row& r : kDoubleByteResults)
    EXPECT_EQ(MatchMask(r.name, r.mask), r.match) << "mask \"" << r.mask << "\"";
  fake::Reset();
}

}  // namespace
