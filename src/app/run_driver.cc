#include "app/run_driver.h"

#include <string>

#include "app/file_exists.h"
#include "app/list_file_reader.h"
#include "check/protection_checks.h"
#include "cli/parse_command_line.h"
#include "cli/run_options.h"
#include "output/console_output.h"
#include "output/console_text.h"
#include "output/output_lock.h"
#include "output/report_file.h"
#include "platform/platform.h"
#include "resolve/dispatch_name.h"

int ExitCode = 0;

namespace {

const char kMissingListFileMessage[] =
    "tavREL: le fichier sp\xE9" "cifi\xE9 n'existe pas";
const char kFailureMessage[] =
    "tavREL: Erreur dans la cr\xE9" "ation du fichier de sortie";
const char kWordElement[] = " \xE9l\xE9ment";
const char kWordProtected[] = " prot\xE9g\xE9";

void OpenReport() {
  const std::string& name = RunOptions.ReportFileName;
  // Names of 260 bytes or more cannot be opened, and a name that lost a
  // character would open another file.
  if (name.size() >= platform::kMaxPath || platform::HoldsLostCharacter(name))
    throw platform::Failure("report name");
  if (FileExists(name)) {
    StartReportFile(platform::File::Open(name, platform::File::Access::kAppend),
                    true);
  } else {
    StartReportFile(platform::File::Open(name, platform::File::Access::kCreate),
                    false);
  }
}

void RunListLoop() {
  platform::File list =
      platform::File::Open(RunOptions.ListFileName, platform::File::Access::kRead);
  ListFileReader reader([&list](char* buffer, std::size_t size) {
    return list.Read(buffer, size);
  });
  while (reader.ReadLine(CurrentName)) {
    if (!CurrentName.empty()) {
      DispatchName(CurrentName);
      continue;
    }
    const OutputLock lock;  // the two sinks' empty lines together
    if (!RunOptions.Silent) WriteConsoleRaw("\r\n", 2);
    if (RunOptions.WriteReport) WriteReportLine("");
  }
}

void WriteClosingCount() {
  const ProgramWords closing_count = ConvertProgramWords(
      "\r\n" + std::to_string(ProtectedCount) + WithPlural(kWordElement, ProtectedCount) +
      WithPlural(kWordProtected, ProtectedCount));
  const OutputLock lock;
  if (!RunOptions.Silent) WriteConsoleLine("", closing_count);
  if (RunOptions.WriteReport) WriteReportLine("", closing_count);
}

void RunBody() {
  try {
    if (RunOptions.WriteReport) OpenReport();
    if (!RunOptions.ListMode) {
      DispatchName(CurrentName);
    } else if (!RunOptions.ListFileName.empty() &&
               FileExists(RunOptions.ListFileName)) {
      RunListLoop();
    } else {
      WriteConsoleMessage(kMissingListFileMessage);
    }
    if (!RunOptions.Silent) SetConsoleColour(SavedAttributes);
    if (ProtectedCount > 0 && !RunOptions.ProtectedOnly) WriteClosingCount();
    if (RunOptions.WriteReport) CloseReportFile();
  } catch (...) {
    if (RunOptions.WriteReport) AbandonReportFile();
    ExitCode = 1;
    WriteConsoleMessage(kFailureMessage);
  }
}

}  // namespace

std::string WithPlural(const std::string& word, std::uint64_t count) {
  return !word.empty() && count > 1 ? word + "s" : word;
}

void WriteOutOnInterrupt() {
  // The report first: its lines are the ones kept.
  if (RunOptions.WriteReport) AbandonReportFile();
  CloseConsoleOutput();
  if (!RunOptions.Silent) SetConsoleColour(SavedAttributes);
}

int RunProgram() {
  ConsoleHandle = platform::StdOutputHandle();
  platform::ReadConsoleAttributes(ConsoleHandle, &SavedAttributes);
  OpenConsoleOutput();
  try {
    if (ParseCommandLine()) {
      platform::HandleInterrupts(WriteOutOnInterrupt);
      RunBody();
    }
  } catch (...) {
    // Outside the run body (the command line, the usage text): no message,
    // but no success either.
    ExitCode = 1;
  }
  // From here on an interruption has nothing left to write: the lock stays
  // with this thread until the process ends.
  platform::LockOutput();
  if (!RunOptions.Silent) SetConsoleColour(SavedAttributes);
  // A console that could not be written means the run did not deliver.
  if (!CloseConsoleOutput()) return 1;
  return ExitCode;
}
