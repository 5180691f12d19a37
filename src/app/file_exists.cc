#include "app/file_exists.h"

#include "platform/platform.h"

bool FileExists(const std::string& name) {
  // A name that lost a character would find another file.
  if (name.size() >= platform::kMaxPath || platform::HoldsLostCharacter(name)) return false;
  platform::FileSearch search;
  return search.First(name.c_str()) &&
         (search.Attributes() & platform::kAttributeDirectory) == 0;
}
