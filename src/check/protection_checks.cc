#include "check/protection_checks.h"

#include "check/root_table.h"
#include "cli/run_options.h"
#include "output/console_output.h"
#include "output/console_text.h"
#include "output/report_file.h"
#include "platform/platform.h"

std::uint64_t ProtectedCount = 0;

namespace {

constexpr std::uint16_t kProtectedColour = 0x0C;    // light red
constexpr std::uint16_t kUnprotectedColour = 0x0A;  // light green
constexpr std::uint32_t kKeyWow64_64Key = 0x100;

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The service is asked about the full path: a relative name means nothing
// to it.  A bare drive ("C:", what "C:\\" becomes once its separator is
// stripped) stands for the drive's root, not the drive's current folder.
// Empty where the system gives no full path: the name then goes as written.
std::string FullPathFor(const std::string& path) {
  const bool bare_drive = path.size() == 2 && IsDriveLetter(path[0]) && path[1] == ':';
  return platform::FullPathName(bare_drive ? path + '\\' : path);
}

// The words after a name, converted once for the run: a walk writes tens
// of thousands of lines.
const ProgramWords& ProtectedWords() {
  static const ProgramWords words = ConvertProgramWords(" : prot\xE9g\xE9 par SFC");
  return words;
}

const ProgramWords& UnprotectedWords() {
  static const ProgramWords words = ConvertProgramWords(" : non prot\xE9g\xE9 par SFC");
  return words;
}

void ReportItem(bool is_protected, const std::string& name) {
  static const ProgramWords no_words;
  const ProgramWords* words = &no_words;
  if (is_protected) {
    if (!RunOptions.Silent) SetConsoleColour(kProtectedColour);
    if (!RunOptions.ProtectedOnly) words = &ProtectedWords();
    ++ProtectedCount;
  } else {
    if (!RunOptions.Silent) SetConsoleColour(kUnprotectedColour);
    if (RunOptions.ProtectedOnly) return;
    words = &UnprotectedWords();
  }
  if (name.empty() && words->windows1252.empty() && !RunOptions.ListMode) return;
  if (!RunOptions.Silent) WriteConsoleLine(name, *words);
  if (RunOptions.WriteReport) WriteReportLine(name, *words);
}

}  // namespace

void CheckFileProtection(const std::string& path) {
  try {
    const std::string full = FullPathFor(path);
    const bool is_protected =
        platform::SfcFileProtected(platform::AnsiToUtf16(full.empty() ? path : full).c_str());
    ReportItem(is_protected, path);
  } catch (const ReportFailure&) {
    throw;
  } catch (...) {
  }
}

void CheckKeyProtection(std::uint32_t root, const std::string& subkey_path) {
  try {
    const bool is_protected = platform::SfcKeyProtected(
        root, platform::AnsiToUtf16(subkey_path).c_str(), kKeyWow64_64Key);
    ReportItem(is_protected, KeyDisplayName(root, subkey_path));
  } catch (const ReportFailure&) {
    throw;
  } catch (...) {
  }
}
