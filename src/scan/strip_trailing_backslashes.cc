#include "scan/strip_trailing_backslashes.h"

std::string StripTrailingBackslashes(std::string text) {
  while (!text.empty() && text.back() == '\\') text.pop_back();
  return text;
}
