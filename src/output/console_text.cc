#include "output/console_text.h"

#include "platform/platform.h"

std::string ToConsoleText(const std::string& text) {
  std::string converted = text;
  if (!converted.empty()) platform::ToOemCodePage(&converted[0], converted.size());
  return converted;
}

ProgramWords ConvertProgramWords(const std::string& windows1252) {
  return {windows1252, platform::WordsToCodePage(windows1252, platform::CodePage::kAnsi),
          platform::WordsToCodePage(windows1252, platform::CodePage::kOem)};
}
