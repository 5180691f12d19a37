// The stand-in's own settings: files named by environment variables.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/standin/internal.h"

namespace platform {
namespace standin {

bool ReadSettingFile(const char* variable, std::string* contents) {
  const char* path = std::getenv(variable);
  if (path == nullptr || *path == '\0') return false;
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  contents->clear();
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) contents->append(buffer, n);
  std::fclose(file);
  return true;
}

}  // namespace standin
}  // namespace platform
