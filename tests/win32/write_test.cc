// Output goes out whole however little each write takes, and a write that
// takes nothing (a non-blocking pipe whose reader stopped) is a failure, not
// a loop.  A console gets pieces that no console refuses, a surrogate pair
// never cut.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32_internal.h"

namespace {

// A writer that takes at most `limit` units a call, keeping the size of
// each piece it is handed and what it took; it fails once it has been
// called too often (a loop).
struct {
  DWORD limit;
  std::vector<DWORD> pieces;
  std::u16string taken;
} writer;

template <typename Unit>
BOOL Take(const void* data, DWORD size, LPDWORD written) {
  if (writer.pieces.size() == 100) return FALSE;
  writer.pieces.push_back(size);
  *written = size < writer.limit ? size : writer.limit;
  const Unit* units = static_cast<const Unit*>(data);
  writer.taken.append(units, units + *written);
  return TRUE;
}

BOOL WINAPI TakeBytes(HANDLE, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED) {
  return Take<unsigned char>(data, size, written);
}

BOOL WINAPI TakeUnits(HANDLE, const VOID* data, DWORD size, LPDWORD written, LPVOID) {
  return Take<char16_t>(data, size, written);
}

TEST(Writes, GoOutWholeInPiecesOrFail) {
  const std::u16string pair = u"\U0001F600";
  const struct {
    bool console;
    std::u16string text;
    DWORD limit;
    std::vector<DWORD> pieces;  // what each call is handed; none after a failure
    bool fails;
  } cases[] = {
      {false, u"hello", 2, {5, 3, 1}, false},
      {false, u"hello", 0, {5}, true},
      {true, std::u16string(5000, u'a'), 5000, {4096, 904}, false},
      {true, std::u16string(4095, u'a') + pair + u"b", 5000, {4095, 3}, false},
      {true, u"h\u00E9llo", 2, {5, 3, 1}, false},
      {true, u"hello", 0, {5}, true},
  };
  for (const auto& c : cases) {
    writer = {c.limit, {}, {}};
    bool failed = false;
    try {
      if (c.console) {
        platform::win32::WriteConsoleWide(nullptr, std::wstring(c.text.begin(), c.text.end()),
                                          TakeUnits);
      } else {
        const std::string bytes(c.text.begin(), c.text.end());
        platform::win32::WriteAll(nullptr, bytes.data(), bytes.size(), TakeBytes);
      }
    } catch (const platform::Failure&) {
      failed = true;
    }
    EXPECT_EQ(failed, c.fails) << c.console << " " << c.limit;
    EXPECT_EQ(writer.pieces, c.pieces) << c.console << " " << c.limit;
    if (!c.fails) {
      EXPECT_EQ(writer.taken, c.text) << c.console << " " << c.limit;
    }
  }
}

}  // namespace
