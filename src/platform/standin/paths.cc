// Windows paths on the stand-in: drive Z: is the host's root, as Wine maps
// it, and names are found whatever their letter case.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/standin/internal.h"

namespace platform {
namespace standin {
namespace {

std::string HostCurrentDirectory() {
  std::vector<char> buffer(4096);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return "/";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

bool IsDriveLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The entry of `directory` named `component` in another letter case, or
// by the short alias Wine makes up for it: the first in folder order.
bool FindCaseInsensitive(const std::string& directory, const std::string& component,
                         std::string* found) {
  DIR* dir = opendir(directory.empty() ? "/" : directory.c_str());
  if (dir == nullptr) return false;
  const bool alias = CouldBeShortAlias(component);
  bool matched = false;
  while (dirent* entry = readdir(dir)) {
    if (EqualIgnoringCase(Utf8ToAnsi(entry->d_name), component) ||
        (alias && EqualIgnoringCase(ShortAlias(entry->d_name), component))) {
      *found = entry->d_name;
      matched = true;
      break;
    }
  }
  closedir(dir);
  return matched;
}

// "." and ".." and the dots and blanks that end names, from `mark` on (the
// root, which ".." never climbs above), as Wine's ntdll collapses them.
void CollapsePath(std::string& path, std::size_t mark) {
  std::size_t p = mark;
  while (p < path.size()) {
    if (path[p] == '.') {
      const char next = p + 1 < path.size() ? path[p + 1] : '\0';
      const char after = p + 2 < path.size() ? path[p + 2] : '\0';
      if (next == '\\') {  // ".\"
        path.erase(p, 2);
        continue;
      }
      if (next == '\0') {  // a final "."
        if (p > mark) --p;
        path.erase(p);
        continue;
      }
      if (next == '.' && (after == '\\' || after == '\0')) {  // "..\" or a final ".."
        std::size_t start = p;
        if (start > mark) {
          --start;
          while (start > mark && path[start - 1] != '\\') --start;
        }
        if (after == '\0') {
          if (start > mark) --start;
          path.erase(start);
        } else {
          path.erase(start, p + 3 - start);
        }
        p = start;
        continue;
      }
    }
    while (p < path.size() && path[p] != '\\') ++p;
    if (p < path.size()) {
      // A name that ends in "." before a separator loses that one dot.
      if (p > mark && path[p - 1] == '.') {
        path.erase(p - 1, 1);
      } else {
        ++p;
      }
    }
  }
  // The last name loses every dot and blank at its end.
  std::size_t end = path.size();
  while (end > mark && (path[end - 1] == ' ' || path[end - 1] == '.')) --end;
  path.erase(end);
}

// The parts of an absolute path (without its drive) as the system reads
// them: "." and ".." resolved in the text, before the disk is asked, and
// names trimmed as CollapsePath does.
// The non-empty parts of a path between its separators.
std::vector<std::string> Parts(const std::string& path, char separator) {
  std::vector<std::string> parts;
  for (std::size_t start = 0; start < path.size();) {
    const std::size_t end = std::min(path.find(separator, start), path.size());
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::vector<std::string> Components(const std::string& absolute) {
  std::string path = "\\";
  for (char c : absolute) {
    if (c != '\\' || path.back() != '\\') path += c;
  }
  CollapsePath(path, 1);
  return Parts(path, '\\');
}

}  // namespace

bool IsNullDevice(const std::string& file_name) {
  std::string base = file_name.substr(0, file_name.find_first_of(".:"));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  return EqualIgnoringCase(base, "NUL");
}

namespace {

// The current folder as a Windows path, and the host's names of its parts:
// where the ANSI names lost a character, only the host's find the folder
// (the system resolves a relative name against its own, UTF-16, folder).
struct CurrentFolder {
  std::string windows;
  std::vector<std::string> host_parts;
};

CurrentFolder ReadCurrentFolder() {
  std::string host = HostCurrentDirectory();
  std::string windows = "Z:" + Utf8ToAnsi(host);
  for (char& c : windows) {
    if (c == '/') c = '\\';
  }
  // Wine takes this folder by its Windows name, read as the system reads
  // a path (a part followed by "\\" loses one "." at its end, the last part
  // every "." and blank), and opens that name, which reads it once more;
  // where this leads to no folder, it starts in its Windows folder instead.
  std::string read_once;
  for (const std::string& part : Components(windows.substr(2))) read_once += part + "\\";
  std::string opened = "Z:", folder;
  for (const std::string& part : Components(read_once)) {
    opened += "\\" + part;
    folder += "/" + AnsiToUtf8(part);
  }
  if (folder.empty()) opened += "\\";
  if (opened == windows) return {windows, Parts(host, '/')};
  struct stat info;
  if (stat(folder.empty() ? "/" : folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
    return {opened, Parts(folder, '/')};
  return {"C:\\windows", {}};
}

}  // namespace

std::string WindowsCurrentDirectory() { return ReadCurrentFolder().windows; }

std::string HostPath(const std::string& windows_path, bool parent_only) {
  std::string path = windows_path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  // The absolute Windows path, without its drive.
  std::string absolute;
  std::vector<std::string> cwd_parts, cwd_host_parts;
  const auto current = [&] {
    CurrentFolder folder = ReadCurrentFolder();
    cwd_parts = Components(folder.windows.substr(2));
    cwd_host_parts = std::move(folder.host_parts);
    return folder.windows.substr(2);
  };
  if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':') {
    if (path[0] != 'Z' && path[0] != 'z') return "";  // no such drive
    const std::string rest = path.substr(2);
    absolute = !rest.empty() && rest[0] == '\\' ? rest : current() + "\\" + rest;
  } else if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    return "";  // no network shares here
  } else if (!path.empty() && path[0] == '\\') {
    absolute = path;
  } else {
    absolute = current() + "\\" + path;
  }

  const std::vector<std::string> components = Components(absolute);
  // A part of a relative name that is still the current folder's has the
  // host's name of that folder.
  std::size_t from_cwd = 0;
  while (from_cwd < components.size() && from_cwd < cwd_parts.size() &&
         from_cwd < cwd_host_parts.size() && components[from_cwd] == cwd_parts[from_cwd])
    ++from_cwd;
  const auto host_name = [&](std::size_t i) {
    return i < from_cwd ? cwd_host_parts[i] : AnsiToUtf8(components[i]);
  };

  // Most names are spelt as on disk: one look settles them.
  std::string host;
  for (std::size_t i = 0; i < components.size(); ++i) host += "/" + host_name(i);
  struct stat whole;
  if (host.empty()) return "/";
  if (parent_only) {
    const std::size_t slash = host.rfind('/');
    if (slash == 0 || lstat(host.substr(0, slash).c_str(), &whole) == 0) return host;
  } else if (lstat(host.c_str(), &whole) == 0) {
    return host;
  }

  host.clear();
  for (std::size_t i = 0; i < components.size(); ++i) {
    const std::string utf8 = host_name(i);
    const bool last = i + 1 == components.size();
    std::string candidate = host + "/" + utf8;
    struct stat info;
    if (!(parent_only && last) && lstat(candidate.c_str(), &info) != 0) {
      std::string found;
      if (FindCaseInsensitive(host, components[i], &found)) candidate = host + "/" + found;
    }
    host = candidate;
  }
  return host.empty() ? "/" : host;
}

}  // namespace standin

std::string CurrentDirectory() { return standin::WindowsCurrentDirectory(); }

namespace {

// CON, PRN, AUX, NUL, COM1-9, LPT1-9, in any case: the names of devices.
bool IsDeviceBase(const char* base, std::size_t length) {
  char upper[4];
  if (length != 3 && length != 4) return false;
  for (std::size_t i = 0; i < length; ++i)
    upper[i] = base[i] >= 'a' && base[i] <= 'z' ? static_cast<char>(base[i] - 32) : base[i];
  const std::string_view name(upper, length);
  if (length == 3) return name == "CON" || name == "PRN" || name == "AUX" || name == "NUL";
  return (name.substr(0, 3) == "COM" || name.substr(0, 3) == "LPT") && upper[3] >= '1' &&
         upper[3] <= '9';
}

// A file name whose base (before its extension, trailing blanks dropped)
// names a device, in any folder: that base as written, or "".
std::string DeviceName(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
  std::size_t end = path.find_first_of(".:", start);
  if (end == std::string::npos) end = path.size();
  while (end > start && path[end - 1] == ' ') --end;
  return IsDeviceBase(path.data() + start, end - start) ? path.substr(start, end - start) : "";
}

// Most names reach the check already full and plain ("X:\\a\\b.dll"):
// nothing in them to resolve, and the walk asks for every file it checks.
bool IsPlainFullPath(const std::string& path) {
  if (path.size() < 3 || !standin::IsDriveLetter(path[0]) || path[1] != ':' || path[2] != '\\')
    return false;
  std::size_t last_name = 3;       // where the last name starts
  std::size_t base_end = std::string::npos;  // its first dot
  for (std::size_t i = 3; i < path.size(); ++i) {
    const char c = path[i];
    const char before = path[i - 1];
    if (c == '\\') {
      if (before == '\\' || before == '.') return false;
      last_name = i + 1;
      base_end = std::string::npos;
    } else if (c == '.') {
      if (before == '\\') return false;
      if (base_end == std::string::npos) base_end = i;
    } else if (c == '/' || c == ':') {
      return false;
    }
  }
  if (path.back() == '.' || path.back() == ' ') return false;
  std::size_t end = base_end == std::string::npos ? path.size() : base_end;
  while (end > last_name && path[end - 1] == ' ') --end;
  return !IsDeviceBase(path.data() + last_name, end - last_name);
}

}  // namespace

// As Wine's GetFullPathNameA: the one folder of a drive other than Z: is
// its root, "\\?\" and "\\.\" names are only collapsed, device names
// become "\\.\" names, and neither the name nor the result may reach
// MAX_PATH.
std::string FullPathName(const std::string& name) {
  if (name.empty() || name.size() >= kMaxPath) return "";
  if (name.find_first_not_of(' ') == std::string::npos) return "";
  if (IsPlainFullPath(name)) return name;
  std::string path = name;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  const bool device_path =
      path.compare(0, 4, "\\\\?\\") == 0 || path.compare(0, 4, "\\\\.\\") == 0;
  const std::string device = device_path ? "" : DeviceName(path);
  if (!device.empty()) return "\\\\.\\" + device;

  // tavREL never changes its current folder: read once, as the system
  // keeps it in the process rather than asking the disk.
  static const std::string current = standin::WindowsCurrentDirectory();
  std::size_t mark = 3;  // after "X:\"
  if (device_path) {
    mark = 4;
  } else if (path.compare(0, 2, "\\\\") == 0) {
    // \\server\share: the root is the share.
    std::size_t share_end = path.find('\\', 2);
    if (share_end != std::string::npos) share_end = path.find('\\', share_end + 1);
    mark = share_end == std::string::npos ? path.size() : share_end + 1;
  } else if (path.size() >= 2 && path[1] == ':' && standin::IsDriveLetter(path[0])) {
    if (path.size() < 3 || path[2] != '\\') {  // relative to the drive's folder
      const bool current_drive = (path[0] | 0x20) == (current[0] | 0x20);
      path = (current_drive ? current : path.substr(0, 2)) + "\\" + path.substr(2);
    }
  } else if (path[0] == '\\') {
    path = current.substr(0, 2) + path;
  } else {
    path = current + "\\" + path;
  }
  // Runs of separators are one.
  std::string single;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (i >= 2 && path[i] == '\\' && single.back() == '\\') continue;
    single += path[i];
  }
  if (mark > single.size()) mark = single.size();
  standin::CollapsePath(single, mark);
  return single.size() < kMaxPath ? single : "";
}

std::uint32_t FileAttributes(const char* path) {
  const std::string text = path;
  // Longer names are refused, and so are names with characters no file
  // name may hold.
  if (text.empty() || text.size() > kMaxPath) return kInvalidFileAttributes;
  const std::size_t last = text.find_last_of("\\/");
  if (text.find_first_of("*?<>|\"", last == std::string::npos ? 0 : last + 1) !=
      std::string::npos)
    return kInvalidFileAttributes;
  // NUL is a device wherever the path leads, never a folder.
  if (standin::IsNullDevice(text.substr(last == std::string::npos ? 0 : last + 1))) return 0x20u;
  const std::string host = standin::HostPath(text);
  struct stat info;
  if (host.empty() || stat(host.c_str(), &info) != 0) return kInvalidFileAttributes;
  if (S_ISDIR(info.st_mode)) return kAttributeDirectory;
  // A trailing separator names a folder, never a file.
  if (text.back() == '\\' || text.back() == '/') return kInvalidFileAttributes;
  return (info.st_mode & 0222) ? 0x20u : 0x21u;  // archive, read-only
}

}  // namespace platform
