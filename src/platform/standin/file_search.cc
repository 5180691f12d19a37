// Folder listings on the stand-in, in the order Wine gives them: "." and
// ".." first, then by name in upper case.  The entry type comes from the
// directory entry itself; only links and entries of unknown type are
// looked up, so a listing costs no call per file.  A pattern without
// wildcards is one name, answered as Wine answers it: by one look at that
// spelling, the folder read only when that look misses.
#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wctype.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/standin/internal.h"

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
  std::string short_name;  // of the one entry of a search by name
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

// Links are followed; a link that leads nowhere is not listed at all, and
// a link to a folder is a reparse point.
std::uint32_t EntryAttributes(const std::string& directory, const dirent* entry) {
  if (entry->d_type == DT_DIR) return kAttributeDirectory;
  if (entry->d_type == DT_REG) return kAttributeArchive;
  struct stat info;
  const std::string path = directory + "/" + entry->d_name;
  bool link = entry->d_type == DT_LNK;
  if (entry->d_type == DT_UNKNOWN) {
    if (lstat(path.c_str(), &info) != 0) return kUnlisted;
    link = S_ISLNK(info.st_mode);
  }
  if (stat(path.c_str(), &info) != 0) return kUnlisted;
  if (!S_ISDIR(info.st_mode)) return kAttributeArchive;
  return link ? kAttributeDirectory | kAttributeReparsePoint : kAttributeDirectory;
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

// A UTF-16 unit in upper case, as the system folds it for a listing's order.
char16_t UpperUnit(char16_t unit) {
  static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  if (unit >= 0xD800 && unit < 0xE000) return unit;
  const wint_t upper = utf8 != static_cast<locale_t>(0) ? towupper_l(unit, utf8) : towupper(unit);
  return upper <= 0xFFFF ? static_cast<char16_t>(upper) : unit;
}

// The listing order of two names as UTF-16, where an ANSI name cannot tell
// it (a character it lacks): by upper case, a name before its own
// extensions, then exactly.
bool ListsBeforeWide(const std::u16string& a, const std::u16string& b) {
  int exact = 0;
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const char16_t x = UpperUnit(a[i]);
    const char16_t y = UpperUnit(b[i]);
    if (x != y) return x < y;
    if (exact == 0 && a[i] != b[i]) exact = a[i] < b[i] ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return exact < 0;
}

std::uint32_t StatAttributes(const struct stat& info) {
  return S_ISDIR(info.st_mode) ? kAttributeDirectory : kAttributeArchive;
}

struct DirCloser {
  void operator()(DIR* d) const { closedir(d); }
};
using FolderStream = std::unique_ptr<DIR, DirCloser>;

// An open folder's descriptor, closed when the object dies unless a folder
// stream has taken it over.
struct FolderDescriptor {
  int fd;
  ~FolderDescriptor() {
    if (fd >= 0) close(fd);
  }
};

// The folder's entries that the mask selects, in listing order.  Null when
// the folder cannot be read.
std::unique_ptr<Listing> ListFolder(const std::string& host_folder, const std::string& mask) {
  const FolderStream folder_stream(opendir(host_folder.c_str()));
  DIR* dir = folder_stream.get();
  if (dir == nullptr) return nullptr;

  auto listing = std::make_unique<Listing>();
  const bool everything = mask == "*";  // what every folder walk asks for
  // The UTF-16 names of entries whose ANSI names lost a character, by offset.
  std::map<std::uint32_t, std::u16string> lossy;
  while (const dirent* entry = readdir(dir)) {
    const std::size_t offset = listing->names.size();
    AppendAnsiName(listing->names, entry->d_name);
    const char* name = listing->names.c_str() + offset;
    const bool selected = everything || MatchPattern(name, mask.c_str());
    const std::uint32_t attributes = selected ? EntryAttributes(host_folder, entry) : kUnlisted;
    if (attributes == kUnlisted) {
      listing->names.resize(offset);
      continue;
    }
    if (std::strchr(name, kLostCharacter) != nullptr)
      lossy[static_cast<std::uint32_t>(offset)] = standin::Utf8ToUtf16(entry->d_name);
    const std::size_t length = listing->names.size() - offset - 1;
    listing->entries.push_back(Entry{standin::ListingKeyPrefix(name),
                                     static_cast<std::uint32_t>(offset),
                                     static_cast<std::uint32_t>(length), attributes,
                                     IsDotOrDotDot(name)});
  }

  // Names are compared by upper case, then exactly, character by
  // character: the bytes two names share from the start decide nothing, so
  // the comparison starts at the first byte that differs.  Names in one
  // folder often share a long start.
  const char* names = listing->names.c_str();
  if (!lossy.empty()) {
    for (Entry& entry : listing->entries) {
      if (lossy.count(entry.offset) == 0)
        lossy[entry.offset] = AnsiToUtf16(std::string(names + entry.offset, entry.length));
    }
    std::sort(listing->entries.begin(), listing->entries.end(),
              [&lossy](const Entry& a, const Entry& b) {
                if (a.dots != b.dots) return a.dots;
                return ListsBeforeWide(lossy.at(a.offset), lossy.at(b.offset));
              });
    return listing;
  }
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
  return listing;
}

// ---- Search by name --------------------------------------------------------

// A pattern without wildcards names one entry, and Wine answers it so: the
// path is resolved as the system resolves it ("." and "..", and the last
// name loses its trailing dots and blanks), the folder is opened, and its
// entry of that exact spelling is looked at.  Only when that misses is the
// folder read, for the name in another letter case or as an entry's short
// alias, and the first of those in listing order answers.  The system
// finds no second file of one name: one entry at most.  Null when the
// system refuses the search.
std::unique_ptr<Listing> FindByName(const std::string& pattern, std::string host_folder,
                                    const std::string& given_name) {
  std::string name;       // ANSI
  std::string host_name;  // UTF-8
  if (given_name == "." || given_name == "..") {
    // The folder that the pattern names, found in its own parent.
    const std::string host = standin::HostPath(pattern);
    if (host.empty() || host == "/") return nullptr;
    const std::size_t slash = host.rfind('/');
    host_folder = slash == 0 ? "/" : host.substr(0, slash);
    host_name = host.substr(slash + 1);
    name = standin::Utf8ToAnsi(host_name);
  } else {
    name = given_name;
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    if (name.empty()) return nullptr;
    host_name = standin::AnsiToUtf8(name);
  }

  FolderDescriptor folder_fd{open(host_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (folder_fd.fd < 0) return nullptr;
  auto listing = std::make_unique<Listing>();
  // The entry, with the short alias that the system makes up for its host
  // name.
  const auto answer = [&listing](const std::string& found, const std::string& found_host,
                                 std::uint32_t attributes) {
    listing->names.assign(found.c_str(), found.size() + 1);
    listing->entries.push_back(
        Entry{0, 0, static_cast<std::uint32_t>(found.size()), attributes, false});
    listing->short_name = standin::ShortAlias(found_host.c_str());
  };
  struct stat info;
  if (fstatat(folder_fd.fd, host_name.c_str(), &info, 0) == 0) {
    answer(name, host_name, StatAttributes(info));
    return listing;
  }

  // A name in another case comes from the folder's listing.
  if (!standin::CouldBeShortAlias(name)) {
    std::unique_ptr<Listing> all = ListFolder(host_folder, "*");
    if (!all) return nullptr;
    for (const Entry& entry : all->entries) {
      const char* entry_name = all->names.c_str() + entry.offset;
      if (!entry.dots && entry.length == name.size() &&
          standin::EqualIgnoringCase(entry_name, name)) {
        answer(entry_name, standin::AnsiToUtf8(entry_name), entry.attributes);
        break;
      }
    }
    return listing;
  }
  // An alias is made up from the host's own name.
  const FolderStream dir(fdopendir(folder_fd.fd));
  if (!dir) return nullptr;
  folder_fd.fd = -1;  // the stream closes it
  std::string best, best_host;
  std::uint32_t best_attributes = kUnlisted;
  while (const dirent* entry = readdir(dir.get())) {
    if (IsDotOrDotDot(entry->d_name)) continue;
    const std::string ansi = standin::Utf8ToAnsi(entry->d_name);
    if (!standin::EqualIgnoringCase(ansi, name) &&
        !standin::EqualIgnoringCase(standin::ShortAlias(entry->d_name), name))
      continue;
    if (best_attributes != kUnlisted && !standin::ListsBefore(ansi.c_str(), best.c_str()))
      continue;
    const std::uint32_t attributes = EntryAttributes(host_folder, entry);
    if (attributes == kUnlisted) continue;
    best = ansi;
    best_host = entry->d_name;
    best_attributes = attributes;
  }
  if (best_attributes != kUnlisted) answer(best, best_host, best_attributes);
  return listing;
}

}  // namespace

// The device and inode of the folder, as the listing of "<path>*.*" would
// find it.
bool ReadFolderIdentity(const char* path, FolderIdentity* identity) {
  const std::string host_folder = standin::HostPath(path);
  struct stat info;
  if (host_folder.empty() || stat(host_folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
    return false;
  identity->volume = static_cast<std::uint64_t>(info.st_dev);
  identity->index = static_cast<std::uint64_t>(info.st_ino);
  return true;
}

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
  if (!HasWildcard(mask)) {
    std::unique_ptr<Listing> found = FindByName(pattern, host_folder, mask);
    if (!found) return false;
    handle_ = found.release();
    return Next();
  }
  std::unique_ptr<Listing> listing = ListFolder(host_folder, mask);
  if (!listing) return false;
  handle_ = listing.release();
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
  short_name_ = listing->short_name;
  return true;
}

}  // namespace platform
