#include "cli/parse_command_line.h"

#include "cli/run_options.h"
#include "cli/split_command_line.h"
#include "cli/usage_text.h"
#include "output/ansi_text.h"
#include "platform/platform.h"

namespace {

const char kDefaultReportFileName[] = "tavREL.txt";

// An option's letter, in upper case as the system's code page has it.
char UpperLetter(const std::string& argument) { return AnsiUpperCase(argument.substr(1, 1))[0]; }

void ReadOption(const std::string& argument) {
  if (argument.size() == 2) {
    switch (UpperLetter(argument)) {
      case '?': RunOptions.ShowUsage = true; break;
      case 'F': RunOptions.Force = true; break;
      case 'K': RunOptions.KeyMode = true; break;
      case 'O':
        RunOptions.WriteReport = true;
        RunOptions.ReportFileName = kDefaultReportFileName;
        break;
      case 'P': RunOptions.ProtectedOnly = true; break;
      case 'R': RunOptions.Recurse = true; break;
      case 'S': RunOptions.Silent = true; break;
      default: break;  // unknown letters, L included, are ignored
    }
    return;
  }
  if (argument.size() < 4 || argument[2] != ':') return;
  const char letter = UpperLetter(argument);
  if (letter == 'L') {
    RunOptions.ListMode = true;
    RunOptions.ListFileName = argument.substr(3);
  } else if (letter == 'O') {
    RunOptions.WriteReport = true;
    RunOptions.ReportFileName = argument.substr(3);
  }
}

}  // namespace

void ReadArguments(const std::vector<std::string>& arguments) {
  if (arguments.empty()) RunOptions.ShowUsage = true;
  CurrentName.clear();
  for (const std::string& argument : arguments) {
    if (argument.empty()) continue;
    if (argument == "?") {
      RunOptions.ShowUsage = true;
    } else if (argument[0] == '/') {
      ReadOption(argument);
    } else if (CurrentName.empty() && RunOptions.ListFileName.empty()) {
      CurrentName = argument;
    }
  }
}

bool ParseCommandLine() {
  ReadArguments(SplitCommandLine(platform::CommandLine()));
  if (!RunOptions.ShowUsage) return true;
  WriteUsageText();
  return false;
}
