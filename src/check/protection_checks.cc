#include "check/protection_checks.h"

#include <algorithm>
#include <vector>

#include "check/root_table.h"
#include "cli/run_options.h"
#include "output/ansi_text.h"
#include "output/console_output.h"
#include "output/console_text.h"
#include "output/output_lock.h"
#include "output/report_file.h"
#include "platform/platform.h"

std::uint64_t ProtectedCount = 0;

namespace {

constexpr std::uint16_t kProtectedColour = 0x0C;    // light red
constexpr std::uint16_t kUnprotectedColour = 0x0A;  // light green

constexpr std::uint32_t kLocalMachineRoot = 0x80000002u;
constexpr std::uint32_t kCurrentConfigRoot = 0x80000005u;
const std::string kCurrentConfigPath = "System\\CurrentControlSet\\Hardware Profiles\\Current";

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

// The service knows files by their long names: short (8.3) names are
// asked about in their long form.  Where the system gives none (an item
// that does not exist, under /F), the full path as it is.
std::string LongFormFor(const std::string& full) {
  const std::string long_path = platform::LongPathName(full);
  return long_path.empty() ? full : long_path;
}

// Where the last name of a path starts, looked for character by character:
// a trail byte is never taken for a separator.
std::size_t LastNameStart(const std::string& path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); i = NextCharacter(path, i)) {
    if (path[i] == '\\') start = i + 1;
  }
  return start;
}

// The name as a line shows it: a character that the code page lacks is "?".
// Most names hold none, and are shown as they are, without a copy.
const std::string& ShownName(const std::string& name, std::string& shown) {
  if (!platform::HoldsLostCharacter(name)) return name;
  shown = name;
  std::replace(shown.begin(), shown.end(), platform::kLostCharacter, '?');
  return shown;
}

void ReportItem(bool is_protected, const std::string& name) {
  static const ProgramWords no_words;
  const ProgramWords* words = &no_words;
  // The item's colour and lines reach an interruption whole.
  const OutputLock lock;
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
  std::string copy;
  const std::string& shown = ShownName(name, copy);
  if (!RunOptions.Silent) WriteConsoleLine(shown, *words);
  if (RunOptions.WriteReport) WriteReportLine(shown, *words);
}

// A path that lost a character would ask about another file: such an item
// is not protected, as far as anyone can tell.
void AskAndReport(const std::string& asked, const std::string& path) {
  ReportItem(!platform::HoldsLostCharacter(asked) &&
                 platform::SfcFileProtected(platform::AnsiToUtf16(asked).c_str()),
             path);
}

// The folders of the walk in progress, outermost first, each full path
// (ending in "\") with its long form.  A walk's subfolder comes from a
// listing, which gave its long name: its long form is its parent's and
// that name, without a question to the system (which would search every
// part of the path again).  Only the folder where the walk starts, as the
// user wrote it, may hold short names.
struct WalkFolderForms {
  std::string full, long_form;
};
std::vector<WalkFolderForms> walk_folders;

// The long form of `full_folder` (ending in "\"), a folder of the walk.
const std::string& LongFolderFor(const std::string& full_folder) {
  if (!walk_folders.empty() && walk_folders.back().full == full_folder)
    return walk_folders.back().long_form;  // the files of a folder come in a row
  // Back up to the folder it lies in, if the walk is still inside one.
  while (!walk_folders.empty() &&
         full_folder.compare(0, walk_folders.back().full.size(), walk_folders.back().full) != 0)
    walk_folders.pop_back();
  const bool one_below =
      !walk_folders.empty() &&
      full_folder.find('\\', walk_folders.back().full.size()) == full_folder.size() - 1;
  std::string long_form = one_below ? walk_folders.back().long_form +
                                          full_folder.substr(walk_folders.back().full.size())
                                    : LongFormFor(full_folder);
  walk_folders.push_back({full_folder, std::move(long_form)});
  return walk_folders.back().long_form;
}

}  // namespace

void StartWalkOfListedFolders() { walk_folders.clear(); }

void CheckFileProtection(const std::string& path) {
  try {
    const std::string full = FullPathFor(path);
    AskAndReport(full.empty() ? path : LongFormFor(full), path);
  } catch (const ReportFailure&) {
    throw;
  } catch (...) {
  }
}

void CheckFileProtection(const std::string& folder, const std::string& listed_name) {
  const std::string path = folder + listed_name;
  try {
    const std::string full = FullPathFor(path);
    const std::string* asked = full.empty() ? &path : &full;
    std::string long_path;
    if (!full.empty()) {
      // Mostly the full path ends with "\" and the name as listed.
      const std::size_t name_size = listed_name.size();
      const std::size_t split =
          full.size() > name_size && full[full.size() - name_size - 1] == '\\' &&
                  full.compare(full.size() - name_size, name_size, listed_name) == 0
              ? full.size() - name_size
              : LastNameStart(full);
      const std::string& long_folder = LongFolderFor(full.substr(0, split));
      if (long_folder.size() + full.size() - split < platform::kMaxPath) {
        long_path = long_folder + full.substr(split);
        asked = &long_path;
      }
    }
    AskAndReport(*asked, path);
  } catch (const ReportFailure&) {
    throw;
  } catch (...) {
  }
}

void CheckKeyProtection(std::uint32_t root, const std::string& subkey_path) {
  try {
    // The service takes a predefined root with a name: the roots without
    // one and a name that named no root (0x7FFFFFFF under /K) are no key it
    // could protect.  An empty subkey is the root itself, which the service
    // asks to be given as null.  The service knows HKCR, HKCU, HKLM and HKU
    // only: HKEY_CURRENT_CONFIG, a link to the current hardware profile, is
    // asked about under the profile's path; its line still names it.
    const bool current_config = root == kCurrentConfigRoot;
    const std::string asked_path =
        current_config ? kCurrentConfigPath + (subkey_path.empty() ? "" : "\\" + subkey_path)
                       : subkey_path;
    const bool is_protected =
        *RootName(root) != '\0' && !platform::HoldsLostCharacter(subkey_path) &&
        platform::SfcKeyProtected(current_config ? kLocalMachineRoot : root,
                                  asked_path.empty() ? nullptr
                                                     : platform::AnsiToUtf16(asked_path).c_str());
    ReportItem(is_protected, KeyDisplayName(root, subkey_path));
  } catch (const ReportFailure&) {
    throw;
  } catch (...) {
  }
}
