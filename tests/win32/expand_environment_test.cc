// An expansion is taken only whole: Windows answers one that does not fit
// with the room it needs (and what it wrote is no answer), Wine 8 with the
// text cut; a failed call leaves the last expansion in the buffer.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "platform/win32_internal.h"

namespace {

// What the system writes, then what it answers.
struct {
  std::wstring written;
  DWORD answer;
} expansion;

DWORD WINAPI Expand(LPCWSTR, LPWSTR out, DWORD) {
  if (expansion.answer != 0) {
    expansion.written.copy(out, expansion.written.size());
    out[expansion.written.size()] = L'\0';
  }
  return expansion.answer;
}

TEST(ExpandEnvironment, TakesOnlyAWholeExpansion) {
  const std::wstring cut(32767, L'x');
  const struct {
    std::wstring written;
    DWORD answer;
    std::uint32_t size;  // of the caller's buffer
    std::uint32_t expected;
    std::string text;  // in the caller's buffer
  } cases[] = {
      {L"abc", 4, 4, 4, "abc"},
      {L"abc", 4, 3, 4, "-"},
      {L"ab", 40000, 100, 0, "-"},  // Windows: more room is needed
      {cut, 32768, 40000, 0, "-"},  // Wine: the text cut
      {L"", 0, 100, 0, "-"},        // the call failed: "stale" is no answer
      {L"", 1, 100, 1, ""},
  };
  for (const auto& c : cases) {
    char buffer[40000];
    expansion = {L"stale", 6};
    platform::win32::ExpandEnvironment("%X%", buffer, sizeof buffer, Expand);
    expansion = {c.written, c.answer};
    std::strcpy(buffer, "-");
    EXPECT_EQ(platform::win32::ExpandEnvironment("%X%", buffer, c.size, Expand), c.expected)
        << c.answer;
    EXPECT_EQ(std::string(buffer), c.text) << c.answer;
  }
}

}  // namespace
