// Folder listings on the stand-in, in the order Wine gives them: "." and
// ".." first, then by name in upper case.  The entry type comes from the
// directory entry itself; only links and entries of unknown type are
// looked up, so a listing costs no call per file.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix_internal.h"

namespace platform {
namespace {

constexpr std::uint32_t kAttributeArchive = 0x20;
constexpr std::uint32_t kUnlisted = 0xFFFFFFFFu;

struct Entry {
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
};

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
  delete static_cast<Listing*>(handle_);
  handle_ = nullptr;
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
  DIR* dir = opendir(host_folder.c_str());
  if (dir == nullptr) return false;

  auto* listing = new Listing;
  handle_ = listing;
  const bool wildcard = HasWildcard(mask);
  const bool everything = mask == "*";  // what every folder walk asks for
  while (const dirent* entry = readdir(dir)) {
    const std::size_t offset = listing->names.size();
    AppendAnsiName(listing->names, entry->d_name);
    const char* name = listing->names.c_str() + offset;
    const bool selected = everything ? true
                          : wildcard ? MatchPattern(name, mask.c_str())
                                     : standin::EqualIgnoringCase(name, mask);
    const std::uint32_t attributes = selected ? EntryAttributes(host_folder, entry) : kUnlisted;
    if (attributes == kUnlisted) {
      listing->names.resize(offset);
      continue;
    }
    const std::size_t length = listing->names.size() - offset - 1;
    listing->entries.push_back(Entry{static_cast<std::uint32_t>(offset),
                                     static_cast<std::uint32_t>(length), attributes,
                                     IsDotOrDotDot(name)});
  }
  closedir(dir);

  // Names are compared by upper case, then exactly, character by
  // character: the bytes two names share from the start decide nothing, so
  // the comparison starts at the first byte that differs.  Names in one
  // folder often share a long start.
  const char* names = listing->names.c_str();
  std::sort(listing->entries.begin(), listing->entries.end(),
            [names](const Entry& a, const Entry& b) {
              if (a.dots != b.dots) return a.dots;
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
  const char* name = listing->names.c_str() + entry.offset;
  name_length_ = std::min<std::size_t>(entry.length, kMaxPath - 1);
  std::memcpy(name_, name, name_length_);
  name_[name_length_] = '\0';
  attributes_ = entry.attributes;
  return true;
}

}  // namespace platform
