// Telling keys from paths, and splitting a path.  Input: one byte of which
// the low bit turns /K on, then the name.
//
// Properties: ClassifyName trims in every case; a path comes back as the
// trimmed name; a key's subkey path is the trimmed name after its first
// "\" without trailing "\", under a root the segment before that "\"
// names (any root at all only under /K); a name that is empty or begins
// with "\" is a key of the unnamed root 4.  FolderPartLength ends just
// after the last separator; StripTrailingBackslashes cuts backslashes only.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/run_options.h"
#include "fuzz_check.h"
#include "resolve/dispatch_name.h"
#include "scan/strip_trailing_backslashes.h"
#include "resolve/registry_names.h"

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string Trimmed(const std::string& text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && IsBlankOrControl(text[begin])) ++begin;
  while (end > begin && IsBlankOrControl(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

void CheckClassifyName(const std::string& input, bool key_mode) {
  RunOptions = RunOptionsRecord();
  RunOptions.KeyMode = key_mode;
  const std::string trimmed = Trimmed(input);
  std::string name = input;
  std::uint32_t root = 0;
  const bool key = ClassifyName(name, root);
  if (!key) {
    FUZZ_CHECK(!key_mode);
    FUZZ_CHECK(name == trimmed);
    return;
  }
  FUZZ_CHECK(name.empty() || name.back() != '\\');
  const std::size_t slash = trimmed.find('\\');
  const std::string segment = trimmed.substr(0, slash);
  const std::string after = slash == std::string::npos ? std::string() : trimmed.substr(slash + 1);
  FUZZ_CHECK(name == StripTrailingChar('\\', after));
  if (segment.empty()) {
    FUZZ_CHECK(root == kFirstRootHandle + 4);
    return;
  }
  const int index = FindRootIndex(ExpandRootAbbreviation(segment));
  FUZZ_CHECK(index != 6);
  FUZZ_CHECK(index >= 0 ? root == kFirstRootHandle + static_cast<std::uint32_t>(index)
                        : key_mode && root == kFirstRootHandle - 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  CheckClassifyName(input, (data[0] & 1) != 0);

  // The stand-in has no double-byte characters: the last separator decides.
  const std::size_t folder = FolderPartLength(input);
  const std::size_t last = input.find_last_of("\\:");
  FUZZ_CHECK(folder == (last == std::string::npos ? 0 : last + 1));
  FUZZ_CHECK(folder <= input.size());
  if (folder > 0) FUZZ_CHECK(input[folder - 1] == '\\' || input[folder - 1] == ':');

  const std::string stripped = StripTrailingBackslashes(input);
  FUZZ_CHECK(input.compare(0, stripped.size(), stripped) == 0);
  FUZZ_CHECK(stripped.empty() || stripped.back() != '\\');
  FUZZ_CHECK(input.find_first_not_of('\\', stripped.size()) == std::string::npos);
  return 0;
}
