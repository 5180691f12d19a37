// The program's own wildcard matcher: its results, the rules they follow,
// and how they sit against ordinary wildcard matching.
#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

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

// Ordinary wildcard matching: "*" any run of bytes, "?" any one byte.
bool WildMatch(std::string_view name, std::string_view mask) {
  // reach[j]: the name read so far matches the first j bytes of the mask.
  std::vector<bool> reach(mask.size() + 1, false);
  reach[0] = true;
  for (std::size_t j = 0; j < mask.size() && mask[j] == '*'; ++j) reach[j + 1] = true;
  for (char c : name) {
    std::vector<bool> next(mask.size() + 1, false);
    for (std::size_t j = 0; j < mask.size(); ++j) {
      if (mask[j] == '*') {
        next[j + 1] = next[j] || reach[j] || reach[j + 1];
      } else {
        next[j + 1] = reach[j] && (mask[j] == '?' || mask[j] == c);
      }
    }
    reach.swap(next);
  }
  return reach[mask.size()];
}

// The mask with every star that must take a byte written as "?*": a star
// at the very start, and every run of two or more stars.
std::string StarsTakingAByte(std::string_view mask) {
  std::string out;
  for (std::size_t i = 0; i < mask.size();) {
    if (mask[i] != '*') {
      out += mask[i++];
      continue;
    }
    std::size_t end = i;
    while (end < mask.size() && mask[end] == '*') ++end;
    out += (i == 0 || end - i > 1) ? "?*" : "*";
    i = end;
  }
  return out;
}

bool HasQuestionAfterStar(std::string_view mask) {
  const std::size_t star = mask.find('*');
  return star != std::string_view::npos && mask.find('?', star) != std::string_view::npos;
}

// Where a star before byte c may stop: at some i >= 1 with name[i] == c and
// no "." after i.
bool HasStopPlace(std::string_view name, char c) {
  const std::size_t last_dot = name.rfind('.');
  for (std::size_t i = 1; i < name.size(); ++i) {
    if (name[i] == c && (last_dot == std::string_view::npos || last_dot <= i)) return true;
  }
  return false;
}

class Corpus {
 public:
  explicit Corpus(unsigned seed) : random_(seed) {}

  std::string Name() { return Text("ab.x", Pick(11)); }

  // Half the masks are random; the other half come from a name with some
  // bytes turned into "?" and some stretches into stars, so that ordinary
  // matching selects that name and the two matchers get to disagree.
  std::string MaskFor(const std::string& name) {
    if (Pick(2) == 0) return Text("ab.x*?", Pick(11));
    std::string mask;
    for (std::size_t i = 0; i < name.size();) {
      switch (Pick(8)) {
        case 0:
          mask += '?';
          ++i;
          break;
        case 1:
        case 2:
          mask += Pick(4) == 0 ? "**" : "*";
          i += Pick(4);
          break;
        default:
          mask += name[i++];
      }
    }
    if (Pick(6) == 0) mask += '*';
    return mask;
  }

  std::size_t Pick(std::size_t bound) {
    return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random_);
  }

 private:
  std::string Text(const char* alphabet, std::size_t length) {
    const std::string_view letters(alphabet);
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text += letters[Pick(letters.size())];
    return text;
  }

  std::mt19937 random_;
};

TEST(MatchMask, FollowsItsRulesOnRandomNamesAndMasks) {
  Corpus corpus(20240611);
  int matches = 0;
  int ordinary_only = 0;
  for (int round = 0; round < 200000; ++round) {
    const std::string name = corpus.Name();
    const std::string mask = corpus.MaskFor(name);
    const bool result = MatchMask(name, mask);
    const bool ordinary = WildMatch(name, mask);
    SCOPED_TRACE("name \"" + name + "\" mask \"" + mask + "\"");
    matches += result;
    ordinary_only += ordinary && !result;

    // Every match is an ordinary one, also with the stars that must take a
    // byte made to take one.
    if (result) {
      ASSERT_TRUE(ordinary);
      ASSERT_TRUE(WildMatch(name, StarsTakingAByte(mask)));
    }
    // Without a star there is nothing to differ: same length, equal bytes,
    // "?" for any byte.
    if (mask.find('*') == std::string::npos) { ASSERT_EQ(result, ordinary); }
    // A "?" after a star matches nothing.
    if (HasQuestionAfterStar(mask)) { ASSERT_FALSE(result); }
    // The empty name matches the empty mask only.
    if (name.empty()) { ASSERT_EQ(result, mask.empty()); }
    // A single star ending a mask whose head has no star accepts any rest.
    if (mask.size() >= 2 && mask.back() == '*' &&
        mask.find('*') == mask.size() - 1) {
      ASSERT_EQ(result, ordinary);
    }
    // A leading star stops only before a byte equal to the mask byte after
    // it, and only where no "." follows that byte.
    if (result && mask.size() >= 2 && mask[0] == '*' && mask[1] != '*' && mask[1] != '?') {
      ASSERT_TRUE(HasStopPlace(name, mask[1]));
    }
    // So "*." and plain bytes select the names whose last dot is not their
    // first byte and is followed by exactly those bytes.
    if (mask.size() >= 2 && mask.compare(0, 2, "*.") == 0 &&
        mask.find_first_of("*?", 1) == std::string::npos) {
      const std::size_t last_dot = name.rfind('.');
      ASSERT_EQ(result, last_dot != std::string::npos && last_dot >= 1 &&
                            name.compare(last_dot + 1, std::string::npos, mask, 2) == 0);
    }
  }
  // The corpus exercises both sides of every rule above.
  EXPECT_GT(matches, 10000);
  EXPECT_GT(ordinary_only, 10000);
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
  Corpus corpus(7);
  for (int round = 0; round < 20000; ++round) {
    const std::string name = corpus.Name();
    const std::string mask = corpus.MaskFor(name);
    check(name, mask, MatchMask(std::string(name), std::string(mask)));
  }
}

}  // namespace
