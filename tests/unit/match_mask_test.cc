// The program's own wildcard matcher: the results the walk depends on.
// How they sit against ordinary wildcard matching on any input is the
// matcher fuzz target's to check.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <string_view>

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

// Bytes compared as they are: no case folding, no character boundaries,
// no sign trouble above 0x7F.
const Row kBytes[] = {
    {"KERNEL32.DLL", "*.dll", false},
    {"kernel32.dll", "*.DLL", false},
    {"A", "a", false},
    {"\xC9t\xC9", "\xE9t\xE9", false},  // É is not é here; the walk folds
    {"\xE9t\xE9.txt", "*.txt", true},
    // Shift-JIS: three double-byte characters, six bytes.
    {"\x83\x65\x83\x58\x83\x67.txt", "??????.txt", true},
    {"\x83\x65\x83\x58\x83\x67.txt", "???.txt", false},
    {"\x83\x61", "?a", true},  // the trail byte 0x61 is an "a"
    {"\x83\x61", "?", false},
    // 0xFF is a byte like any other, never the end of a text.
    {"a\xFF", "a", false},
    {"a", "a\xFF", false},
    {"\xFF", "?", true},
    {"\xFF", "\xFF*", true},
};

void ExpectRows(const Row* begin, const Row* end) {
  for (const Row* r = begin; r != end; ++r) {
    EXPECT_EQ(MatchMask(r->name, r->mask), r->match)
        << "name \"" << r->name << "\" mask \"" << r->mask << "\"";
  }
}

TEST(MatchMask, GivesTheListedResults) {
  ExpectRows(std::begin(kResults), std::end(kResults));
}

TEST(MatchMask, ComparesBytesExactly) {
  ExpectRows(std::begin(kBytes), std::end(kBytes));
}

// The texts are views: nothing before or after them may count.  Each is set
// in the middle of a buffer whose neighbouring bytes would change the
// answer if they were read ("." blocks a star, "*" and "?" extend a mask,
// NUL looks like an end).
TEST(MatchMask, ReadsNothingOutsideItsTexts) {
  using namespace std::string_view_literals;
  const std::string_view fills[] = {"\0"sv, "."sv, "*"sv, "?"sv, "a"sv, "\xFF"sv, ".dll*"sv};
  auto embed = [](std::string_view text, std::string_view fill) {
    std::string buffer(fill);
    buffer += text;
    buffer += fill;
    buffer += fill;
    return buffer;
  };
  auto check = [&](std::string_view name, std::string_view mask, bool expected) {
    for (std::string_view fill : fills) {
      const std::string name_buffer = embed(name, fill);
      const std::string mask_buffer = embed(mask, fill);
      ASSERT_EQ(MatchMask(std::string_view(name_buffer).substr(fill.size(), name.size()),
                          std::string_view(mask_buffer).substr(fill.size(), mask.size())),
                expected)
          << "name \"" << name << "\" mask \"" << mask << "\" fill \"" << fill << "\"";
    }
  };
  for (const Row& r : kResults) check(r.name, r.mask, r.match);
  for (const Row& r : kBytes) check(r.name, r.mask, r.match);
}

}  // namespace
