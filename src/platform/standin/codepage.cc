// The stand-in's code pages: Windows-1252 for ANSI text, 850 for the
// console, both single-byte.
#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/standin/internal.h"

namespace platform {
namespace {

#include "platform/standin/codepage_tables.inc"

// Windows-1252 letters that change case outside the Latin-1 block.
unsigned char UpperAnsi(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A: return 0x8A;  // š
    case 0x9C: return 0x8C;  // œ
    case 0x9E: return 0x8E;  // ž
    case 0xFF: return 0x9F;  // ÿ
    default: return c;
  }
}

unsigned char LowerAnsi(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
  switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
  }
}

void AppendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The Windows-1252 byte of a character, without best fit: kLostCharacter
// where the code page has none.
char UnicodeToAnsi(std::uint32_t code) {
  if (code < 0x80) return static_cast<char>(code);
  // Latin-1 maps to itself, except where Windows-1252 puts other letters.
  if (code >= 0xA0 && code < 0x100) return static_cast<char>(code);
  for (int b = 0x80; b < 0xA0; ++b) {
    if (kAnsiToUnicode[b] == code) return static_cast<char>(b);
  }
  return kLostCharacter;
}

}  // namespace

bool IsLeadByte(unsigned char) { return false; }
bool HasLeadBytes() { return false; }

std::string Utf16ToAnsi(const std::u16string& text) {
  return standin::Utf16ToAnsi(text.data(), text.size());
}

std::u16string Utf8ToUtf16(const std::string& text) {
  // The decoder reads up to a NUL: the text goes to it a piece at a time.
  std::u16string wide;
  for (std::size_t start = 0;;) {
    const std::size_t nul = text.find('\0', start);
    wide += standin::Utf8ToUtf16(text.substr(start, nul - start).c_str());
    if (nul == std::string::npos) return wide;
    wide += u'\0';
    start = nul + 1;
  }
}

void UpperCase(char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i)
    text[i] = static_cast<char>(UpperAnsi(static_cast<unsigned char>(text[i])));
}

void LowerCase(char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i)
    text[i] = static_cast<char>(LowerAnsi(static_cast<unsigned char>(text[i])));
}

void ToOemCodePage(char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i)
    text[i] = static_cast<char>(kAnsiToOemTable[static_cast<unsigned char>(text[i])]);
}

std::string WordsToCodePage(const std::string& windows1252, CodePage code_page) {
  // The words' own code page is the ANSI one here.
  std::string converted = windows1252;
  if (code_page == CodePage::kOem && !converted.empty())
    ToOemCodePage(&converted[0], converted.size());
  return converted;
}

std::u16string AnsiToUtf16(const std::string& text) {
  std::u16string wide(text.size(), u'\0');
  for (std::size_t i = 0; i < text.size(); ++i)
    wide[i] = static_cast<char16_t>(kAnsiToUnicode[static_cast<unsigned char>(text[i])]);
  return wide;
}

namespace standin {

unsigned char FoldAnsi(unsigned char c) { return LowerAnsi(c); }

std::uint64_t ListingKeyPrefix(const char* name) {
  // Each byte's place among the distinct upper-case keys, from 1 (0 pads a
  // short name, which lists before its own extensions); fewer than 255
  // distinct keys exist, so a place fits a byte.
  static const auto places = [] {
    std::vector<std::uint16_t> keys(std::begin(kAnsiSortKey), std::end(kAnsiSortKey));
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    std::array<unsigned char, 256> table{};
    for (int b = 0; b < 256; ++b)
      table[b] = static_cast<unsigned char>(
          std::lower_bound(keys.begin(), keys.end(), kAnsiSortKey[b]) - keys.begin() + 1);
    return table;
  }();
  std::uint64_t key = 0;
  int i = 0;
  for (; i < 8 && name[i] != '\0'; ++i) key = (key << 8) | places[static_cast<unsigned char>(name[i])];
  return key << (8 * (8 - i));
}

bool ListsBefore(const char* a, const char* b) {
  const unsigned char* x = reinterpret_cast<const unsigned char*>(a);
  const unsigned char* y = reinterpret_cast<const unsigned char*>(b);
  int exact = 0;
  for (; *x && *y; ++x, ++y) {
    if (kAnsiSortKey[*x] != kAnsiSortKey[*y]) return kAnsiSortKey[*x] < kAnsiSortKey[*y];
    if (exact == 0 && *x != *y) exact = kAnsiToUnicode[*x] < kAnsiToUnicode[*y] ? -1 : 1;
  }
  if (*x || *y) return *y != 0;  // a name before its own extensions
  return exact < 0;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    // A lost character may stand for any other: it equals none.
    if (a[i] == kLostCharacter || b[i] == kLostCharacter) return false;
    if (LowerAnsi(static_cast<unsigned char>(a[i])) !=
        LowerAnsi(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

std::string AnsiToUtf8(const std::string& ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (unsigned char c : ansi) AppendUtf8(out, kAnsiToUnicode[c]);
  return out;
}

std::string Utf16ToAnsi(const char16_t* text, std::size_t length) {
  std::string ansi;
  ansi.reserve(length);
  for (std::size_t i = 0; i < length; ++i) {
    // A surrogate pair is one character, and one lost character.
    if (text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000)
      ++i;
    ansi += UnicodeToAnsi(text[i]);
  }
  return ansi;
}

std::string Utf16ToAnsi(const char16_t* text) {
  std::size_t length = 0;
  while (text[length] != u'\0') ++length;
  return Utf16ToAnsi(text, length);
}

std::string OemToUtf8(const char* oem, std::size_t length) {
  std::string out;
  out.reserve(length);
  for (std::size_t i = 0; i < length; ++i)
    AppendUtf8(out, kOemToUnicode[static_cast<unsigned char>(oem[i])]);
  return out;
}

std::u16string Utf8ToUtf16(const char* text) {
  std::u16string wide;
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (*p) {
    const unsigned char c = *p++;
    int extra = c < 0x80 ? 0 : c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 && c < 0xF0 ? 2
                : c >= 0xC2 && c < 0xE0 ? 1 : -1;
    std::uint32_t code = extra == 3 ? c & 0x07u : extra == 2 ? c & 0x0Fu : extra == 1 ? c & 0x1Fu : c;
    int left = 0;  // a text that ends first is cut short: one U+FFFD ends it
    while (left < extra && p[left] != 0) ++left;
    if (left < extra) {
      wide += u'\xFFFD';
      break;
    }
    bool valid = extra >= 0;
    // Each trail byte is taken before the next test: a sequence that fails
    // is one U+FFFD for its lead and the trails taken so far.
    for (; valid && extra > 0; --extra) {
      const std::uint32_t next = (code << 6) | (*p & 0x3Fu);
      valid = (*p & 0xC0) == 0x80 && !(extra == 2 && next >= (0x110000 >> 6));
      if (!valid) break;
      code = next;
      ++p;
      valid = !(extra == 3 && code < 0x10) &&  // overlong, four bytes
              !(extra == 2 && (code < 0x20 || (code >= (0xD800 >> 6) && code <= (0xDFFF >> 6))));
    }
    if (!valid) {
      wide += u'\xFFFD';
    } else if (code > 0xFFFF) {
      wide += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      wide += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      wide += static_cast<char16_t>(code);
    }
  }
  return wide;
}

std::string Utf8ToAnsi(const std::string& utf8) {
  return Utf16ToAnsi(Utf8ToUtf16(utf8.c_str()).c_str());
}

}  // namespace standin
}  // namespace platform
