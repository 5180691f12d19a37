// The one seam between tavREL and the operating system.
//
// Everything the program asks of the system goes through the calls below.
// Two backends implement them: win32.cc (the real calls) and the POSIX
// stand-in (standin/), which behaves as Wine does so that the same
// end-to-end suite holds on both.  Text is ANSI bytes throughout.
#ifndef TAVREL_PLATFORM_PLATFORM_H_
#define TAVREL_PLATFORM_PLATFORM_H_

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform {

// Raised by every file or console operation that fails.
struct Failure : std::runtime_error {
  explicit Failure(const char* what) : std::runtime_error(what) {}
};

// ---- Command line and code pages -------------------------------------

// GetCommandLineW: the raw command line, program name included, in the
// ANSI code page.
std::string CommandLine();

// IsDBCSLeadByte: true when b starts a double-byte character of the ANSI
// code page.
bool IsLeadByte(unsigned char b);
// True when the ANSI code page has lead bytes at all (a double-byte one).
bool HasLeadBytes();

// Where text that the system hands back (a listing, the command line, a
// path, an expansion) holds a character that the ANSI code page lacks, the
// backends put this byte, one for each character, instead of the system's
// "best fit" (a look-alike letter, a fullwidth quote become a quote) or its
// "?" (a wildcard): such a name would stand for another.  It is a control
// character, which no file name may hold and which neither the command
// line (a separator there) nor a list file (Ctrl-Z ends a line) can carry
// into a name.  It is shown as "?" and never looked up.
constexpr char kLostCharacter = '\x1A';
inline bool HoldsLostCharacter(const std::string& text) {
  return text.find(kLostCharacter) != std::string::npos;
}

// WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS): the text in the ANSI
// code page, kLostCharacter for each character it lacks.
std::string Utf16ToAnsi(const std::u16string& text);
// MultiByteToWideChar(CP_UTF8): a sequence that is not UTF-8 is U+FFFD.
std::u16string Utf8ToUtf16(const std::string& text);

// CharUpperBuffA / CharLowerBuffA / CharToOemBuffA, in place.
void UpperCase(char* text, std::size_t length);
void LowerCase(char* text, std::size_t length);
void ToOemCodePage(char* text, std::size_t length);

// MultiByteToWideChar(CP_ACP, 0, ...): the text as UTF-16, in the code
// page of the ...A calls that produced it (the system's, not the thread's).
std::u16string AnsiToUtf16(const std::string& text);

enum class CodePage { kAnsi, kOem };

// The program's own words, Windows-1252 text, in the system's ANSI or OEM
// code page: MultiByteToWideChar(1252) then WideCharToMultiByte with the
// system's best fit where the code page lacks a letter (é becomes e).
std::string WordsToCodePage(const std::string& windows1252, CodePage code_page);

// ---- The protection service ------------------------------------------

// SfcIsFileProtected(NULL, path) / SfcIsKeyProtected(root, subkey, 64-bit
// view); a null subkey asks about the root itself.  A service that cannot
// be reached answers "not protected".
bool SfcFileProtected(const char16_t* path);
bool SfcKeyProtected(std::uint32_t root, const char16_t* subkey);

// ---- Console ----------------------------------------------------------

using OutputHandle = void*;

// GetStdHandle(STD_OUTPUT_HANDLE).
OutputHandle StdOutputHandle();
// GetConsoleScreenBufferInfo; leaves `attributes` as it is when the handle
// is no console.  Nobody needs to know: nothing else changes then.
void ReadConsoleAttributes(OutputHandle handle, std::uint16_t* attributes);
// SetConsoleTextAttribute; does nothing when the handle is no console.
void WriteConsoleAttributes(OutputHandle handle, std::uint16_t attributes);
// True when standard output is a character device (a console).
bool StdOutputIsCharDevice();
// Writes every byte to standard output; raises Failure otherwise.  The
// bytes are in the OEM code page; a console shows them as such whatever
// its own code page.
void WriteStdOutput(const char* data, std::size_t length);
// Writes one line to standard output: a name, ANSI text, then the
// program's own words, then CR LF; raises Failure.  A console is given the
// name from the ANSI code page and the words from Windows-1252 (`words`),
// both as UTF-16, so that each shows as written whatever the system's code
// pages; anything else gets the name in the OEM code page (as
// ToOemCodePage converts it) and `oem_words`, the words in the OEM code
// page.
void WriteStdOutputLine(const std::string& name, const std::string& words,
                        const std::string& oem_words);

// ---- Interruption -----------------------------------------------------

// One lock over everything written to standard output, the report file
// and the console colours; recursive.  The run's thread holds it while it
// writes an item's lines, so that an interruption finds every item whole.
void LockOutput();
void UnlockOutput();
// SetConsoleCtrlHandler: from now on Ctrl+C, Ctrl+Break and the closing of
// the console (on the stand-in SIGINT and SIGTERM) call `write_out` on a
// thread of their own once the output lock is theirs, which they keep: the
// run writes nothing after it.  Then the system's own handling ends the
// process.  An output lock held for seconds (a write that does not end) is
// not waited for: the process then ends with nothing written out.
void HandleInterrupts(void (*write_out)());

// ---- Names and files --------------------------------------------------

constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
constexpr std::uint32_t kAttributeVolumeLabel = 0x08;
constexpr std::uint32_t kAttributeDirectory = 0x10;
constexpr std::uint32_t kAttributeReparsePoint = 0x400;  // links, junctions, mount points
constexpr std::size_t kMaxPath = 260;
// The longest entry name in ANSI bytes: fewer than kMaxPath UTF-16 units,
// at most three bytes each (UTF-8; a pair of units, four).
constexpr std::size_t kMaxNameBytes = 3 * (kMaxPath - 1);

// ExpandEnvironmentStringsW, in the ANSI code page: bytes stored,
// terminating NUL included, or the size needed when it exceeds `size`; 0 on
// failure.  An expansion of 32,767 characters or more is not given whole.
std::uint32_t ExpandEnvironment(const char* source, char* buffer,
                                std::uint32_t size);

// GetFileAttributesA: attribute bits, or kInvalidFileAttributes.
std::uint32_t FileAttributes(const char* path);

// GetCurrentDirectoryW, whatever its length, in the ANSI code page.
std::string CurrentDirectory();

// GetFullPathNameW: the name made absolute against the current folder, "."
// and ".." resolved as the system resolves them; empty when the system
// gives none (an empty name, or a name or result past the path limit, in
// UTF-16 units or in ANSI bytes).
std::string FullPathName(const std::string& name);

// GetLongPathNameW: the path with every short (8.3) name in it replaced by
// the entry's long name; empty where the system gives none (a part that
// does not exist, a long form that reaches the path limit) and for a path
// holding wildcards ("*?<>\"").
std::string LongPathName(const std::string& path);

// FindFirstFileExW / FindNextFileW / FindClose, names in the ANSI code
// page (kLostCharacter where it lacks one).  The listing is closed when the
// object dies, on every path out of a scan.
class FileSearch {
 public:
  FileSearch() = default;
  ~FileSearch();
  FileSearch(const FileSearch&) = delete;
  FileSearch& operator=(const FileSearch&) = delete;

  // Starts the search; false when the system refuses it.
  bool First(const char* pattern);
  // Moves to the next entry; false when none is left or the search fails.
  bool Next();

  std::uint32_t Attributes() const { return attributes_; }
  // The entry's long name, NUL-terminated; valid until the next call.
  const char* Name() const { return name_; }
  std::size_t NameLength() const { return name_length_; }
  // For a search of one name (no wildcard): the entry's short (8.3) alias,
  // empty when it has none.  A listing leaves it empty.
  const std::string& ShortName() const { return short_name_; }

 private:
  void Close();

  void* handle_ = nullptr;
  std::uint32_t attributes_ = 0;
  std::size_t name_length_ = 0;
  const char* name_ = buffer_;
  std::string short_name_;
  char buffer_[kMaxNameBytes + 1] = {};  // where a backend keeps the name, if it must
};

// What tells one folder from another, however it is reached (through a
// link or not): the volume's serial number and the file index on Windows.
struct FolderIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  bool operator==(const FolderIdentity& other) const {
    return volume == other.volume && index == other.index;
  }
};

// CreateFileA(FILE_FLAG_BACKUP_SEMANTICS) / GetFileInformationByHandle:
// the identity of the folder that `path` (ending in "\") names, links
// followed; false when it cannot be read.
bool ReadFolderIdentity(const char* path, FolderIdentity* identity);

// An open file handle; closed when the object dies.  Opened files are
// shared for reading only: while tavREL holds one, nobody may write it.
class File {
 public:
  enum class Access {
    kRead,    // read, from the start; the file must exist
    kAppend,  // read and write, positioned at the end; must exist
    kCreate,  // write; created, never replacing a file
  };

  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Raises Failure when the file cannot be opened.
  static File Open(const std::string& name, Access access);

  bool IsOpen() const { return handle_ != nullptr; }
  // Bytes read, 0 at the end of the file; raises Failure.
  std::size_t Read(char* buffer, std::size_t size);
  // Writes every byte; raises Failure.
  void Write(const char* data, std::size_t length);
  // Closes the handle; raises Failure when the system reports one.
  void Close();

 private:
  void* handle_ = nullptr;
};

// ---- Registry ---------------------------------------------------------

// RegOpenKeyExA / RegCloseKey.  The key is closed when the object dies.
class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey();
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // Opens the key for reading, in the 64-bit view: the system's result
  // code, 0 when the key is open.
  long Open(std::uint32_t root, const char* subkey);

 private:
  void* handle_ = nullptr;
};

// ---- Process ----------------------------------------------------------

// Once, before anything else: whatever the backend needs set up.
void Initialize();

}  // namespace platform

#endif  // TAVREL_PLATFORM_PLATFORM_H_
