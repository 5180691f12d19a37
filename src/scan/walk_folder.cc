#include "scan/walk_folder.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "check/protection_checks.h"
#include "cli/run_options.h"
#include "output/ansi_text.h"
#include "output/report_file.h"
#include "platform/platform.h"
#include "scan/match_mask.h"

namespace {

bool IsDotOrDotDot(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// True when the matcher selects the entry name: both lower-cased, as the
// system lower-cases them.
bool Selects(const char* name, std::size_t length, const std::string& lower_mask) {
  char lower_name[platform::kMaxNameBytes];
  if (length > sizeof lower_name) return false;  // no entry name is that long
  std::memcpy(lower_name, name, length);
  platform::LowerCase(lower_name, length);
  return MatchMask(std::string_view(lower_name, length), lower_mask);
}

// Devices the system answers for in every folder, whatever extension
// follows: "nul.txt" finds the device, never a file of that name.
bool MayNameDevice(const std::string& mask) {
  std::string base = mask.substr(0, mask.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" ||
      base == "CONIN$" || base == "CONOUT$" || base == "CLOCK$")
    return true;
  // COM and LPT with a digit, or with a superscript one, two or three.
  const unsigned char last = base.size() == 4 ? static_cast<unsigned char>(base[3]) : 0;
  return (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         ((last >= '0' && last <= '9') || last == 0xB9 || last == 0xB2 || last == 0xB3);
}

// True when the system's search for the one name "folder\mask" can stand
// in for the listing: for a mask without "*" and "?" the matcher selects
// exactly the names equal to it in any letter case, and the system's
// search finds the entry of such a name.  Not so when the system would
// read the mask otherwise: "<", ">" and '"' are wildcards to it, "/"
// separates folders, trailing dots and blanks are trimmed ("name." would
// find "name"), a device name finds the device, and each pattern must be
// one the system takes (it refuses those that reach the path limit).
bool SearchableByName(const std::string& base, const std::string& mask) {
  return !mask.empty() && mask.find_first_of("*?<>\"/") == std::string::npos &&
         mask.back() != '.' && mask.back() != ' ' && !MayNameDevice(mask) &&
         base.size() + std::max<std::size_t>(mask.size(), 3) < platform::kMaxPath;
}

struct Subfolder {
  std::string name;
  bool link;  // a link, junction or mount point: a reparse point
};

// Checks the matching files of one listing as its entries come and, when
// asked, keeps its subfolders for later: the listing is closed before any
// of them is walked.  A failure part-way ends the listing there.  The
// number of files checked.
std::size_t ScanListing(const std::string& base, const std::string& lower_mask,
                        std::vector<Subfolder>* subfolders) {
  std::size_t checked = 0;
  try {
    platform::FileSearch search;
    if (!search.First((base + "*.*").c_str())) return checked;
    do {
      const std::uint32_t attributes = search.Attributes();
      if (attributes & platform::kAttributeVolumeLabel) continue;
      if (attributes & platform::kAttributeDirectory) {
        // A folder whose name lost a character cannot be named, so
        // neither can its files: it is passed over.
        if (subfolders != nullptr && !IsDotOrDotDot(search.Name()) &&
            std::memchr(search.Name(), platform::kLostCharacter, search.NameLength()) == nullptr)
          subfolders->push_back(Subfolder{std::string(search.Name(), search.NameLength()),
                                          (attributes & platform::kAttributeReparsePoint) != 0});
        continue;
      }
      if (Selects(search.Name(), search.NameLength(), lower_mask)) {
        CheckFileProtection(base, search.Name());
        ++checked;
      }
    } while (search.Next());
  } catch (const ReportFailure&) {
    throw;
  } catch (...) {
    // A folder that fails part-way adds what it had; the walk goes on.
  }
  return checked;
}

// True when the name is the entry's short alias, in any letter case.
bool IsShortNameOf(const std::string& lower_mask, const std::string& short_name) {
  std::string lower_short = short_name;
  platform::LowerCase(&lower_short[0], lower_short.size());
  return !lower_short.empty() && lower_short == lower_mask;
}

// Checks the files that the system's search for the one name finds.  The
// search finds a name in any letter case, and also by an entry's short
// alias: a name typed short selects its entry, shown by its long name,
// unless a file has that long name (Wine makes aliases up by a hash, and
// gives the alias of another entry first).  An entry that the matcher does
// not select and that is no alias of that name came by a letter case the
// system folds otherwise, and may stand where the entry of that name would
// have been, as the system gives one entry: then nothing is checked here
// and the result is false, and the caller lists the folder.
bool ScanFolderByName(const std::string& base, const std::string& mask,
                      const std::string& lower_mask) {
  struct Found {
    std::uint32_t attributes;
    std::string name;
  };
  std::vector<Found> found;
  bool by_alias = false;
  {
    platform::FileSearch search;
    if (search.First((base + mask).c_str())) {
      do {
        if (!Selects(search.Name(), search.NameLength(), lower_mask)) {
          if (!IsShortNameOf(lower_mask, search.ShortName())) return false;
          by_alias = true;
        }
        found.push_back(Found{search.Attributes(), search.Name()});
      } while (search.Next());
    }
  }
  if (by_alias && ScanListing(base, lower_mask, nullptr) > 0) return true;
  for (const Found& entry : found) {
    if (entry.attributes & platform::kAttributeVolumeLabel) continue;
    if (entry.attributes & platform::kAttributeDirectory) continue;
    CheckFileProtection(base, entry.name);
  }
  return true;
}

// One folder that the walk is inside of.  Its identity is read when first
// needed, at most once.
struct PathStep {
  std::string base;
  enum { kUnread, kKnown, kUnknown } state;
  platform::FolderIdentity identity;
};
using WalkPath = std::vector<PathStep>;

bool IdentityKnown(PathStep& step) {
  if (step.state == PathStep::kUnread)
    step.state = platform::ReadFolderIdentity(step.base.c_str(), &step.identity)
                     ? PathStep::kKnown
                     : PathStep::kUnknown;
  return step.state == PathStep::kKnown;
}

// Walks the folder `base` (ending in "\") and the folders below it.  A
// folder already on the walk's path is not entered again, or two links to
// a parent would make the walk go on for ever.  Only a way through a link
// can lead back up (without links, folders make a tree), so identities
// are read only below a link: a tree without links costs no read at all.
// A folder whose identity cannot be read is walked all the same.
void WalkTree(const std::string& base, const std::string& lower_mask, WalkPath& path,
              bool below_link) {
  try {
    PathStep step{base, PathStep::kUnread, {}};
    if (below_link && IdentityKnown(step)) {
      for (PathStep& above : path)
        if (IdentityKnown(above) && above.identity == step.identity) return;
    }
    std::vector<Subfolder> subfolders;
    ScanListing(base, lower_mask, &subfolders);
    path.push_back(std::move(step));
    struct Inside {  // leaves the path again, however the walk below ends
      WalkPath& path;
      ~Inside() { path.pop_back(); }
    } inside{path};
    for (const Subfolder& sub : subfolders)
      WalkTree(base + sub.name + '\\', lower_mask, path, below_link || sub.link);
  } catch (const ReportFailure&) {
    throw;
  } catch (...) {
  }
}

std::string LowerMask(const std::string& mask) {
  std::string lower_mask = mask;
  platform::LowerCase(&lower_mask[0], lower_mask.size());
  return lower_mask;
}

// A folder or mask that lost a character would name others: nothing of
// them is looked at.
bool Nameable(const std::string& folder, const std::string& mask) {
  return !platform::HoldsLostCharacter(folder) && !platform::HoldsLostCharacter(mask);
}

// Checks the matching files of one folder.
void ScanFolderFiles(const std::string& folder, const std::string& mask) {
  try {
    const std::string base = StripTrailingBackslashes(folder) + '\\';
    const std::string lower_mask = LowerMask(mask);
    if (SearchableByName(base, mask) && ScanFolderByName(base, mask, lower_mask)) return;
    ScanListing(base, lower_mask, nullptr);
  } catch (const ReportFailure&) {
    throw;
  } catch (...) {
  }
}

}  // namespace

void WalkFolder(const std::string& folder, const std::string& mask) {
  if (!Nameable(folder, mask)) return;
  StartWalkOfListedFolders();
  if (!RunOptions.Recurse) {
    ScanFolderFiles(folder, mask);
    return;
  }
  // One listing a folder: its files as they come, then its subfolders.
  try {
    WalkPath path;
    WalkTree(StripTrailingBackslashes(folder) + '\\', LowerMask(mask), path, false);
  } catch (const ReportFailure&) {
    throw;
  } catch (...) {
  }
}
