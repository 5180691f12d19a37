#include "scan/match_mask.h"

#include <cstddef>

namespace {

constexpr int kEnd = -1;  // the end mark: equal to another end mark only
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

inline int At(std::string_view text, std::size_t i) {
  return i < text.size() ? static_cast<unsigned char>(text[i]) : kEnd;
}

}  // namespace

bool MatchMask(std::string_view name, std::string_view mask) {
  // "Does a '.' follow position n?" is asked on every star turn; the last
  // dot answers it without rescanning the name.
  const std::size_t last_dot = name.rfind('.');
  std::size_t n = 0;
  std::size_t m = 0;
  std::size_t saved_star = kNone;
  for (;;) {
    const int c = At(name, n);
    if (c == kEnd) break;
    const int k = At(mask, m);
    if (k != '*' && k != '?' && k != c) break;

    // Take one name byte.  A star (the last of a run) stays in place, and
    // as it cannot stop while a "." follows, it takes those bytes at once.
    if (k == '*') {
      while (At(mask, m + 1) == '*') ++m;
      ++n;
      if (last_dot != std::string_view::npos && n < last_dot) n = last_dot;
    } else {
      ++m;
      ++n;
    }

    // Star rule: the star stops before a byte equal to the one after it,
    // unless a "." follows that byte in the name.
    if (At(mask, m) == '*' && At(mask, m + 1) == At(name, n)) {
      const bool dot_follows = last_dot != std::string_view::npos && last_dot > n;
      if (!dot_follows) {
        saved_star = m;
        ++m;
      }
    }

    // Realignment: after a mismatch behind a stopped star, back to it.
    if (saved_star != kNone && At(mask, m) != At(name, n) &&
        At(mask, m) != '*') {
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
