// The POSIX stand-in's choices, each as Wine makes it, where neither the
// random comparison with Wine (the listing order, the registry, letter
// case, NUL, names ending in dots or blanks, the catalogue's case folding)
// nor an end-to-end row (the short aliases) reaches them.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/platform.h"
#include "platform/standin/internal.h"

namespace {

TEST(StandinCodePages, ConvertAsTheSystemDoes) {
  char text[] = "\xE9\xC9\xFF\x9A\xB5\xDF";
  platform::UpperCase(text, 6);
  EXPECT_EQ(std::string(text), "\xC9\xC9\x9F\x8A\xB5\xDF");  // µ and ß stay
  platform::LowerCase(text, 6);
  EXPECT_EQ(std::string(text), "\xE9\xE9\xFF\x9A\xB5\xDF");
  char oem[] = "\xE9\xE8\xE0\xEA\x80\x93";
  platform::ToOemCodePage(oem, 6);
  EXPECT_EQ(std::string(oem), "\x82\x8A\x85\x88?\"");  // best fit for the rest
  // No best fit: a character the code page lacks is lost, once (one for
  // the pair of units beyond 16 bits), and so is a sequence that is not
  // UTF-8: a lead that is none, a broken, overlong or cut sequence.
  EXPECT_EQ(platform::standin::Utf8ToAnsi("caf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\xAD \xC5\x81"
                                          "\xEF\xBC\x82 \xF0\x9F\x98\x80"),
            "caf\xE9 \x80 \x1A \x1A\x1A \x1A");
  EXPECT_EQ(platform::standin::Utf8ToAnsi("a\xF5" "b\xE0\x80\x80" "c\xE2\x82" "d\xE2"),
            "a\x1A" "b\x1A\x1A" "c\x1A" "d\x1A");
  EXPECT_EQ(platform::standin::AnsiToUtf8("\xE9\x80"), "\xC3\xA9\xE2\x82\xAC");
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

// SIGINT on a terminal gives the console its colours back, then ends the
// process as SIGINT does.
TEST(StandinConsole, RestoresTheColoursOnSigint) {
  const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_TRUE(terminal >= 0 && grantpt(terminal) == 0 && unlockpt(terminal) == 0);
  const pid_t child = fork();
  if (child == 0) {
    const int screen = open(ptsname(terminal), O_WRONLY | O_NOCTTY);
    dup2(screen, STDOUT_FILENO);
    platform::Initialize();
    platform::RestoreColoursOnInterrupt(platform::StdOutputHandle(), 0x07);
    platform::WriteConsoleAttributes(platform::StdOutputHandle(), 0x0C);
    raise(SIGINT);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
  // A terminal hands over its bytes write by write; with the child gone and
  // the screen closed, a read past them fails.
  std::string shown;
  char chunk[64];
  for (ssize_t n; (n = read(terminal, chunk, sizeof chunk)) > 0;) shown.append(chunk, n);
  EXPECT_EQ(shown, "\x1b[91m\x1b[0m");
  close(terminal);
}

}  // namespace
