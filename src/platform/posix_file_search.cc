// Folder listings on the stand-in, in the order Wine gives them: "." and
// ".." first, then by name in upper case.  The entry type comes from the
// directory entry itself; only links and entries of unknown type are
// looked up, so a listing costs no call per file.  A pattern without
// wildcards is one name, answered as Wine answers it: by one look at that
// spelling, the folder read only when that look misses.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

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

std::uint32_t StatAttributes(const struct stat& info) {
  return S_ISDIR(info.st_mode) ? kAttributeDirectory : kAttributeArchive;
}

// ---- Short aliases, as Wine makes them up --------------------------------

// A host name as UTF-16; bytes that are no UTF-8 become U+FFFD.
std::u16string HostNameUtf16(const char* name) {
  std::u16string wide;
  const auto* p = reinterpret_cast<const unsigned char*>(name);
  while (*p) {
    const unsigned char c = *p;
    const int extra = c < 0x80 ? 0 : c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 && c < 0xF0 ? 2
                                 : c >= 0xC2 && c < 0xE0 ? 1 : -1;
    std::uint32_t code = extra == 3 ? c & 0x07u : extra == 2 ? c & 0x0Fu : c & 0x1Fu;
    if (extra == 0) code = c;
    bool valid = extra >= 0;
    for (int k = 1; valid && k <= extra; ++k) {
      valid = (p[k] & 0xC0) == 0x80;
      code = (code << 6) | (p[k] & 0x3Fu);
    }
    if (!valid) {
      wide += u'\xFFFD';
      ++p;
      continue;
    }
    if (code > 0xFFFF) {
      wide += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      wide += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      wide += static_cast<char16_t>(code);
    }
    p += extra + 1;
  }
  return wide;
}

// Lower case of the letters of the Latin, Greek and Cyrillic blocks, which
// is all the hash below ever meets in practice.
std::uint32_t LowerUnit(std::uint32_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  if (c == 0x130) return 'i';
  if (c == 0x178) return 0xFF;
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c | 1;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  return c;
}

bool IsInvalidShortChar(char16_t c) {
  return c > 0x7F || std::strchr("*?<>|\"+=,;[] ~.", static_cast<char>(c)) != nullptr;
}

// Wine's test for a name that needs no alias: at most eight characters, a
// dot and three more, all of them ASCII that an 8.3 name may hold.
bool IsLegalShortName(const std::u16string& name) {
  const std::size_t length = name.size();
  if (length > 12) return false;
  if (length > 0 && name[0] == '.') return length == 1 || (length == 2 && name[1] == '.');
  std::size_t dot = std::u16string::npos;
  for (std::size_t i = 0; i < length; ++i) {
    const char16_t c = name[i];
    if (c > 0x7F || std::strchr("*?<>|\"+=,;[] :/\\", static_cast<char>(c)) != nullptr)
      return false;
    if (c == '.') {
      if (dot != std::u16string::npos) return false;
      dot = i;
    }
  }
  if (dot == std::u16string::npos) return length <= 8;
  return dot <= 8 && length - dot > 1 && length - dot < 5;
}

// The alias Wine makes up for any other name: its first four characters
// (up to its extension), "~" up to five, three characters of a hash of the
// whole name in any case, and the first three of its extension; invalid
// characters become "_", and the whole is in upper case.
std::string ShortAlias(const std::u16string& name) {
  static const char kHashChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
  const std::size_t length = name.size();
  std::uint16_t hash = 0xBEEF;
  for (std::size_t i = 0; i + 1 < length; ++i)
    hash = static_cast<std::uint16_t>((hash << 3) ^ (hash >> 5) ^ LowerUnit(name[i]) ^
                                      (LowerUnit(name[i + 1]) << 8));
  hash = static_cast<std::uint16_t>((hash << 3) ^ (hash >> 5) ^ LowerUnit(name[length - 1]));
  std::size_t extension = 0;  // the last "." but the first and last character
  for (std::size_t i = 1; i + 1 < length; ++i) {
    if (name[i] == '.') extension = i;
  }
  const auto short_char = [](char16_t c) {
    if (IsInvalidShortChar(c)) return '_';
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : static_cast<char>(c);
  };
  std::string alias;
  for (std::size_t i = 0; i < 4 && i < length && (extension == 0 || i < extension); ++i)
    alias += short_char(name[i]);
  alias.resize(5, '~');
  alias += kHashChars[(hash >> 10) & 0x1F];
  alias += kHashChars[(hash >> 5) & 0x1F];
  alias += kHashChars[hash & 0x1F];
  if (extension != 0) {
    alias += '.';
    for (std::size_t i = extension + 1; i < length && i <= extension + 3; ++i)
      alias += short_char(name[i]);
  }
  return alias;
}

// True when the name has an alias's shape: eight characters, the fifth a
// "~", then at most a dot and three more.
bool CouldBeAlias(const std::string& name) {
  return name.size() >= 8 && name[4] == '~' &&
         (name.size() == 8 || (name[8] == '.' && name.size() >= 10 && name.size() <= 12));
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
std::unique_ptr<Listing> FindByName(const std::string& pattern, const std::string& folder,
                                    const std::string& given_name) {
  std::string host_folder;
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
    host_folder = standin::HostPath(folder.empty() ? "." : folder);
    if (host_folder.empty()) return nullptr;
    host_name = standin::AnsiToUtf8(name);
  }

  const int folder_fd = open(host_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder_fd < 0) return nullptr;
  auto listing = std::make_unique<Listing>();
  const auto answer = [&listing](const std::string& found, std::uint32_t attributes) {
    listing->names.assign(found.c_str(), found.size() + 1);
    listing->entries.push_back(
        Entry{0, 0, static_cast<std::uint32_t>(found.size()), attributes, false});
  };
  struct stat info;
  if (fstatat(folder_fd, host_name.c_str(), &info, 0) == 0) {
    close(folder_fd);
    answer(name, StatAttributes(info));
    return listing;
  }

  DIR* dir = fdopendir(folder_fd);
  if (dir == nullptr) {
    close(folder_fd);
    return nullptr;
  }
  const bool alias = CouldBeAlias(name);
  std::string best;
  std::uint32_t best_attributes = kUnlisted;
  while (const dirent* entry = readdir(dir)) {
    if (IsDotOrDotDot(entry->d_name)) continue;
    const std::string ansi = standin::Utf8ToAnsi(entry->d_name);
    bool found = standin::EqualIgnoringCase(ansi, name);
    if (!found && alias) {
      const std::u16string wide = HostNameUtf16(entry->d_name);
      found = !IsLegalShortName(wide) && standin::EqualIgnoringCase(ShortAlias(wide), name);
    }
    if (!found) continue;
    if (best_attributes != kUnlisted && !standin::ListsBefore(ansi.c_str(), best.c_str()))
      continue;
    const std::uint32_t attributes = EntryAttributes(host_folder, entry);
    if (attributes == kUnlisted) continue;
    best = ansi;
    best_attributes = attributes;
  }
  closedir(dir);
  if (best_attributes != kUnlisted) answer(best, best_attributes);
  return listing;
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
  if (!HasWildcard(mask)) {
    std::unique_ptr<Listing> found = FindByName(pattern, folder, mask);
    if (!found) return false;
    handle_ = found.release();
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
  const bool everything = mask == "*";  // what every folder walk asks for
  while (const dirent* entry = readdir(dir)) {
    const std::size_t offset = listing->names.size();
    AppendAnsiName(listing->names, entry->d_name);
    const char* name = listing->names.c_str() + offset;
    const bool selected = everything || MatchPattern(name, mask.c_str());
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
