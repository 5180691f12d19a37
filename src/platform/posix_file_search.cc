// Folder listings on the stand-in, in the order Wine gives them: "." and
// ".." first, then by name in upper case.  The entry type comes from the
// directory entry itself; only links and entries of unknown type are
// looked up, so a listing costs no call per file.
#include <dirent.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix_internal.h"

namespace platform {
namespace {

constexpr std::uint32_t kAttributeArchive = 0x20;
constexpr std::uint32_t kUnlisted = 0xFFFFFFFFu;

struct Entry {
  std::uint64_t key;     // orders the first eight characters
  std::uint32_t offset;  // into Listing::names
  std::uint32_t length;  // of the name, its NUL left out
  std::uint32_t attributes;
  bool dots;             // "." or "..", which list first
};

// One listing: the matching names, one after another, each ending in NUL.
struct Listing {
  std::string names;
  std::vector<Entry> entries;
  std::size_t next = 0;
  // What the listing was read from, to serve the same search again.
  std::string host_folder;
  std::string mask;
  struct stat folder_info;
  bool reusable = false;
};

// The walk lists each folder twice, the second time right after the first
// is closed.  The last closed listing serves that second search when the
// folder is provably unchanged: same inode, same change times, and those
// times older than the listing by more than the file system's clock tick,
// so that no change can hide behind an equal time stamp.  Listings that
// hold links are never kept: a link's target may change on its own.
std::unique_ptr<Listing>& LastListing() {
  static std::unique_ptr<Listing> last;
  return last;
}

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool Unchanged(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         SameTime(a.st_mtim, b.st_mtim) && SameTime(a.st_ctim, b.st_ctim);
}

// True when both change times lie more than 100 ms before `now`.
bool Settled(const struct stat& info, const timespec& now) {
  const auto ms = [](const timespec& t) {
    return static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
  };
  return ms(info.st_mtim) + 100 < ms(now) && ms(info.st_ctim) + 100 < ms(now);
}

bool HasWildcard(const std::string& text) {
  return text.find_first_of("*?") != std::string::npos;
}

// Ordinary wildcard matching, letter case folded: the system's own rule
// for search patterns.
bool MatchPattern(const char* name, const char* pattern) {
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name) {
    if (*pattern == '*') {
      star = pattern++;
      resume = name;
    } else if (*pattern == '?' ||
               standin::FoldAnsi(static_cast<unsigned char>(*pattern)) ==
                   standin::FoldAnsi(static_cast<unsigned char>(*name))) {
      ++pattern;
      ++name;
    } else if (star) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}

// Links are followed; a link that leads nowhere is not listed at all.
std::uint32_t EntryAttributes(const std::string& directory, const dirent* entry) {
  if (entry->d_type == DT_DIR) return kAttributeDirectory;
  if (entry->d_type == DT_REG) return kAttributeArchive;
  struct stat info;
  const std::string path = directory + "/" + entry->d_name;
  if (stat(path.c_str(), &info) != 0) return kUnlisted;
  return S_ISDIR(info.st_mode) ? kAttributeDirectory : kAttributeArchive;
}

// Appends the entry's ANSI name and its NUL; ASCII names are copied.
void AppendAnsiName(std::string& names, const char* host_name) {
  const char* p = host_name;
  while (*p && static_cast<unsigned char>(*p) < 0x80) ++p;
  if (*p == '\0') {
    names.append(host_name, static_cast<std::size_t>(p - host_name) + 1);
  } else {
    names += standin::Utf8ToAnsi(host_name);
    names += '\0';
  }
}

bool IsDotOrDotDot(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

}  // namespace

FileSearch::~FileSearch() { Close(); }

void FileSearch::Close() {
  std::unique_ptr<Listing> listing(static_cast<Listing*>(handle_));
  handle_ = nullptr;
  if (listing && listing->reusable) LastListing() = std::move(listing);
}

bool FileSearch::First(const char* pattern_text) {
  Close();
  const std::string pattern = pattern_text;
  // The ANSI file search refuses patterns that reach the path limit.
  if (pattern.empty() || pattern.size() >= kMaxPath) return false;
  const std::size_t split = pattern.find_last_of("\\/:");
  const std::string folder = split == std::string::npos ? "" : pattern.substr(0, split + 1);
  std::string mask = split == std::string::npos ? pattern : pattern.substr(split + 1);
  if (mask.empty()) return false;
  if (mask == "*.*") mask = "*";

  const std::string host_folder = standin::HostPath(folder.empty() ? "." : folder);
  if (host_folder.empty()) return false;
  // The null device is found in every folder that exists.
  if (!HasWildcard(mask) && standin::IsNullDevice(mask)) {
    struct stat info;
    if (stat(host_folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
    auto* device = new Listing;
    handle_ = device;
    device->names.assign(mask.c_str(), mask.size() + 1);
    device->entries.push_back(Entry{0, 0, static_cast<std::uint32_t>(mask.size()),
                                    kAttributeArchive, false});
    return Next();
  }
  std::unique_ptr<Listing>& last = LastListing();
  if (last && last->host_folder == host_folder && last->mask == mask) {
    struct stat now_info;
    if (stat(host_folder.c_str(), &now_info) == 0 && Unchanged(now_info, last->folder_info)) {
      last->next = 0;
      handle_ = last.release();
      return Next();
    }
  }
  last.reset();

  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
  };
  const std::unique_ptr<DIR, DirCloser> folder_stream(opendir(host_folder.c_str()));
  DIR* dir = folder_stream.get();
  if (dir == nullptr) return false;

  auto* listing = new Listing;
  handle_ = listing;
  listing->host_folder = host_folder;
  listing->mask = mask;
  bool holds_links = false;
  const bool wildcard = HasWildcard(mask);
  const bool everything = mask == "*";  // what every folder walk asks for
  while (const dirent* entry = readdir(dir)) {
    const std::size_t offset = listing->names.size();
    AppendAnsiName(listing->names, entry->d_name);
    const char* name = listing->names.c_str() + offset;
    const bool selected = everything ? true
                          : wildcard ? MatchPattern(name, mask.c_str())
                                     : standin::EqualIgnoringCase(name, mask);
    if (selected && entry->d_type != DT_DIR && entry->d_type != DT_REG) holds_links = true;
    const std::uint32_t attributes = selected ? EntryAttributes(host_folder, entry) : kUnlisted;
    if (attributes == kUnlisted) {
      listing->names.resize(offset);
      continue;
    }
    const std::size_t length = listing->names.size() - offset - 1;
    listing->entries.push_back(Entry{standin::ListingKeyPrefix(name),
                                     static_cast<std::uint32_t>(offset),
                                     static_cast<std::uint32_t>(length), attributes,
                                     IsDotOrDotDot(name)});
  }

  listing->reusable = !holds_links && fstat(dirfd(dir), &listing->folder_info) == 0 &&
                      Settled(listing->folder_info, now);

  // Names are compared by upper case, then exactly, character by
  // character: the bytes two names share from the start decide nothing, so
  // the comparison starts at the first byte that differs.  Names in one
  // folder often share a long start.
  const char* names = listing->names.c_str();
  std::sort(listing->entries.begin(), listing->entries.end(),
            [names](const Entry& a, const Entry& b) {
              if (a.dots != b.dots) return a.dots;
              if (a.key != b.key) return a.key < b.key;
              const char* x = names + a.offset;
              const char* y = names + b.offset;
              while (*x != '\0' && *x == *y) {
                ++x;
                ++y;
              }
              return standin::ListsBefore(x, y);
            });
  return Next();
}

bool FileSearch::Next() {
  auto* listing = static_cast<Listing*>(handle_);
  if (listing == nullptr || listing->next >= listing->entries.size()) return false;
  const Entry& entry = listing->entries[listing->next++];
  // Host names are at most 255 bytes, so the listing's own copy serves.
  name_ = listing->names.c_str() + entry.offset;
  name_length_ = entry.length;
  attributes_ = entry.attributes;
  return true;
}

}  // namespace platform
