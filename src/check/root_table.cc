#include "check/root_table.h"

const char* const RootTable[kRootCount] = {
    "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
    "HKEY_USERS",        "",                  "HKEY_CURRENT_CONFIG",
    "",
};

const char* RootName(std::uint32_t root) {
  const std::uint32_t index = root - kFirstRootHandle;
  return index < kRootCount ? RootTable[index] : "";
}

bool IsRootWithoutName(std::uint32_t root) {
  return root - kFirstRootHandle < kRootCount && *RootName(root) == '\0';
}

std::string KeyDisplayName(std::uint32_t root,
                           const std::string& subkey_path) {
  std::string name = RootName(root);
  if (!subkey_path.empty()) {
    name += '\\';
    name += subkey_path;
  }
  return name;
}
