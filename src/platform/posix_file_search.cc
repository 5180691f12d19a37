// Folder listings on the stand-in.  The entry type comes from the
// directory entry itself; only links and entries of unknown type are
// looked up, so a listing costs no call per file.
#include <dirent.h>
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix_internal.h"

namespace platform {
namespace {

// One listing: the matching names, one after another, each ending in NUL.
struct Listing {
  std::string names;
  std::vector<std::uint32_t> attributes;
  std::size_t next_offset = 0;
  std::size_t next_index = 0;
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

std::uint32_t EntryAttributes(const std::string& directory, const dirent* entry) {
  if (entry->d_type == DT_DIR) return kAttributeDirectory;
  if (entry->d_type == DT_REG) return 0x20;
  struct stat info;
  const std::string path = directory + "/" + entry->d_name;
  if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return kAttributeDirectory;
  return 0x20;
}

// Converts a host name into the entry's ANSI name; ASCII names are copied.
void AppendAnsiName(std::string& names, const char* host_name) {
  const char* p = host_name;
  while (*p && static_cast<unsigned char>(*p) < 0x80) ++p;
  if (*p == '\0') {
    names.append(host_name, static_cast<std::size_t>(p - host_name));
  } else {
    names += standin::Utf8ToAnsi(host_name);
  }
  names += '\0';
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

  const std::string host_folder =
      folder.empty() ? standin::HostPath(".") : standin::HostPath(folder);
  if (host_folder.empty()) return false;
  DIR* dir = opendir(host_folder.c_str());
  if (dir == nullptr) return false;

  auto* listing = new Listing;
  const bool wildcard = HasWildcard(mask);
  while (dirent* entry = readdir(dir)) {
    const std::size_t offset = listing->names.size();
    AppendAnsiName(listing->names, entry->d_name);
    const char* name = listing->names.c_str() + offset;
    const bool selected = wildcard ? MatchPattern(name, mask.c_str())
                                   : standin::EqualIgnoringCase(name, mask);
    if (!selected) {
      listing->names.resize(offset);
      continue;
    }
    listing->attributes.push_back(EntryAttributes(host_folder, entry));
    if (!wildcard) break;
  }
  closedir(dir);
  handle_ = listing;
  return Next();
}

bool FileSearch::Next() {
  auto* listing = static_cast<Listing*>(handle_);
  if (listing == nullptr || listing->next_index >= listing->attributes.size()) return false;
  const char* name = listing->names.c_str() + listing->next_offset;
  name_length_ = std::strlen(name);
  if (name_length_ >= kMaxPath) name_length_ = kMaxPath - 1;
  std::memcpy(name_, name, name_length_);
  name_[name_length_] = '\0';
  attributes_ = listing->attributes[listing->next_index];
  listing->next_offset += std::strlen(name) + 1;
  ++listing->next_index;
  return true;
}

}  // namespace platform
