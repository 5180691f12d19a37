// The real calls, on Windows.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstring>
#include <string>

#include "platform/platform.h"

namespace platform {
namespace {

using SfcIsFileProtectedFn = BOOL(WINAPI*)(HANDLE, LPCWSTR);
using SfcIsKeyProtectedFn = BOOL(WINAPI*)(HKEY, LPCWSTR, REGSAM);

// The protection service comes from the system directory only: an
// sfc.dll beside the program or in the current folder is never loaded.
struct ProtectionService {
  SfcIsFileProtectedFn is_file_protected = nullptr;
  SfcIsKeyProtectedFn is_key_protected = nullptr;

  ProtectionService() {
    HMODULE module = LoadLibraryExW(L"sfc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr) return;
    is_file_protected = reinterpret_cast<SfcIsFileProtectedFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "SfcIsFileProtected")));
    is_key_protected = reinterpret_cast<SfcIsKeyProtectedFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "SfcIsKeyProtected")));
  }
};

const ProtectionService& Service() {
  static const ProtectionService service;
  return service;
}

HANDLE StdOut() { return GetStdHandle(STD_OUTPUT_HANDLE); }

}  // namespace

void Initialize() {}

// ---- Command line and code pages ----

std::string CommandLine() { return GetCommandLineA(); }

bool IsLeadByte(unsigned char b) { return IsDBCSLeadByte(b) != 0; }

void UpperCase(char* text, std::size_t length) {
  if (length > 0) CharUpperBuffA(text, static_cast<DWORD>(length));
}

void LowerCase(char* text, std::size_t length) {
  if (length > 0) CharLowerBuffA(text, static_cast<DWORD>(length));
}

void ToOemCodePage(char* text, std::size_t length) {
  if (length > 0) CharToOemBuffA(text, text, static_cast<DWORD>(length));
}

std::u16string AnsiToUtf16(const std::string& text) {
  if (text.empty()) return std::u16string();
  const int length = static_cast<int>(text.size());
  const int wide_length = MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length, nullptr, 0);
  std::u16string wide(static_cast<std::size_t>(wide_length > 0 ? wide_length : 0), u'\0');
  if (wide_length > 0) {
    MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length,
                        reinterpret_cast<wchar_t*>(&wide[0]), wide_length);
  }
  return wide;
}

// ---- The protection service ----

bool SfcFileProtected(const char16_t* path) {
  const auto call = Service().is_file_protected;
  return call != nullptr && call(nullptr, reinterpret_cast<LPCWSTR>(path)) != FALSE;
}

bool SfcKeyProtected(std::uint32_t root, const char16_t* subkey, std::uint32_t mask) {
  const auto call = Service().is_key_protected;
  return call != nullptr &&
         call(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root))),
              reinterpret_cast<LPCWSTR>(subkey), mask) != FALSE;
}

// ---- Console ----

OutputHandle StdOutputHandle() { return StdOut(); }

bool ReadConsoleAttributes(OutputHandle handle, std::uint16_t* attributes) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(static_cast<HANDLE>(handle), &info)) return false;
  *attributes = info.wAttributes;
  return true;
}

bool WriteConsoleAttributes(OutputHandle handle, std::uint16_t attributes) {
  return SetConsoleTextAttribute(static_cast<HANDLE>(handle), attributes) != FALSE;
}

bool StdOutputIsCharDevice() { return GetFileType(StdOut()) == FILE_TYPE_CHAR; }

void WriteStdOutput(const char* data, std::size_t length) {
  const HANDLE out = StdOut();
  while (length > 0) {
    const DWORD chunk = length > 0x10000000 ? 0x10000000 : static_cast<DWORD>(length);
    DWORD written = 0;
    if (!WriteFile(out, data, chunk, &written, nullptr) || written == 0) throw Failure("write");
    data += written;
    length -= written;
  }
}

// ---- Names and files ----

std::uint32_t ExpandEnvironment(const char* source, char* buffer, std::uint32_t size) {
  return ExpandEnvironmentStringsA(source, buffer, size);
}

std::uint32_t FileAttributes(const char* path) { return GetFileAttributesA(path); }

std::string CurrentDirectory() {
  std::string directory(MAX_PATH + 1, '\0');
  DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(directory.size()), &directory[0]);
  if (length > directory.size()) {  // longer than the path limit: ask again
    directory.resize(length);
    length = GetCurrentDirectoryA(length, &directory[0]);
  }
  directory.resize(length < directory.size() ? length : 0);
  return directory;
}

FileSearch::~FileSearch() { Close(); }

void FileSearch::Close() {
  if (handle_ != nullptr) FindClose(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
}

namespace {

void TakeEntry(const WIN32_FIND_DATAA& data, std::uint32_t* attributes, char* name,
               std::size_t* name_length) {
  *attributes = data.dwFileAttributes;
  const std::size_t length = strnlen(data.cFileName, MAX_PATH - 1);
  std::memcpy(name, data.cFileName, length);
  name[length] = '\0';
  *name_length = length;
}

}  // namespace

bool FileSearch::First(const char* pattern) {
  Close();
  WIN32_FIND_DATAA data;
  const HANDLE handle = FindFirstFileA(pattern, &data);
  if (handle == INVALID_HANDLE_VALUE) return false;
  handle_ = handle;
  TakeEntry(data, &attributes_, buffer_, &name_length_);
  return true;
}

bool FileSearch::Next() {
  if (handle_ == nullptr) return false;
  WIN32_FIND_DATAA data;
  if (!FindNextFileA(static_cast<HANDLE>(handle_), &data)) return false;
  TakeEntry(data, &attributes_, buffer_, &name_length_);
  return true;
}

File::~File() {
  if (handle_ != nullptr) CloseHandle(static_cast<HANDLE>(handle_));
}

File::File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    if (handle_ != nullptr) CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = other.handle_;
    other.handle_ = nullptr;
  }
  return *this;
}

File File::Open(const std::string& name, Access access) {
  DWORD desired = GENERIC_READ;
  DWORD disposition = OPEN_EXISTING;
  if (access == Access::kAppend) desired = GENERIC_READ | GENERIC_WRITE;
  if (access == Access::kCreate) {
    desired = GENERIC_WRITE;
    disposition = CREATE_NEW;  // never replaces a file
  }
  const HANDLE handle = CreateFileA(name.c_str(), desired, FILE_SHARE_READ, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw Failure("cannot open");
  File file;
  file.handle_ = handle;
  if (access == Access::kAppend) {
    LARGE_INTEGER zero = {};
    if (!SetFilePointerEx(handle, zero, nullptr, FILE_END)) throw Failure("cannot seek");
  }
  return file;
}

std::size_t File::Read(char* buffer, std::size_t size) {
  DWORD read = 0;
  const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
  if (!ReadFile(static_cast<HANDLE>(handle_), buffer, chunk, &read, nullptr))
    throw Failure("read");
  return read;
}

void File::Write(const char* data, std::size_t length) {
  while (length > 0) {
    const DWORD chunk = length > 0x10000000 ? 0x10000000 : static_cast<DWORD>(length);
    DWORD written = 0;
    if (!WriteFile(static_cast<HANDLE>(handle_), data, chunk, &written, nullptr) ||
        written == 0)
      throw Failure("write");
    data += written;
    length -= written;
  }
}

void File::Close() {
  if (handle_ == nullptr) return;
  const HANDLE handle = static_cast<HANDLE>(handle_);
  handle_ = nullptr;
  if (!CloseHandle(handle)) throw Failure("close");
}

// ---- Registry ----

RegistryKey::~RegistryKey() {
  if (handle_ != nullptr) RegCloseKey(static_cast<HKEY>(handle_));
}

long RegistryKey::Open(std::uint32_t root, const char* subkey, std::uint32_t access) {
  HKEY key = nullptr;
  const LONG result =
      RegOpenKeyExA(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root))),
                    subkey, 0, access, &key);
  if (result == ERROR_SUCCESS) handle_ = key;
  return result;
}

}  // namespace platform
