// A fake of the platform seam for the portable core's tests: no system
// call, the same answers on every platform.  Windows-1252 case mapping,
// OEM text equal to ANSI, a registry and a protection service that answer
// from the sets below and remember what they were asked; a console whose
// colour is 07 and folders that hold nothing.
#ifndef TAVREL_TESTS_UNIT_FAKE_PLATFORM_H_
#define TAVREL_TESTS_UNIT_FAKE_PLATFORM_H_

#include <map>
#include <set>
#include <string>
#include <vector>

namespace fake {

struct System {
  std::set<std::string> keys;       // "<root in hex>\<subkey>" that open
  std::set<std::string> protected_items;  // full paths the service protects
  std::map<std::string, std::string> full_paths;  // names with a full path
  std::map<std::string, std::string> expansions;  // whole texts and what they expand to
  bool expansion_without_nul = false;  // fills the buffer, no NUL
  std::string command_line = "tavrel";
  // every registry open, service query, search pattern and colour set
  std::vector<std::string> asked;
  std::string output;               // standard output
};

// Cleared before each test that uses it.
System& Sys();
void Reset();

}  // namespace fake

#endif  // TAVREL_TESTS_UNIT_FAKE_PLATFORM_H_
