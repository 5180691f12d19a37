// A fake of the platform seam for the portable core's tests: no system
// call, the same answers on every platform.  Windows-1252 case mapping; a
// name's ANSI \xE9 is OEM \x82, while the program's \xE9 is "e" in the ANSI
// code page and "E" in the OEM one, so that every text shows which road it
// took.  A registry and a protection service that answer from the sets
// below and remember what they were asked; a report file kept in memory; a
// console whose colour is 07 and folders that hold what `listings` says.
#ifndef TAVREL_TESTS_UNIT_FAKE_PLATFORM_H_
#define TAVREL_TESTS_UNIT_FAKE_PLATFORM_H_

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fake {

struct Entry {
  std::uint32_t attributes;
  std::string name;
};

struct System {
  std::set<std::string> keys;       // "<root in hex>\<subkey>" that open
  std::set<std::string> protected_items;  // full paths the service protects
  std::map<std::string, std::string> full_paths;  // names with a full path
  std::map<std::string, std::string> long_paths;  // full paths with a long form
  std::map<std::string, std::string> expansions;  // whole texts and what they expand to
  std::map<std::string, std::vector<Entry>> listings;  // search patterns and what they find
  bool expansion_without_nul = false;  // fills the buffer, no NUL
  int expansion_count = -1;  // the count given back, when not the text's bytes
  // every registry open, long form, service query and search pattern
  std::vector<std::string> asked;
  std::vector<std::string> colours;  // every colour set, in hex
  std::string output;               // standard output
  std::string report;               // the file that File::Open creates
  bool console = false;             // standard output is a console
  bool double_byte = false;         // lead bytes as code page 932 has them
  std::string command_line = "tavrel";  // empty: reading it fails
  int console_attributes = 0x07;    // the console's colours; -1: no console
  void (*interrupt)() = nullptr;    // what an interruption runs
  int lock_depth = 0;               // the output lock, taken and not left
};

// Cleared, with the run options, before each test that uses them.
System& Sys();
void Reset();

}  // namespace fake

#endif  // TAVREL_TESTS_UNIT_FAKE_PLATFORM_H_
