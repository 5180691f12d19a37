// The real calls, on Windows.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstring>
#include <limits>
#include <string>

#include "platform/platform.h"
#include "platform/win32_internal.h"

// A 32-bit process sees SysWOW64 where the user names System32 and loads
// the 32-bit sfc.dll: the build refuses it, and so does the code.
static_assert(sizeof(void*) == 8, "tavREL is a 64-bit Windows program");

// Headers for Windows 7 may lack the flag that update KB2533623 brought.
#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

// Windows 7 brought the large fetch and the basic information level (no
// short names); older headers may lack either.
#ifndef FIND_FIRST_EX_LARGE_FETCH
#define FIND_FIRST_EX_LARGE_FETCH 0x00000002
#endif

namespace platform {

namespace win32 {

// The longest text the conversion calls take: they count in int.
constexpr std::size_t kMaxCallLength = std::numeric_limits<int>::max();

bool SearchFlagsKnown() {
  // AddDllDirectory came with the LOAD_LIBRARY_SEARCH_* flags (Windows 8,
  // or Windows 7 with update KB2533623): where it is missing, the flags make
  // LoadLibraryExW fail.
  const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  return kernel32 != nullptr && GetProcAddress(kernel32, "AddDllDirectory") != nullptr;
}

HMODULE LoadSystemLibrary(const wchar_t* name, bool search_flags_known, LoadLibraryExWFn load) {
  if (search_flags_known) return load(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // By its full path in the system directory; its own imports are looked
  // for there first too.
  std::wstring path(MAX_PATH, L'\0');
  const UINT length = GetSystemDirectoryW(&path[0], MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  path.resize(length);
  path += L'\\';
  path += name;
  if (path.size() >= MAX_PATH) return nullptr;
  return load(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace win32

namespace {

using SfcIsFileProtectedFn = BOOL(WINAPI*)(HANDLE, LPCWSTR);
using SfcIsKeyProtectedFn = BOOL(WINAPI*)(HKEY, LPCWSTR, REGSAM);

// The protection service comes from the system directory only: an
// sfc.dll beside the program or in the current folder is never loaded.
struct ProtectionService {
  SfcIsFileProtectedFn is_file_protected = nullptr;
  SfcIsKeyProtectedFn is_key_protected = nullptr;

  ProtectionService() {
    const HMODULE module = win32::LoadSystemLibrary(L"sfc.dll", win32::SearchFlagsKnown());
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

// The output lock: a critical section, since the run's thread takes it
// again inside an item (SRW locks are not recursive).
CRITICAL_SECTION& OutputLockSection() {
  static struct Section {
    CRITICAL_SECTION section;
    Section() { InitializeCriticalSection(&section); }
  } lock;
  return lock.section;
}

// A console shows bytes in its own output code page, which the user may
// have changed (chcp 65001, chcp 1252): the OEM text goes to it as UTF-16.
bool StdOutIsConsole() {
  static const bool console = [] {
    DWORD mode = 0;
    return GetConsoleMode(StdOut(), &mode) != FALSE;
  }();
  return console;
}

// The program's own words are Windows-1252, on every system.
constexpr UINT kWordsCodePage = 1252;

// Appends the bytes of the code page as UTF-16; raises Failure.
void AppendWide(std::wstring& wide, UINT code_page, const char* data, std::size_t length) {
  if (length == 0) return;
  const std::wstring converted = win32::ToUtf16(code_page, data, length);
  if (converted.empty()) throw Failure("console text");
  wide += converted;
}

// The ANSI text as UTF-16, up to its first NUL as the ...A calls read it.
std::wstring Wide(const char* text) { return win32::ToUtf16(CP_ACP, text, std::strlen(text)); }

// The same for a path.  The ...A calls take fewer than MAX_PATH characters
// only; the UTF-16 calls take more where the system allows long paths (and
// Wine always): a longer path is none here, so that the path limit holds on
// every system.
std::wstring WidePath(const char* text) {
  std::wstring wide = Wide(text);
  if (wide.size() >= MAX_PATH) wide.clear();
  return wide;
}

}  // namespace

namespace win32 {

std::string ToCodePage(UINT code_page, const wchar_t* text, std::size_t length,
                       WideCharToMultiByteFn convert) {
  // An empty text fails the call, and gives an empty one.
  if (length > win32::kMaxCallLength) return std::string();
  // UTF-8 holds every character but a lone surrogate; other code pages
  // hold none beyond the BMP.  Either becomes one lost character, so that
  // a character is one "?" whatever the system makes of a pair.
  const bool utf8 = code_page == CP_UTF8;
  std::wstring units;
  units.reserve(length);
  for (std::size_t i = 0; i < length; ++i) {
    const wchar_t c = text[i];
    if (!IS_HIGH_SURROGATE(c) && !IS_LOW_SURROGATE(c)) {
      units += c;
      continue;
    }
    const bool pair = IS_HIGH_SURROGATE(c) && i + 1 < length && IS_LOW_SURROGATE(text[i + 1]);
    if (pair && utf8) {
      units += c;
      units += text[i + 1];
    } else {
      units += static_cast<wchar_t>(kLostCharacter);
    }
    if (pair) ++i;
  }
  // Without best fit, a character the code page lacks takes the default
  // character, which is ours.  A UTF-8 code page takes neither flags nor a
  // default character (the call fails with ERROR_INVALID_PARAMETER).
  const char lost[2] = {kLostCharacter, '\0'};
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* default_char = utf8 ? nullptr : lost;
  BOOL used = FALSE;
  BOOL* used_default = utf8 ? nullptr : &used;
  const int size = static_cast<int>(units.size());
  const int ansi_length =
      convert(code_page, flags, units.data(), size, nullptr, 0, default_char, used_default);
  if (ansi_length == 0) return std::string(units.size(), kLostCharacter);
  std::string ansi(static_cast<std::size_t>(ansi_length), '\0');
  convert(code_page, flags, units.data(), size, &ansi[0], ansi_length, default_char,
          used_default);
  return ansi;
}

std::wstring ToUtf16(UINT code_page, const char* data, std::size_t length,
                     MultiByteToWideCharFn convert) {
  // No flags: a UTF-8 code page (and GB18030) takes no other than
  // MB_ERR_INVALID_CHARS, and Windows 7 and later give U+FFFD for a byte
  // that is not of the code page.  An empty text fails the call, and
  // gives an empty one.
  if (length > kMaxCallLength) return std::wstring();
  const int size = static_cast<int>(length);
  const int wide_length = convert(code_page, 0, data, size, nullptr, 0);
  if (wide_length == 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
  convert(code_page, 0, data, size, &wide[0], wide_length);
  return wide;
}

void WriteAll(HANDLE out, const char* data, std::size_t length, WriteFileFn write) {
  while (length > 0) {
    const DWORD chunk = length > 0x10000000 ? 0x10000000 : static_cast<DWORD>(length);
    DWORD written = 0;
    // A pipe in non-blocking mode whose reader stopped takes 0 bytes, for
    // ever: a failure, not a loop.
    if (!write(out, data, chunk, &written, nullptr) || written == 0) throw Failure("write");
    data += written;
    length -= written;
  }
}

// Older consoles refuse a write larger than what is left of a 64 KB heap
// (ERROR_NOT_ENOUGH_MEMORY): pieces of 8 KB at most.
constexpr DWORD kConsolePiece = 4096;  // UTF-16 units

void WriteConsoleWide(HANDLE out, const std::wstring& wide, WriteConsoleWFn write) {
  const wchar_t* next = wide.data();
  std::size_t left = wide.size();
  while (left > 0) {
    DWORD piece = left > kConsolePiece ? kConsolePiece : static_cast<DWORD>(left);
    // A surrogate pair is never cut in two.
    if (piece < left && IS_HIGH_SURROGATE(next[piece - 1])) --piece;
    DWORD written = 0;
    if (!write(out, next, piece, &written, nullptr) || written == 0)
      throw Failure("console write");
    next += written;
    left -= written;
  }
}

}  // namespace win32

namespace {

std::string Ansi(const wchar_t* text, std::size_t length) {
  return win32::ToCodePage(GetACP(), text, length);
}

std::string Ansi(const wchar_t* text) { return Ansi(text, wcslen(text)); }

}  // namespace

void Initialize() {
  // A name on a drive without media must not open a "no disk" box that
  // holds up a batch run: the error comes back to the call instead.
  const UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS);
  SetErrorMode(mode | SEM_FAILCRITICALERRORS);
  // Every library loaded from now on comes from the system directory only,
  // also those that the service loads for itself.  Windows 7 has the call
  // only with update KB2533623; without it, sfc.dll is still loaded by its
  // full path there.
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  const auto set_default_directories = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(kernel32, "SetDefaultDllDirectories")));
  if (set_default_directories != nullptr) set_default_directories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// ---- Command line and code pages ----

// What the system hands back is taken in UTF-16 and converted without
// best fit: its own ANSI spelling would give a fullwidth quote as a quote,
// "\uFF4B" as "k", and a missing character as the wildcard "?".
std::string CommandLine() { return Ansi(GetCommandLineW()); }

bool IsLeadByte(unsigned char b) { return IsDBCSLeadByte(b) != 0; }

bool HasLeadBytes() {
  static const bool lead_bytes = [] {
    CPINFO info;
    return GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 2;
  }();
  return lead_bytes;
}

std::string Utf16ToAnsi(const std::u16string& text) {
  return Ansi(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

std::u16string Utf8ToUtf16(const std::string& text) {
  const std::wstring wide = win32::ToUtf16(CP_UTF8, text.data(), text.size());
  return std::u16string(wide.begin(), wide.end());
}

void UpperCase(char* text, std::size_t length) {
  if (length > 0) CharUpperBuffA(text, static_cast<DWORD>(length));
}

void LowerCase(char* text, std::size_t length) {
  if (length > 0) CharLowerBuffA(text, static_cast<DWORD>(length));
}

void ToOemCodePage(char* text, std::size_t length) {
  if (length > 0) CharToOemBuffA(text, text, static_cast<DWORD>(length));
}

namespace {

// The plain letter of an accented Latin-1 letter ("\u00E9" is "e"); 0 for
// the others.
char PlainLetter(wchar_t c) {
  static const char kPlain[] =  // U+00C0 to U+00FF; "-" has no plain letter
      "AAAAAA-CEEEEIIIIDNOOOOO-OUUUUY--aaaaaa-ceeeeiiiidnooooo-ouuuuy-y";
  return c >= 0xC0 && c <= 0xFF && kPlain[c - 0xC0] != '-' ? kPlain[c - 0xC0] : '\0';
}

}  // namespace

namespace win32 {

std::string WordsToCodePage(UINT target, const std::string& windows1252,
                            WideCharToMultiByteFn convert) {
  // Where a conversion fails, the words go as they are, as they always did.
  const std::wstring wide = ToUtf16(kWordsCodePage, windows1252.data(), windows1252.size());
  if (wide.empty()) return windows1252;
  // A letter the code page lacks takes the system's best fit ("\u00E9" is
  // "e" in most); where it has none, the plain letter rather than the
  // default character, "?".  A UTF-8 code page holds every letter, and
  // takes no default character to flag.
  BOOL used = FALSE;
  BOOL* used_default = target == CP_UTF8 ? nullptr : &used;
  std::string converted;
  for (const wchar_t c : wide) {
    char bytes[8];
    used = FALSE;
    const int length = convert(target, 0, &c, 1, bytes, sizeof bytes, nullptr, used_default);
    if (length == 0) return windows1252;
    if (used && PlainLetter(c) != '\0') {
      converted += PlainLetter(c);
    } else {
      converted.append(bytes, static_cast<std::size_t>(length));
    }
  }
  return converted;
}

}  // namespace win32

std::string WordsToCodePage(const std::string& windows1252, CodePage code_page) {
  return win32::WordsToCodePage(code_page == CodePage::kOem ? GetOEMCP() : GetACP(), windows1252);
}

std::u16string AnsiToUtf16(const std::string& text) {
  // The system's ANSI code page, that of the ...A calls that gave the text;
  // the thread's may differ (a user whose format locale is not the
  // system's).
  const std::wstring wide = win32::ToUtf16(CP_ACP, text.data(), text.size());
  return std::u16string(wide.begin(), wide.end());
}

// ---- The protection service ----

bool SfcFileProtected(const char16_t* path) {
  const auto call = Service().is_file_protected;
  return call != nullptr && call(nullptr, reinterpret_cast<LPCWSTR>(path)) != FALSE;
}

bool SfcKeyProtected(std::uint32_t root, const char16_t* subkey) {
  const auto call = Service().is_key_protected;
  // The 64-bit view, as the registry is opened.
  return call != nullptr &&
         call(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root))),
              reinterpret_cast<LPCWSTR>(subkey), KEY_WOW64_64KEY) != FALSE;
}

// ---- Console ----

OutputHandle StdOutputHandle() { return StdOut(); }

void ReadConsoleAttributes(OutputHandle handle, std::uint16_t* attributes) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (GetConsoleScreenBufferInfo(static_cast<HANDLE>(handle), &info))
    *attributes = info.wAttributes;
}

void WriteConsoleAttributes(OutputHandle handle, std::uint16_t attributes) {
  // The handle is standard output's: redirected, it has no colours, and
  // asking costs a round trip to the system for every line.
  if (!StdOutIsConsole()) return;
  SetConsoleTextAttribute(static_cast<HANDLE>(handle), attributes);
}

bool StdOutputIsCharDevice() { return GetFileType(StdOut()) == FILE_TYPE_CHAR; }

void WriteStdOutput(const char* data, std::size_t length) {
  const HANDLE out = StdOut();
  if (StdOutIsConsole()) {
    std::wstring wide;
    AppendWide(wide, CP_OEMCP, data, length);
    win32::WriteConsoleWide(out, wide);
    return;
  }
  win32::WriteAll(out, data, length);
}

void WriteStdOutputLine(const std::string& name, const std::string& words,
                        const std::string& oem_words) {
  if (StdOutIsConsole()) {
    // The name straight from the ANSI code page, that of the ...A calls
    // that gave it: through OEM, a letter that OEM lacks would show as
    // another (best fit) though the console could show it.
    std::wstring wide;
    AppendWide(wide, CP_ACP, name.data(), name.size());
    AppendWide(wide, kWordsCodePage, words.data(), words.size());
    wide += L"\r\n";
    win32::WriteConsoleWide(StdOut(), wide);
    return;
  }
  std::string line = name;
  if (!line.empty()) ToOemCodePage(&line[0], line.size());
  line += oem_words;
  line += "\r\n";
  WriteStdOutput(line.data(), line.size());
}

// ---- Interruption ----

namespace {

void (*interrupt_write_out)() = nullptr;
LONG interrupted = 0;
constexpr DWORD kInterruptWaitMs = 3000;  // the system waits 5 s after a console closes

}  // namespace

namespace win32 {

// Runs on a thread that the system starts for the event.  The lock, once
// taken, is never left: the run's thread stops at its next line, and the
// next handler, in the end the system's own, ends the process.
BOOL WINAPI OnConsoleEvent(DWORD) {
  // A second event (Ctrl+C pressed again) leaves the first to end the
  // process: it could end it in the middle of the first one's writes.
  if (InterlockedExchange(&interrupted, 1) != 0) Sleep(INFINITE);
  for (DWORD waited = 0; !TryEnterCriticalSection(&OutputLockSection()); waited += 10) {
    if (waited >= kInterruptWaitMs) return FALSE;
    Sleep(10);
  }
  interrupt_write_out();
  return FALSE;
}

}  // namespace win32

void LockOutput() { EnterCriticalSection(&OutputLockSection()); }
void UnlockOutput() { LeaveCriticalSection(&OutputLockSection()); }

void HandleInterrupts(void (*write_out)()) {
  interrupt_write_out = write_out;
  SetConsoleCtrlHandler(win32::OnConsoleEvent, TRUE);
}

// ---- Names and files ----

namespace win32 {

std::uint32_t ExpandEnvironment(const char* source, char* buffer, std::uint32_t size,
                                ExpandEnvironmentStringsWFn expand) {
  // The system expands into 32K characters at most, NUL included; an
  // expansion of 32,767 characters or more is not taken, whole or not
  // (Windows asks for more room, Wine 8 gives it cut).  The names asked
  // about are shorter than that.
  constexpr DWORD kBuffer = 32768;
  // One buffer for every name of the run, as a list may hold millions.
  static std::wstring expanded(kBuffer, L'\0');
  const DWORD units = expand(Wide(source).c_str(), &expanded[0], kBuffer);
  const std::size_t length = wcsnlen(expanded.c_str(), kBuffer);
  if (units == 0 || units > kBuffer || length >= kBuffer - 1) return 0;
  const std::string ansi = Ansi(expanded.c_str(), length);
  const std::size_t needed = ansi.size() + 1;
  if (needed <= size) std::memcpy(buffer, ansi.c_str(), needed);
  return static_cast<std::uint32_t>(needed);
}

}  // namespace win32

std::uint32_t ExpandEnvironment(const char* source, char* buffer, std::uint32_t size) {
  return win32::ExpandEnvironment(source, buffer, size);
}

std::uint32_t FileAttributes(const char* path) { return GetFileAttributesA(path); }

std::string CurrentDirectory() {
  // Longer than the path limit where long paths are enabled (and under
  // Wine): the answer is then the size needed, and the folder may change
  // before the next call.
  std::wstring directory(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), &directory[0]);
    if (length < directory.size()) return Ansi(directory.data(), length);
    directory.resize(length);
  }
}

namespace {

// A path that the ...A calls take: under the path limit in ANSI bytes too.
std::string WithinPathLimit(std::string path) {
  if (path.size() >= MAX_PATH) path.clear();
  return path;
}

}  // namespace

std::string FullPathName(const std::string& name) {
  const std::wstring wide = WidePath(name.c_str());
  if (wide.empty()) return std::string();
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetFullPathNameW(wide.c_str(), MAX_PATH, buffer, nullptr);
  if (length == 0 || length >= MAX_PATH) return std::string();
  return WithinPathLimit(Ansi(buffer, length));
}

std::string LongPathName(const std::string& path) {
  // The system looks each part up by a search: a wildcard would give the
  // first name it matches, another item.
  if (path.find_first_of("*?<>\"") != std::string::npos) return std::string();
  const std::wstring wide = WidePath(path.c_str());
  if (wide.empty()) return std::string();
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetLongPathNameW(wide.c_str(), buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  return WithinPathLimit(Ansi(buffer, length));
}

FileSearch::~FileSearch() { Close(); }

void FileSearch::Close() {
  if (handle_ != nullptr) FindClose(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
}

namespace {

// The entry's names in the ANSI code page, which kMaxNameBytes always holds.
void TakeEntry(const WIN32_FIND_DATAW& data, std::uint32_t* attributes, char* name,
               std::size_t* name_length, std::string* short_name) {
  *attributes = data.dwFileAttributes;
  const std::string ansi = Ansi(data.cFileName, wcsnlen(data.cFileName, MAX_PATH - 1));
  const std::size_t length = ansi.size() < kMaxNameBytes ? ansi.size() : kMaxNameBytes;
  std::memcpy(name, ansi.data(), length);
  name[length] = '\0';
  *name_length = length;
  *short_name = Ansi(data.cAlternateFileName, wcsnlen(data.cAlternateFileName, 13));
}

// FindExInfoBasic, the enumeration's value 1, which not every header names.
constexpr FINDEX_INFO_LEVELS kFindExInfoBasic = static_cast<FINDEX_INFO_LEVELS>(1);

// Closes a handle from CreateFile when it goes out of scope.
struct OwnedHandle {
  HANDLE handle;
  ~OwnedHandle() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

}  // namespace

bool ReadFolderIdentity(const char* path, FolderIdentity* identity) {
  // Attributes only, shared with every other use: a folder that refuses its
  // listing still tells which it is, and nobody is kept from anything.
  const OwnedHandle folder{CreateFileA(path, FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                       nullptr)};
  if (folder.handle == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(folder.handle, &info)) return false;
  identity->volume = info.dwVolumeSerialNumber;
  identity->index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

bool FileSearch::First(const char* pattern) {
  Close();
  // A listing reads no short names (the walk matches long names only) and
  // fetches entries in larger batches; a search for one name reads the
  // short alias, which a user may have typed.  "*", "?", "<", ">" and '"'
  // are the system's wildcards; none is a trail byte.
  const bool listing = std::strpbrk(pattern, "*?<>\"") != nullptr;
  const std::wstring wide = WidePath(pattern);
  if (wide.empty()) return false;
  WIN32_FIND_DATAW data;
  const HANDLE handle =
      FindFirstFileExW(wide.c_str(), listing ? kFindExInfoBasic : FindExInfoStandard, &data,
                       FindExSearchNameMatch, nullptr, listing ? FIND_FIRST_EX_LARGE_FETCH : 0);
  if (handle == INVALID_HANDLE_VALUE) return false;
  handle_ = handle;
  TakeEntry(data, &attributes_, buffer_, &name_length_, &short_name_);
  return true;
}

bool FileSearch::Next() {
  if (handle_ == nullptr) return false;
  WIN32_FIND_DATAW data;
  if (!FindNextFileW(static_cast<HANDLE>(handle_), &data)) return false;
  TakeEntry(data, &attributes_, buffer_, &name_length_, &short_name_);
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
  win32::WriteAll(static_cast<HANDLE>(handle_), data, length);
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

long RegistryKey::Open(std::uint32_t root, const char* subkey) {
  const HKEY root_key = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
  HKEY key = nullptr;
  const LONG result = RegOpenKeyExA(root_key, subkey, 0, KEY_READ | KEY_WOW64_64KEY, &key);
  // An empty subkey of a predefined root gives back the root's own handle,
  // which is not ours to close.
  if (result == ERROR_SUCCESS && key != root_key) handle_ = key;
  return result;
}

}  // namespace platform
