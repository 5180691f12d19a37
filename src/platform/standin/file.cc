// Files on the stand-in, with the system's sharing rule: a file tavREL has
// open may be read by others but not written, and a file someone is
// writing cannot be opened.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/standin/internal.h"

namespace platform {
namespace {

struct OpenFile {
  int fd;
  dev_t device;
  ino_t inode;
  bool writes;
};

// Every file this process holds open, for the sharing rule.
std::vector<OpenFile>& OpenFiles() {
  static std::vector<OpenFile> files;
  return files;
}

std::string LastName(const std::string& name) {
  const std::size_t split = name.find_last_of("\\/:");
  return split == std::string::npos ? name : name.substr(split + 1);
}

bool HasInvalidNameCharacter(const std::string& name) {
  const std::size_t split = name.find_last_of("\\/");
  const std::string last = split == std::string::npos ? name : name.substr(split + 1);
  return last.find_first_of("*?<>|\"") != std::string::npos;
}

// True when another process has the file open for writing: a read lease
// is refused exactly then.
bool WrittenElsewhere(const std::string& host) {
  const int probe = open(host.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (probe < 0) return false;
  bool written = false;
#ifdef F_SETLEASE
  if (fcntl(probe, F_SETLEASE, F_RDLCK) == 0) {
    fcntl(probe, F_SETLEASE, F_UNLCK);
  } else if (errno == EAGAIN) {
    written = true;
  }
#endif
  close(probe);
  return written;
}

bool SharingConflict(const struct stat& info, bool writes) {
  for (const OpenFile& open_file : OpenFiles()) {
    if (open_file.device == info.st_dev && open_file.inode == info.st_ino &&
        (writes || open_file.writes))
      return true;
  }
  return false;
}

int Descriptor(void* handle) {
  return static_cast<int>(reinterpret_cast<std::intptr_t>(handle)) - 1;
}

}  // namespace

File::~File() {
  try {
    Close();
  } catch (const Failure&) {
  }
}

File::File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    try {
      Close();
    } catch (const Failure&) {
    }
    handle_ = other.handle_;
    other.handle_ = nullptr;
  }
  return *this;
}

File File::Open(const std::string& name, Access access) {
  if (name.empty() || name.size() >= kMaxPath || name.find('\0') != std::string::npos ||
      HasInvalidNameCharacter(name))
    throw Failure("invalid file name");
  const std::string host = standin::HostPath(name, access == Access::kCreate);
  if (host.empty()) throw Failure("no such drive");

  const bool writes = access != Access::kRead;
  int fd = -1;
  const bool null_device = standin::IsNullDevice(LastName(name));
  if (null_device) {
    // NUL, in any folder that exists, is the device that swallows what it
    // is given and has nothing to read.
    struct stat folder;
    const std::string parent = host.substr(0, host.find_last_of('/') + 1);
    if (stat(parent.empty() ? "/" : parent.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode))
      throw Failure("no such folder");
    fd = open("/dev/null", (writes ? O_WRONLY : O_RDONLY) | O_CLOEXEC);
  } else if (access == Access::kCreate) {
    fd = open(host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  } else {
    struct stat info;
    if (stat(host.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) throw Failure("cannot open");
    // A read-only file is not written, whoever asks.
    if (writes && S_ISREG(info.st_mode) && (info.st_mode & 0222) == 0)
      throw Failure("read-only");
    if (SharingConflict(info, writes) || WrittenElsewhere(host)) throw Failure("sharing");
    fd = open(host.c_str(), (writes ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd >= 0 && access == Access::kAppend && lseek(fd, 0, SEEK_END) < 0 && errno != ESPIPE) {
      close(fd);
      throw Failure("cannot seek");
    }
  }
  if (fd < 0) throw Failure("cannot open");

  // The null device is shared by everyone, whatever they do with it.
  struct stat info;
  if (!null_device && fstat(fd, &info) == 0)
    OpenFiles().push_back(OpenFile{fd, info.st_dev, info.st_ino, writes});
  File file;
  file.handle_ = reinterpret_cast<void*>(static_cast<std::intptr_t>(fd) + 1);
  return file;
}

std::size_t File::Read(char* buffer, std::size_t size) {
  const int fd = Descriptor(handle_);
  for (;;) {
    const ssize_t n = read(fd, buffer, size);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) throw Failure("read");
  }
}

void File::Write(const char* data, std::size_t length) {
  const int fd = Descriptor(handle_);
  while (length > 0) {
    const ssize_t n = write(fd, data, length);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw Failure("write");
    }
    data += n;
    length -= static_cast<std::size_t>(n);
  }
}

void File::Close() {
  if (handle_ == nullptr) return;
  const int fd = Descriptor(handle_);
  handle_ = nullptr;
  auto& files = OpenFiles();
  files.erase(std::remove_if(files.begin(), files.end(),
                             [fd](const OpenFile& f) { return f.fd == fd; }),
              files.end());
  if (close(fd) != 0 && errno != EINTR) throw Failure("close");
}

}  // namespace platform
