// Lines of a list file: line ends, lone CRs, Ctrl-Z.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/list_file_reader.h"

namespace {

using Lines = std::vector<std::string>;

// Reads `text` in pieces of `chunk` bytes, as a file would arrive.
Lines ReadAll(const std::string& text, std::size_t chunk) {
  std::size_t offset = 0;
  bool at_end = false;  // once at its end, the file is not read again
  ListFileReader reader([&](char* buffer, std::size_t size) {
    EXPECT_FALSE(at_end);
    const std::size_t n = std::min({size, chunk, text.size() - offset});
    at_end = n == 0;
    std::memcpy(buffer, text.data() + offset, n);
    offset += n;
    return n;
  });
  Lines lines;
  std::string line;
  while (reader.ReadLine(line)) lines.push_back(line);
  reader.ReadLine(line);
  return lines;
}

// UTF-16LE with "FF FE" before it, without the mark's own two bytes.
std::string Utf16(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

TEST(ListFileReader, SplitsLinesAsAWindowsTextFile) {
  const struct {
    std::string text;
    Lines expected;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\n", {"a"}},                       // no further empty line at the end
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\n\nb\n", {"a", "", "b"}},
      {"a\rb\r\n", {"ab"}},                  // a lone CR is dropped
      {"a\r\r\nb", {"a", "b"}},
      {"a\r", {"a"}},
      {"\x1a" "a\nb", {}},                    // Ctrl-Z at a line start ends the file
      {"a\n\x1a\nb", {"a"}},
      {"ab\x1a" "cd\nef", {"ab", "ef"}},      // inside a line it ends the name
      {"ab\x1a" "c\x1a" "d\nef", {"ab"}},     // a second one on that line ends the file
      {"ab\x1a\r\nc", {"ab", "c"}},
      {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
      // A byte-order mark makes the file text, read in lines alike and given
      // in the ANSI code page (the fake's is Latin-1; a character beyond, lost).
      {Utf16(u"a\r\nb\n\u00E9\u0141"), {"a", "b", "\xE9\x1A"}},
      {Utf16(u"a\r\u010Ab"), {"a\x1A" "b"}},  // after a CR, a unit ending in 0A is no LF
      {Utf16(u"a\x1A" u"b\nc\n\x1A" u"d"), {"a", "c"}},
      {Utf16(u"a") + "b", {"a\x1A"}},             // half a unit is no character
      {"\xFF\xFE", {}},
      {"\xEF\xBB\xBF" "a\r\n\xC3\xA9\n", {"a", "\xE9"}},
      {"\xEF\xBB", {"\xEF\xBB"}},  // no mark: bytes
      {"\xFF", {"\xFF"}},
  };
  for (const auto& c : cases) {
    for (std::size_t chunk : {1u, 2u, 3u, 65536u}) {
      EXPECT_EQ(ReadAll(c.text, chunk), c.expected) << "chunk " << chunk;
    }
  }
}

}  // namespace
