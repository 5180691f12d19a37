// The POSIX stand-in's choices, each as Wine makes it.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix_internal.h"

namespace {

using platform::standin::ListsBefore;
using platform::standin::ListingKeyPrefix;

TEST(StandinListing, OrdersByUpperCaseThenExactly) {
  // As Wine lists a folder ("." and ".." aside).
  const std::vector<std::string> ordered = {
      "a", "A.txt", "a.txt", "ab", "aB.dll", "a_b", "b", "B1", "file", "file.dll",
      "\xC9t\xE9", "\xE9t\xE9", "\xFF"};
  for (std::size_t i = 0; i < ordered.size(); ++i) {
    for (std::size_t j = 0; j < ordered.size(); ++j) {
      const char* x = ordered[i].c_str();
      const char* y = ordered[j].c_str();
      EXPECT_EQ(ListsBefore(x, y), i < j) << x << " / " << y;
      // The packed key never contradicts the full order.
      if (ListingKeyPrefix(x) != ListingKeyPrefix(y)) {
        EXPECT_EQ(ListingKeyPrefix(x) < ListingKeyPrefix(y), i < j) << x << " / " << y;
      }
    }
  }
}

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
      {"Foo", "FOO"},                     {"BAR", "Bar"},
      {"name.", "name"},                  {"bar. . ", "Bar"},
      {"trail ", ""},                     {"...", ""},
      {"broken", ""},                     {"nope", ""},
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

TEST(StandinRegistry, ReadsKeysAndOpensThemAsWineDoes) {
  const std::set<std::string> keys = platform::standin::ParseRegistryFile(
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Tav\\A]\r\n\"v\"=\"[not a key]\"\r\n"
      "[-HKEY_LOCAL_MACHINE\\Software\\Gone]\r\n"
      "[HKEY_CLASSES_ROOT\\.tav]\r\n");
  EXPECT_EQ(keys, (std::set<std::string>{"2\\software", "2\\software\\tav",
                                         "2\\software\\tav\\a", "0\\.tav",
                                         "2\\software\\classes",
                                         "2\\software\\classes\\.tav"}));
  EXPECT_TRUE(platform::standin::ParseRegistryFile("[HKEY_USERS\\x]\r\n").empty());

  const std::string path = testing::TempDir() + "standin_registry.reg";
  FILE* file = fopen(path.c_str(), "wb");
  fputs("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Tav\\A]\n", file);
  fclose(file);
  setenv("TAVREL_STANDIN_REGISTRY", path.c_str(), 1);
  const struct {
    std::uint32_t root;
    const char* subkey;
    long result;
  } opens[] = {
      {0x80000002, "", 0},           {0x80000002, "software\\TAV\\a", 0},
      {0x80000002, "Software\\\\Tav\\", 0}, {0x80000002, "\\Software", 161},
      {0x80000002, "Software\\Nope", 2},  {0x7FFFFFFF, "", 6},
  };
  for (const auto& o : opens) {
    platform::RegistryKey key;
    EXPECT_EQ(key.Open(o.root, o.subkey, 0x20119), o.result) << o.root << " " << o.subkey;
  }
}

// Each row as Wine's GetFullPathNameA answered it.
TEST(StandinFullPathName, ResolvesAsWineDoes) {
  const std::string cwd = platform::CurrentDirectory();
  const struct {
    std::string name;
    std::string full;
  } rows[] = {
      {"a\\...\\b", cwd + "\\a\\..\\b"},  // an inner name loses one dot
      {"a .\\b/c. .", cwd + "\\a \\b\\c"},  // the last one every dot and blank
      {"...", cwd + "\\"},
      {"c:x\\..\\..\\y", "c:\\y"},         // another drive's folder is its root
      {"\\\\?\\C:\\x\\..", "\\\\?\\C:"},
      {"c:\\x\\nul.txt", "\\\\.\\nul"},
      {"  ", ""},
      {"Z:\\" + std::string(257, 'a'), ""},  // 260 bytes
  };
  for (const auto& r : rows) EXPECT_EQ(platform::FullPathName(r.name), r.full) << r.name;
}

TEST(StandinCatalogue, SkipsCommentsAndFoldsCase) {
  const auto items = platform::standin::ParseCatalogue(
      "; protected\r\nZ:\\Win\\A.DLL\r\n\r\n   \nHKEY_LOCAL_MACHINE\\Software\\X\n");
  EXPECT_EQ(items, (std::unordered_set<std::string>{"z:\\win\\a.dll",
                                                    "hkey_local_machine\\software\\x"}));
}

}  // namespace
