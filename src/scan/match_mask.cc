#include "scan/match_mask.h"

#include <cstddef>

#include "output/ansi_text.h"
#include "platform/platform.h"

namespace {

constexpr int kEnd = -1;  // the end mark: equal to another end mark only
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// The character at i: a byte, or on a double-byte code page a lead byte
// and its trail byte as one value above every byte's.
template <bool kDoubleByte>
inline int CharacterAt(std::string_view text, std::size_t i) {
  if (i >= text.size()) return kEnd;
  const int c = static_cast<unsigned char>(text[i]);
  if (!kDoubleByte || NextCharacter(text, i) == i + 1) return c;
  return 0x10000 | (c << 8) | static_cast<unsigned char>(text[i + 1]);
}

// Where the character at i ends.
template <bool kDoubleByte>
inline std::size_t Step(std::string_view text, std::size_t i) {
  return kDoubleByte ? NextCharacter(text, i) : i + 1;
}

// "*", "?" and "." are never trail bytes, so a star or a dot stands at the
// start of a character, and the position after a star is one too.
template <bool kDoubleByte>
bool Match(std::string_view name, std::string_view mask) {
  const auto At = CharacterAt<kDoubleByte>;
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
      n = Step<kDoubleByte>(name, n);
      if (last_dot != std::string_view::npos && n < last_dot) n = last_dot;
    } else {
      m = Step<kDoubleByte>(mask, m);
      n = Step<kDoubleByte>(name, n);
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

}  // namespace

bool MatchMask(std::string_view name, std::string_view mask) {
  return platform::HasLeadBytes() ? Match<true>(name, mask) : Match<false>(name, mask);
}
