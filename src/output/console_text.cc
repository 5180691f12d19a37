#include "output/console_text.h"

#include "platform/platform.h"

std::string ToConsoleText(const std::string& text) {
  std::string converted = text;
  if (!converted.empty()) platform::ToOemCodePage(&converted[0], converted.size());
  return converted;
}
