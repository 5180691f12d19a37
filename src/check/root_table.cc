#include "check/root_table.h"

const char* const RootTable[kRootCount] = {
    "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
    "HKEY_USERS",        "",                  "HKEY_CURRENT_CONFIG",
    "",
};

std::string KeyDisplayName(std::uint32_t root,
                           const std::string& subkey_path) {
  // A handle outside the table (0x7FFFFFFF under /K) has no root name.
  const std::uint32_t index = root - kFirstRootHandle;
  std::string name = index < kRootCount ? RootTable[index] : "";
  if (!subkey_path.empty()) {
    name += '\\';
    name += subkey_path;
  }
  return name;
}
