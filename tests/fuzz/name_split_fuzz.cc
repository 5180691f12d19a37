// Telling keys from paths, and splitting a path.  Input: one byte of which
// the low bit turns /K on, then the name.
//
// Properties: under /K every name is a key; a path comes back trimmed of
// blanks and control bytes at both ends, but for a lost character, which
// stands for a letter; a key's subkey path ends in no
// "\".  FolderPartLength ends just after a separator, and none follows
// (the stand-in has no double-byte characters); StripTrailingBackslashes
// cuts backslashes only.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/run_options.h"
#include "fuzz_check.h"
#include "output/ansi_text.h"
#include "platform/platform.h"
#include "resolve/dispatch_name.h"
#include "resolve/registry_names.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  RunOptions = RunOptionsRecord();
  RunOptions.KeyMode = (data[0] & 1) != 0;
  std::string name = input;
  std::uint32_t root = 0;
  if (ClassifyName(name, root)) {
    FUZZ_CHECK(name.empty() || name.back() != '\\');
  } else {
    FUZZ_CHECK(!RunOptions.KeyMode && input.find(name) != std::string::npos);
    const auto blank = [](char c) {
      return static_cast<unsigned char>(c) <= 0x20 && c != platform::kLostCharacter;
    };
    FUZZ_CHECK(name.empty() || (!blank(name.front()) && !blank(name.back())));
  }

  const std::size_t folder = FolderPartLength(input);
  FUZZ_CHECK(folder <= input.size());
  if (folder > 0) FUZZ_CHECK(input[folder - 1] == '\\' || input[folder - 1] == ':');
  FUZZ_CHECK(input.find_first_of("\\:", folder) == std::string::npos);

  const std::string stripped = StripTrailingBackslashes(input);
  FUZZ_CHECK(input.compare(0, stripped.size(), stripped) == 0);
  FUZZ_CHECK(stripped.empty() || stripped.back() != '\\');
  FUZZ_CHECK(input.find_first_not_of('\\', stripped.size()) == std::string::npos);
  return 0;
}
