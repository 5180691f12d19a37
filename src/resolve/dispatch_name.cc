#include "resolve/dispatch_name.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "check/protection_checks.h"
#include "cli/run_options.h"
#include "output/ansi_text.h"
#include "platform/platform.h"
#include "resolve/registry_names.h"
#include "scan/walk_folder.h"

namespace {

constexpr std::uint32_t kExpansionBufferSize = 32768;
constexpr std::size_t kExpansionLimit = 32767;  // characters, NUL included

bool IsSeparator(char c) { return c == '\\' || c == ':'; }

}  // namespace

bool ExpandNameVariables(const std::string& text, std::string* expanded) {
  // One buffer serves every name of the run: a list of a million lines
  // must not cost a million fresh 32 KB buffers.
  static std::vector<char> buffer(kExpansionBufferSize);
  // The system takes no longer text to expand (its answer for one is
  // undefined), nor gives a longer expansion back.
  if (text.size() >= kExpansionLimit) return false;
  std::uint32_t size = kExpansionBufferSize;
  std::uint32_t n = platform::ExpandEnvironment(text.c_str(), buffer.data(), size);
  // A longer expansion is asked for again at the size the system needs.
  if (n > size) {
    if (buffer.size() < n) buffer.resize(n);
    size = n;
    n = platform::ExpandEnvironment(text.c_str(), buffer.data(), size);
  }
  if (n == 0 || n > size) return false;
  // The text runs to the NUL the system wrote.  Ending before the count
  // says it should, it was cut by the system.  (Some systems count
  // characters, not bytes, for double-byte text: a count short of the NUL
  // is no cut.)
  const char* nul = static_cast<const char*>(std::memchr(buffer.data(), '\0', size));
  if (nul == nullptr) return false;
  const std::size_t length = static_cast<std::size_t>(nul - buffer.data());
  if (length + 1 < n) return false;
  expanded->assign(buffer.data(), length);
  return true;
}

std::size_t FolderPartLength(const std::string& name) {
  // Walked forward by characters, so that a trail byte is never taken for
  // a separator.
  std::size_t folder_length = 0;
  for (std::size_t i = 0; i < name.size(); i = NextCharacter(name, i)) {
    if (IsSeparator(name[i])) folder_length = i + 1;
  }
  return folder_length;
}

void DispatchName(const std::string& name) {
  std::string working = name;
  std::uint32_t root_handle = 0;
  if (ClassifyName(working, root_handle)) {
    if (RunOptions.Force || KeyExists(root_handle, working))
      CheckKeyProtection(root_handle, working);
    return;
  }

  std::string expanded;
  if (!ExpandNameVariables(working, &expanded)) return;
  const std::size_t split = FolderPartLength(expanded);
  std::string folder_path = StripTrailingBackslashes(expanded.substr(0, split));
  if (folder_path.empty())
    folder_path = StripTrailingBackslashes(platform::CurrentDirectory());
  const std::string file_mask = expanded.substr(split);

  // A folder whose name lost a character cannot be named: it is not there.
  const std::uint32_t attributes = platform::HoldsLostCharacter(folder_path)
                                       ? platform::kInvalidFileAttributes
                                       : platform::FileAttributes(folder_path.c_str());
  const bool present = attributes != platform::kInvalidFileAttributes &&
                       (attributes & platform::kAttributeDirectory) != 0;
  if (!present && !RunOptions.Force) return;

  if (file_mask.empty()) {
    CheckFileProtection(folder_path);
  } else {
    WalkFolder(folder_path, file_mask);
  }
}
