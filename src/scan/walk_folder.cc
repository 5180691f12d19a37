#include "scan/walk_folder.h"

#include <cstring>

#include "check/protection_checks.h"
#include "cli/run_options.h"
#include "output/report_file.h"
#include "platform/platform.h"
#include "scan/match_mask.h"
#include "scan/strip_trailing_backslashes.h"

namespace {

bool IsDotOrDotDot(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

}  // namespace

void ScanFolderFiles(const std::string& folder, const std::string& mask) {
  try {
    const std::string base = StripTrailingBackslashes(folder) + '\\';
    platform::FileSearch search;
    if (!search.First((base + "*.*").c_str())) return;
    std::string lower_mask = mask;
    platform::LowerCase(&lower_mask[0], lower_mask.size());
    char lower_name[platform::kMaxPath];
    do {
      const std::uint32_t attributes = search.Attributes();
      if (attributes & platform::kAttributeVolumeLabel) continue;
      if (attributes & platform::kAttributeDirectory) continue;
      const std::size_t length = search.NameLength();
      std::memcpy(lower_name, search.Name(), length);
      platform::LowerCase(lower_name, length);
      if (MatchMask(std::string_view(lower_name, length), lower_mask))
        CheckFileProtection(base + search.Name());
    } while (search.Next());
  } catch (const ReportFailure&) {
    throw;
  } catch (...) {
    // A folder that fails part-way adds what it had; the walk goes on.
  }
}

void WalkFolder(const std::string& folder, const std::string& mask) {
  try {
    ScanFolderFiles(folder, mask);
    if (!RunOptions.Recurse) return;
    // The subfolders come from a second listing, once this folder's files
    // are all done and their listing closed.
    const std::string base = StripTrailingBackslashes(folder) + '\\';
    platform::FileSearch search;
    if (!search.First((base + "*.*").c_str())) return;
    do {
      const std::uint32_t attributes = search.Attributes();
      if (attributes & platform::kAttributeVolumeLabel) continue;
      if (!(attributes & platform::kAttributeDirectory)) continue;
      if (IsDotOrDotDot(search.Name())) continue;
      WalkFolder(base + search.Name(), mask);
    } while (search.Next());
  } catch (const ReportFailure&) {
    throw;
  } catch (...) {
  }
}
