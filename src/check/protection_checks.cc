#include "check/protection_checks.h"

#include "check/root_table.h"
#include "cli/run_options.h"
#include "output/console_output.h"
#include "output/report_file.h"
#include "platform/platform.h"

std::uint64_t ProtectedCount = 0;

namespace {

constexpr std::uint16_t kProtectedColour = 0x0C;    // light red
constexpr std::uint16_t kUnprotectedColour = 0x0A;  // light green
constexpr std::uint32_t kKeyWow64_64Key = 0x100;

void ReportItem(bool is_protected, const std::string& name) {
  std::string line;
  if (is_protected) {
    if (!RunOptions.Silent) SetConsoleColour(kProtectedColour);
    line = RunOptions.ProtectedOnly ? name : name + " : prot\xE9g\xE9 par SFC";
    ++ProtectedCount;
  } else {
    if (!RunOptions.Silent) SetConsoleColour(kUnprotectedColour);
    if (RunOptions.ProtectedOnly) return;
    line = name + " : non prot\xE9g\xE9 par SFC";
  }
  if (line.empty() && !RunOptions.ListMode) return;
  if (!RunOptions.Silent) WriteConsoleLine(line);
  if (RunOptions.WriteReport) WriteReportLine(line);
}

}  // namespace

void CheckFileProtection(const std::string& path) {
  try {
    const bool is_protected =
        platform::SfcFileProtected(platform::AnsiToUtf16(path).c_str());
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
