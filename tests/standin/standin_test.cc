// The POSIX stand-in's choices, each as Wine makes it, where no end-to-end
// row reaches them: its code-page tables, Wine's reading of dots and
// drives, a signal in the middle of a run.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <iconv.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <clocale>
#include <cstring>
#include <cwctype>
#include <fstream>
#include <sstream>
#include <string>

#include "app/run_driver.h"
#include "check/protection_checks.h"
#include "cli/run_options.h"
#include "output/console_output.h"
#include "output/report_file.h"
#include "platform/platform.h"
#include "platform/standin/internal.h"

namespace {

bool ReadWhole(const std::string& name, std::string* contents) {
  std::ifstream file(name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  *contents = text.str();
  return file.good() || file.eof();
}

// `text` as the host's iconv converts it; empty where it cannot.
std::string Iconv(const char* to, const char* from, std::string text) {
  const iconv_t convert = iconv_open(to, from);
  char out[16];
  char *in = &text[0], *end = out;
  std::size_t in_left = text.size(), out_left = sizeof out;
  const bool done = iconv(convert, &in, &in_left, &end, &out_left) != static_cast<std::size_t>(-1);
  iconv_close(convert);
  return done ? std::string(out, end) : std::string();
}

// Every byte against the host's tables: Windows-1252 (whose five unassigned
// bytes are the control characters of their value) and 850 in Unicode, the
// OEM byte of each character that 850 has, and a listing's order by the
// upper case of the character, then by the character.
TEST(StandinCodePages, MatchTheHostsTables) {
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  wchar_t upper[256] = {}, character[256] = {};
  for (int b = 1; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    std::string utf8 = Iconv("UTF-8", "CP1252", byte);
    if (utf8.empty()) utf8 = "\xC2" + byte;
    SCOPED_TRACE(b);
    EXPECT_EQ(platform::standin::AnsiToUtf8(byte), utf8);
    EXPECT_EQ(platform::standin::OemToUtf8(byte.data(), 1), Iconv("UTF-8", "IBM850", byte));
    const std::string oem = Iconv("IBM850", "UTF-8", utf8);
    std::string shown = byte;
    platform::ToOemCodePage(&shown[0], 1);
    if (!oem.empty()) {
      EXPECT_EQ(shown, oem);
    }
    const std::string wide = Iconv("WCHAR_T", "UTF-8", utf8);
    ASSERT_EQ(wide.size(), sizeof(wchar_t));
    std::memcpy(&character[b], wide.data(), sizeof(wchar_t));
    upper[b] = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(character[b])));
  }
  for (int a = 1; a < 256; ++a) {
    for (int b = 1; b < 256; ++b) {
      const char x[] = {static_cast<char>(a), '\0'}, y[] = {static_cast<char>(b), '\0'};
      ASSERT_EQ(platform::standin::ListsBefore(x, y),
                upper[a] < upper[b] || (upper[a] == upper[b] && character[a] < character[b]))
          << a << " " << b;
    }
  }
}

// Case in Windows-1252 (µ and ß have none in it), the best fit of the OEM
// code page, and what UTF-8 names lose.
TEST(StandinCodePages, ConvertAsTheSystemDoes) {
  char text[] = "\xE9\xC9\xFF\x9A\xB5\xDF";
  platform::UpperCase(text, 6);
  EXPECT_EQ(std::string(text), "\xC9\xC9\x9F\x8A\xB5\xDF");
  platform::LowerCase(text, 6);
  EXPECT_EQ(std::string(text), "\xE9\xE9\xFF\x9A\xB5\xDF");
  char oem[] = "\x80\x93";
  platform::ToOemCodePage(oem, 2);
  EXPECT_EQ(std::string(oem), "?\"");
  // No best fit: a character the code page lacks is lost, once (one for
  // the pair of units beyond 16 bits), and so is a sequence that is not
  // UTF-8: a lead that is none, a broken, overlong or cut sequence.
  EXPECT_EQ(platform::standin::Utf8ToAnsi("caf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\xAD \xC5\x81"
                                          "\xEF\xBC\x82 \xF0\x9F\x98\x80"),
            "caf\xE9 \x80 \x1A \x1A\x1A \x1A");
  EXPECT_EQ(platform::standin::Utf8ToAnsi("a\xF5" "b\xE0\x80\x80" "c\xE2\x82" "d\xE2"),
            "a\x1A" "b\x1A\x1A" "c\x1A" "d\x1A");
}

// Each row as Wine's GetFullPathNameA answered it.
TEST(StandinFullPathName, ResolvesAsWineDoes) {
  const std::string cwd = platform::CurrentDirectory();
  const struct {
    std::string name;
    std::string full;
  } rows[] = {
      {"a\\...\\b", cwd + "\\a\\..\\b"},  // an inner name loses one dot
      {"...", cwd + "\\"},
      {"c:x\\..\\..\\y", "c:\\y"},         // another drive's folder is its root
      {"\\\\?\\C:\\x\\..", "\\\\?\\C:"},
      {"  ", ""},
      {"Z:\\" + std::string(257, 'a'), ""},  // 260 bytes
  };
  for (const auto& r : rows) EXPECT_EQ(platform::FullPathName(r.name), r.full) << r.name;
}

// The lines of the first n items: each its colour, a name that starts with
// `name`, then the words.
std::string Items(int n, const std::string& name, const std::string& words,
                  const std::string& colour = "") {
  std::string text;
  for (int i = 0; i < n; ++i) text += colour + name + std::to_string(i) + words + "\r\n";
  return text;
}

// A real SIGINT or SIGTERM, sent while the run writes item after item:
// its handler, on a thread of its own, writes out what the report and
// redirected output hold, and on a terminal gives the colours back; then
// the signal ends the process.  Every line shown is in the report, none cut
// or twice.  A terminal shows a name as the ANSI code page spells it (the
// OEM code page has no \x8A, Š); redirected output has it in OEM.
TEST(StandinConsole, AnInterruptionWritesOutEveryLine) {
  const struct {
    int signal;
    bool terminal;
  } rows[] = {{SIGINT, true}, {SIGTERM, false}, {SIGINT, false}};
  for (const auto& r : rows) {
    char folder[] = "/tmp/tavrel-signal.XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string shown_name = std::string(folder) + "/shown";
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(terminal >= 0 && grantpt(terminal) == 0 && unlockpt(terminal) == 0);
    const pid_t child = fork();
    if (child == 0) {
      alarm(20);  // a handler that never comes fails the test
      const int screen = r.terminal ? open(ptsname(terminal), O_WRONLY | O_NOCTTY)
                                    : open(shown_name.c_str(), O_WRONLY | O_CREAT, 0600);
      termios mode;
      if (r.terminal && tcgetattr(screen, &mode) == 0) {  // CR LF as written
        cfmakeraw(&mode);
        tcsetattr(screen, TCSANOW, &mode);
      }
      dup2(screen, STDOUT_FILENO);
      if (chdir(folder) != 0) _exit(2);
      platform::Initialize();
      RunOptions.WriteReport = true;
      ConsoleHandle = platform::StdOutputHandle();
      platform::ReadConsoleAttributes(ConsoleHandle, &SavedAttributes);
      OpenConsoleOutput();
      StartReportFile(platform::File::Open("report.txt", platform::File::Access::kCreate), false);
      platform::HandleInterrupts(WriteOutOnInterrupt);
      for (int i = 0;; ++i) {
        if (i == 500) kill(getpid(), r.signal);
        CheckFileProtection("Z:\\\x8A" + std::to_string(i));
      }
    }
    // A terminal hands over its bytes write by write; with the child gone
    // and the screen closed, a read past them fails.
    std::string shown;
    char chunk[4096];
    for (ssize_t n; r.terminal && (n = read(terminal, chunk, sizeof chunk)) > 0;)
      shown.append(chunk, n);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    close(terminal);
    SCOPED_TRACE(std::string(strsignal(r.signal)) + (r.terminal ? " on a terminal" : " redirected"));
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == r.signal);
    std::string report;
    ASSERT_TRUE(ReadWhole(std::string(folder) + "/report.txt", &report));
    if (!r.terminal) {
      ASSERT_TRUE(ReadWhole(shown_name, &shown));
    }
    int items = 0;
    for (std::size_t at = 0; (at = report.find("\r\n", at)) != std::string::npos; at += 2) ++items;
    EXPECT_GE(items, 500);
    EXPECT_EQ(report, Items(items, "Z:\\\x8A", " : non prot\xE9g\xE9 par SFC"));
    std::string oem_name = "Z:\\\x8A";
    platform::ToOemCodePage(&oem_name[0], oem_name.size());
    EXPECT_NE(oem_name, "Z:\\\x8A");
    EXPECT_EQ(shown, r.terminal ? Items(items, "Z:\\\xC5\xA0", " : non prot\xC3\xA9g\xC3\xA9 par SFC",
                                        "\x1b[92m") + "\x1b[0m"
                                : Items(items, oem_name, " : non prot\x82g\x82 par SFC"));
    unlink(shown_name.c_str());
    unlink((std::string(folder) + "/report.txt").c_str());
    rmdir(folder);
  }
}

}  // namespace
