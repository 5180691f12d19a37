// The conversions between code pages and UTF-16: the system's ANSI code
// page (not the thread's) for the service, no best fit for names, the
// plain letter for the words, and the flags Windows allows, which Wine
// does not check.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/platform.h"
#include "platform/win32_internal.h"

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

// WideCharToMultiByte as Windows documents it for UTF-8, which Wine does
// not check: flags other than WC_ERR_INVALID_CHARS, or a default character
// or its flag, make the call fail.
int WINAPI StrictConversion(UINT code_page, DWORD flags, LPCWCH text, int length, LPSTR out,
                            int size, LPCCH default_char, LPBOOL used_default) {
  if (code_page == CP_UTF8 && ((flags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS)) != 0 ||
                               default_char != nullptr || used_default != nullptr)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return WideCharToMultiByte(code_page, flags, text, length, out, size, default_char,
                             used_default);
}

// Names from the system, in each kind of code page: without best fit, one
// lost character for each character the code page lacks (a surrogate pair
// is one); UTF-8 takes every character but a lone surrogate.
TEST(ToCodePage, LosesWhatTheCodePageLacksWithoutBestFit) {
  const struct {
    UINT code_page;
    std::u16string text;
    std::string expected;
  } cases[] = {
      {1252, u"\u00E9\uFF4B\uFF02\u0141", "\xE9\x1A\x1A\x1A"},  // é ｋ ＂ Ł
      {1252, u"a\U0001F600b\xD800", "a\x1A" "b\x1A"},
      {932, u"\u65E5\uFF4B\u0141", "\x93\xFA\x82\x8B\x1A"},  // 日 ｋ Ł
      {CP_UTF8, u"\u0141\U0001F600\xDC00", "\xC5\x81\xF0\x9F\x98\x80\x1A"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::win32::ToCodePage(c.code_page,
                                          reinterpret_cast<const wchar_t*>(c.text.data()),
                                          c.text.size(), StrictConversion),
              c.expected)
        << "code page " << c.code_page;
  }
}

// MultiByteToWideChar as Windows documents it, which Wine does not check:
// UTF-8 and GB18030 take no flag but MB_ERR_INVALID_CHARS, the ISO-2022,
// ISCII, UTF-7 and symbol code pages none at all.
int WINAPI StrictWidening(UINT code_page, DWORD flags, LPCCH text, int length, LPWSTR out,
                          int size) {
  const UINT page = code_page == CP_ACP ? GetACP() : code_page;
  const bool no_flags = (page >= 50220 && page <= 50229) || (page >= 57002 && page <= 57011) ||
                        page == CP_UTF7 || page == 42;
  const DWORD allowed =
      no_flags ? 0 : page == CP_UTF8 || page == 54936 ? MB_ERR_INVALID_CHARS : ~DWORD{0};
  if ((flags & ~allowed) != 0) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  return MultiByteToWideChar(code_page, flags, text, length, out, size);
}

TEST(ToUtf16, TakesEachKindOfCodePage) {
  const struct {
    UINT code_page;
    std::string text;
    std::u16string expected;
  } cases[] = {
      {1252, "caf\xE9\x80", u"caf\u00E9\u20AC"},
      {932, "\x93\xFA\x96\x7B\\", u"\u65E5\u672C\\"},
      {CP_UTF8, "\xC5\x81\xF0\x9F\x98\x80", u"\u0141\U0001F600"},
      {CP_UTF8, "a\xFF" "b", u"a\uFFFD" "b"},
      {CP_ACP, "", u""},
  };
  for (const auto& c : cases) {
    const std::wstring wide = platform::win32::ToUtf16(c.code_page, c.text.data(),
                                                        c.text.size(), StrictWidening);
    EXPECT_EQ(std::u16string(wide.begin(), wide.end()), c.expected) << "code page " << c.code_page;
  }
}

// The program's words in a code page that lacks their accents: the
// system's best fit, else the plain letter, never "?"; a UTF-8 code page
// takes no default character to flag.
TEST(WordsToCodePage, GiveThePlainLetterWhereTheCodePageHasNone) {
  const std::string words = "\xC0 \xE9t\xE9 \xFF";  // À été ÿ
  const struct {
    UINT code_page;
    std::string expected;
  } cases[] = {
      {1252, words},
      {1255, "A ete y"},
      {437, "A \x82t\x82 \x98"},
      {CP_UTF8, "\xC3\x80 \xC3\xA9t\xC3\xA9 \xC3\xBF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::win32::WordsToCodePage(c.code_page, words, StrictConversion), c.expected)
        << "code page " << c.code_page;
  }
}

TEST(CaseConversion, TakesEveryByteUpToTheLength) {
  for (auto convert : {platform::UpperCase, platform::LowerCase}) {
    std::string text = convert == platform::UpperCase ? "a" : "A";
    convert(&text[0], text.size());
    EXPECT_EQ(text, convert == platform::UpperCase ? "A" : "a");
  }
}
