// The wildcard matcher.  Input: the mask, a NUL, the name.
//
// Properties: the matcher agrees with its algorithm written out step by
// step (the dot test scanning the rest of the name each time); every match
// is an ordinary wildcard match, also with the stars that must take a byte
// made to take one; without a star it is exactly ordinary
// matching; a "?" after a star matches nothing; the empty name matches
// only the empty mask.  Both texts sit in heap blocks of their exact size,
// so a read past either end is caught.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "scan/match_mask.h"

namespace {

constexpr int kEnd = -1;

int At(std::string_view text, std::size_t i) {
  return i < text.size() ? static_cast<unsigned char>(text[i]) : kEnd;
}

// The matcher's steps as written, without its shortcut for the dot test.
bool StepByStep(std::string_view name, std::string_view mask) {
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t n = 0, m = 0, saved_star = kNone;
  for (;;) {
    if (At(name, n) == kEnd) break;
    if (At(mask, m) != '*' && At(mask, m) != '?' && At(mask, m) != At(name, n)) break;
    if (At(mask, m) == '*') {
      while (At(mask, m + 1) == '*') ++m;
    } else {
      ++m;
    }
    ++n;
    if (At(mask, m) == '*' && At(mask, m + 1) == At(name, n)) {
      const std::string_view rest = n + 1 < name.size() ? name.substr(n + 1) : std::string_view();
      if (rest.find('.') == std::string_view::npos) {
        saved_star = m;
        ++m;
      }
    }
    if (saved_star != kNone && At(mask, m) != At(name, n) && At(mask, m) != '*') {
      m = saved_star;
      if (At(mask, m + 1) == At(name, n)) {
        ++m;
      } else {
        saved_star = kNone;
      }
    }
  }
  return At(name, n) == kEnd && At(mask, m) == kEnd;
}

// Ordinary wildcard matching: "*" any run of bytes, "?" any one byte.
bool Ordinary(std::string_view name, std::string_view mask) {
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t n = 0, m = 0, star = kNone, star_n = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      star = m++;
      star_n = n;
    } else if (m < mask.size() && (mask[m] == '?' || mask[m] == name[n])) {
      ++n;
      ++m;
    } else if (star != kNone) {
      m = star + 1;
      n = ++star_n;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

// The mask with every star that must take a byte written as "?*": a star
// at the very start, and every run of two or more stars.
std::string StarsTakingAByte(std::string_view mask) {
  std::string out;
  for (std::size_t i = 0; i < mask.size();) {
    std::size_t end = i;
    while (end < mask.size() && mask[end] == '*') ++end;
    if (end == i) {
      out += mask[i++];
      continue;
    }
    out += (i == 0 || end - i > 1) ? "?*" : "*";
    i = end;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = input.find('\0');
  const std::string_view mask_in = input.substr(0, cut);
  const std::string_view name_in = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);

  const std::unique_ptr<char[]> mask_block(new char[mask_in.size()]);
  const std::unique_ptr<char[]> name_block(new char[name_in.size()]);
  if (!mask_in.empty()) std::memcpy(mask_block.get(), mask_in.data(), mask_in.size());
  if (!name_in.empty()) std::memcpy(name_block.get(), name_in.data(), name_in.size());
  const std::string_view mask(mask_block.get(), mask_in.size());
  const std::string_view name(name_block.get(), name_in.size());

  const bool match = MatchMask(name, mask);
  FUZZ_CHECK(match == StepByStep(name, mask));

  // The rest holds for names as a folder listing gives them: no wildcard.
  if (name.find_first_of("*?") != std::string_view::npos) return 0;
  const bool ordinary = Ordinary(name, mask);
  if (match) FUZZ_CHECK(ordinary && Ordinary(name, StarsTakingAByte(mask)));
  const std::size_t star = mask.find('*');
  if (star == std::string_view::npos) FUZZ_CHECK(match == ordinary);
  else if (mask.find('?', star) != std::string_view::npos) FUZZ_CHECK(!match);
  if (name.empty()) FUZZ_CHECK(match == mask.empty());
  return 0;
}
