// The name for the service is converted in the system's ANSI code page, the
// one the ...A calls used, whatever the thread's locale says.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/platform.h"

namespace {

std::u16string Convert(UINT code_page, const std::string& text) {
  wchar_t wide[64];
  const int n = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()),
                                    wide, 64);
  return std::u16string(reinterpret_cast<const char16_t*>(wide), n > 0 ? n : 0);
}

TEST(AnsiToUtf16, TakesTheSystemCodePageNotTheThreads) {
  const std::string text = "caf\xE9\\\x95\x5C";
  const LCID saved = GetThreadLocale();
  // A thread locale whose ANSI code page is another than the system's.
  const LANGID other = GetACP() == 932 ? MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH)
                                       : MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN);
  ASSERT_TRUE(SetThreadLocale(MAKELCID(other, SORT_DEFAULT)));
  const std::u16string thread = Convert(CP_THREAD_ACP, text);
  const std::u16string system = Convert(CP_ACP, text);
  const std::u16string converted = platform::AnsiToUtf16(text);
  SetThreadLocale(saved);
  if (thread == system) GTEST_SKIP() << "this system converts alike for thread and system";
  EXPECT_EQ(converted, system);
}

}  // namespace
