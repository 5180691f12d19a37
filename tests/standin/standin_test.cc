// The POSIX stand-in's choices, each as Wine makes it, where the random
// comparison with Wine draws no such case (it draws the listing order, the
// registry, letter case, NUL, names ending in dots or blanks, and the
// catalogue's case folding).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/standin/internal.h"

namespace {

TEST(StandinSearch, AnswersOneNameAsWineDoes) {
  // A folder as it was put to Wine, and what Wine's search for each plain
  // name found there ("": nothing): in any case, by the short alias Wine
  // makes up for a name that is no 8.3 name, the last name trimmed of its
  // dots and blanks, the exact spelling first, else the first in listing
  // order.
  char templ[] = "/tmp/standin_search.XXXXXX";
  const std::string dir = mkdtemp(templ);
  for (const char* file : {"abcdefghij.txt", "abcd~auf.txt", "Program Files.txt", "a.b.c",
                           "q\"r", "trail ", "name.", "name", "\xC3\x9Cn\xC3\xAF.txt", "foo",
                           "FOO", "Bar"})
    fclose(fopen((dir + "/" + file).c_str(), "w"));
  mkdir((dir + "/Long Folder Name").c_str(), 0755);
  ASSERT_EQ(symlink("nowhere", (dir + "/broken").c_str()), 0);
  const struct {
    const char* name;
    const char* found;
  } searches[] = {
      {"ABCD~AUF.TXT", "abcdefghij.txt"}, {"abcd~auf.txt", "abcd~auf.txt"},
      {"Abcd~auf.txt", "abcdefghij.txt"}, {"prog~w2d.txt", "Program Files.txt"},
      {"A_B~~54C.C", "a.b.c"},            {"Q_R~~HKA", "q\"r"},
      {"TRAI~5RC", "trail "},             {"NAME~GGC", "name."},
      {"_N_~~14A.TXT", "\xDCn\xEF.txt"}, {"\xFCN\xCF.TXT", "\xDCn\xEF.txt"},
      {"LONG~ZAT", "Long Folder Name"},   {"foo", "foo"},
      {"Foo", "FOO"},                     {"name.", "name"},
      {"bar. . ", "Bar"},                 {"trail ", ""},
      {"...", ""},                        {"broken", ""},
  };
  std::string windows = "Z:" + dir;
  std::replace(windows.begin(), windows.end(), '/', '\\');
  for (const auto& s : searches) {
    platform::FileSearch search;
    std::string found;
    if (search.First((windows + "\\" + s.name).c_str())) {
      found = search.Name();
      EXPECT_FALSE(search.Next()) << s.name;  // one name, one entry
    }
    EXPECT_EQ(found, s.found) << s.name;
  }
  // The long form of a path searches for each part after the long form of
  // those before it: an 8.3 part becomes the name found, others stay as
  // typed, and every part must be found.
  const struct {
    std::string path;
    std::string long_form;
  } paths[] = {
      {windows + "\\LONG~ZAT\\..\\BAR", windows + "\\Long Folder Name\\..\\Bar"},
      {windows + "\\long folder name\\", windows + "\\long folder name\\"},
      {windows + "\\nope\\..\\foo", ""},
      {windows + "\\*.txt", ""},
      {"\\\\?\\" + windows + "\\LONG~ZAT", "\\\\?\\" + windows + "\\LONG~ZAT"},
  };
  for (const auto& p : paths) EXPECT_EQ(platform::LongPathName(p.path), p.long_form) << p.path;
  ASSERT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0);
}

TEST(StandinCodePages, ConvertAsTheSystemDoes) {
  char text[] = "\xE9\xC9\xFF\x9A\xB5\xDF";
  platform::UpperCase(text, 6);
  EXPECT_EQ(std::string(text), "\xC9\xC9\x9F\x8A\xB5\xDF");  // µ and ß stay
  platform::LowerCase(text, 6);
  EXPECT_EQ(std::string(text), "\xE9\xE9\xFF\x9A\xB5\xDF");
  char oem[] = "\xE9\xE8\xE0\xEA\x80\x93";
  platform::ToOemCodePage(oem, 6);
  EXPECT_EQ(std::string(oem), "\x82\x8A\x85\x88?\"");  // best fit for the rest
  EXPECT_EQ(platform::standin::Utf8ToAnsi("caf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\xAD"),
            "caf\xE9 \x80 ?");
  // Not UTF-8: a lead that is none, a broken, overlong or cut sequence.
  EXPECT_EQ(platform::standin::Utf8ToAnsi("a\xF5" "b\xE0\x80\x80" "c\xE2\x82" "d\xE2"), "a?b??c?d?");
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
  char shown[64];
  const ssize_t length = read(terminal, shown, sizeof shown);
  EXPECT_EQ(std::string(shown, length > 0 ? length : 0), "\x1b[91m\x1b[0m");
  close(terminal);
}

}  // namespace
