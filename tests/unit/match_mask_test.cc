// The program's own wildcard matcher: the results the walk depends on.
// How they sit against ordinary wildcard matching on any input is the
// matcher fuzz target's to check.
#include <gtest/gtest.h>

#include <string>

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
    {"a.b.dll", "*.dll", true},
    {".dll", "*.dll", false},  // the leading star must take a byte
    {"kernel32.dll.mui", "*.dll", false},
    {"notepad.exe", "*.*", true},
    {"a.b.c", "*.*", true},
    {"readme", "*.*", false},
    {".profile", "*.*", false},  // the leading star must take the only "."
    {"readme", "*", true},
    {"", "*", false},  // the star must take a byte
    {"", "", true},
    {"a", "a*", true},
    {"abc", "abc*", true},
    {"abc", "abc**", false},  // a run of stars must take a byte
    {"ab", "a*b", true},
    {"ab", "a**b", false},  // a run of stars must take a byte
    {"axb", "a**b", true},
    {"abc", "*abc", false},  // the leading star must take a byte
    {"xabc", "*abc", true},
    {"abab", "*b", true},
    {"axy", "*x*", true},
    {"xy", "*x*", false},    // the leading star takes the "x"
    {"ax.y", "*x*", false},  // the only "x" is followed by a "."
    {"kernel32.dll", "k*.dll", true},
    {"notepad.exe", "note*.exe", true},
    {"shell32.dll", "shell*.dll", true},
    {"a.b.c.dll", "a.*.dll", true},
    {"ab.txt", "a**.t*", true},  // a run of stars after a literal still stops at the dot
    {"kernel32.dll", "*32.dll", false},   // the "3" is followed by ".dll"
    {"winlogon.exe", "*on.exe", false},   // every "o" is followed by a "."
    {"ab.txt", "*b.txt", false},          // the "b" is followed by ".txt"
    {"notepad.exe", "*pad*", false},      // the "p" is followed by "ad.exe"
    {"a.b.dll", "*.b.dll", false},        // a star before "." stops only at the last "."
    {"a.txt", "?.txt", true},
    {"abc", "a?c", true},
    {"a", "?*", true},
    {"ab", "*?", false},      // "?" after a star
    {"a.b", "*.?", false},    // "?" after a star
    {"a.txt", "*.t?t", false},  // "?" after a star
    {"xab", "*a?", false},    // "?" after a star
    {"xaab", "*ab", true},
    {"xaaab", "*aab", false},  // the restart after a mismatch does not look back
};

TEST(MatchMask, GivesTheListedResults) {
  for (const Row& r : kResults)
    EXPECT_EQ(MatchMask(r.name, r.mask), r.match) << "name \"" << r.name << "\" mask \"" << r.mask << "\"";
}

}  // namespace
