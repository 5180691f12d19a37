#include "app/file_exists.h"

#include "platform/platform.h"

bool FileExists(const std::string& name) {
  if (name.size() >= platform::kMaxPath) return false;
  platform::FileSearch search;
  return search.First(name.c_str()) &&
         (search.Attributes() & platform::kAttributeDirectory) == 0;
}
