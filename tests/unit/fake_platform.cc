#include "fake_platform.h"

#include <cstdio>
#include <cstring>

#include "cli/run_options.h"
#include "platform/platform.h"

namespace fake {

System& Sys() {
  static System system;
  return system;
}

void Reset() {
  Sys() = System();
  RunOptions = RunOptionsRecord();
}

}  // namespace fake

namespace platform {
namespace {

// Windows-1252 letters: a-z and à-þ (without ÷) against A-Z and À-Þ.
unsigned char Upper(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) ? c - 0x20 : c;
}

unsigned char Lower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ? c + 0x20 : c;
}

std::string Narrow(const char16_t* text) {
  std::string narrow;
  for (; *text != u'\0'; ++text) narrow += static_cast<char>(*text);
  return narrow;
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
  return text;
}

}  // namespace

void Initialize() {}
std::string CommandLine() {
  if (fake::Sys().command_line.empty()) throw Failure("command line");
  return fake::Sys().command_line;
}
bool IsLeadByte(unsigned char b) {
  return fake::Sys().double_byte && ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC));
}

void UpperCase(char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i)
    text[i] = static_cast<char>(Upper(static_cast<unsigned char>(text[i])));
}

void LowerCase(char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i)
    text[i] = static_cast<char>(Lower(static_cast<unsigned char>(text[i])));
}

void ToOemCodePage(char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i)
    if (text[i] == '\xE9') text[i] = '\x82';
}

std::string WordsToCodePage(const std::string& windows1252, CodePage code_page) {
  std::string converted = windows1252;
  for (char& c : converted)
    if (c == '\xE9') c = code_page == CodePage::kAnsi ? 'e' : 'E';
  return converted;
}

std::u16string AnsiToUtf16(const std::string& text) {
  std::u16string wide;
  for (char c : text) wide += static_cast<char16_t>(static_cast<unsigned char>(c));
  return wide;
}

bool HasLeadBytes() { return fake::Sys().double_byte; }

// Latin-1 is the fake's ANSI code page as far as UTF-16 goes.
std::string Utf16ToAnsi(const std::u16string& text) {
  std::string ansi;
  for (char16_t c : text) ansi += c < 0x100 ? static_cast<char>(c) : kLostCharacter;
  return ansi;
}

// One, two and three-byte sequences, unchecked.
std::u16string Utf8ToUtf16(const std::string& text) {
  std::u16string wide;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : 3;
    char16_t unit = n == 1 ? c : n == 2 ? c & 0x1F : c & 0x0F;
    for (std::size_t k = 1; k < n && i + k < text.size(); ++k)
      unit = static_cast<char16_t>((unit << 6) | (text[i + k] & 0x3F));
    wide += unit;
    i += n;
  }
  return wide;
}

bool SfcFileProtected(const char16_t* path) {
  fake::Sys().asked.push_back("sfc " + Narrow(path));
  return fake::Sys().protected_items.count(Narrow(path)) != 0;
}

bool SfcKeyProtected(std::uint32_t root, const char16_t* subkey) {
  // A null subkey (the root itself) shows as the root alone.
  const std::string key = Hex(root) + (subkey ? "\\" + Narrow(subkey) : "");
  fake::Sys().asked.push_back("sfc " + key);
  return fake::Sys().protected_items.count(key) != 0;
}

OutputHandle StdOutputHandle() { return nullptr; }
void ReadConsoleAttributes(OutputHandle, std::uint16_t* attributes) {
  if (fake::Sys().console_attributes >= 0)
    *attributes = static_cast<std::uint16_t>(fake::Sys().console_attributes);
}
void WriteConsoleAttributes(OutputHandle, std::uint16_t attributes) {
  fake::Sys().colours.push_back(Hex(attributes).substr(6));
}
void LockOutput() { ++fake::Sys().lock_depth; }
void UnlockOutput() { --fake::Sys().lock_depth; }
void HandleInterrupts(void (*write_out)()) { fake::Sys().interrupt = write_out; }
bool StdOutputIsCharDevice() { return fake::Sys().console; }
void WriteStdOutput(const char* data, std::size_t length) { fake::Sys().output.append(data, length); }

// A console receives the name and the words as they are, from the ANSI
// code page and Windows-1252.
void WriteStdOutputLine(const std::string& name, const std::string& words,
                        const std::string& oem_words) {
  std::string shown = name;
  if (!fake::Sys().console) ToOemCodePage(&shown[0], shown.size());
  fake::Sys().output += shown + (fake::Sys().console ? words : oem_words) + "\r\n";
}

std::uint32_t ExpandEnvironment(const char* source, char* buffer, std::uint32_t size) {
  if (fake::Sys().expansion_without_nul) {
    std::memset(buffer, 'x', size);
    return size;
  }
  const auto found = fake::Sys().expansions.find(source);
  const std::string text = found == fake::Sys().expansions.end() ? source : found->second;
  if (text.size() < size) std::memcpy(buffer, text.c_str(), text.size() + 1);
  const int count = fake::Sys().expansion_count;
  return static_cast<std::uint32_t>(count >= 0 ? static_cast<std::size_t>(count) : text.size() + 1);
}

std::uint32_t FileAttributes(const char*) { return kInvalidFileAttributes; }
std::string CurrentDirectory() { return "C:\\cwd"; }

std::string FullPathName(const std::string& name) {
  const auto found = fake::Sys().full_paths.find(name);
  return found == fake::Sys().full_paths.end() ? std::string() : found->second;
}

std::string LongPathName(const std::string& path) {
  fake::Sys().asked.push_back("long " + path);
  const auto found = fake::Sys().long_paths.find(path);
  return found == fake::Sys().long_paths.end() ? std::string() : found->second;
}

bool ReadFolderIdentity(const char*, FolderIdentity*) { return false; }
FileSearch::~FileSearch() {}
void FileSearch::Close() { handle_ = nullptr; }
// One search at a time: the entries still to come.
static std::vector<fake::Entry> search_left;
bool FileSearch::First(const char* pattern) {
  fake::Sys().asked.push_back(std::string("find ") + pattern);
  const auto found = fake::Sys().listings.find(pattern);
  search_left = found == fake::Sys().listings.end() ? std::vector<fake::Entry>() : found->second;
  return Next();
}
bool FileSearch::Next() {
  if (search_left.empty()) return false;
  attributes_ = search_left.front().attributes;
  name_length_ = search_left.front().name.copy(buffer_, kMaxNameBytes);
  buffer_[name_length_] = '\0';
  search_left.erase(search_left.begin());
  return true;
}

File::~File() {}
File::File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
File& File::operator=(File&& other) noexcept {
  handle_ = other.handle_;
  other.handle_ = nullptr;
  return *this;
}
File File::Open(const std::string&, Access access) {
  if (access != Access::kCreate) throw Failure("no files here");
  File file;
  file.handle_ = &fake::Sys().report;
  return file;
}
std::size_t File::Read(char*, std::size_t) { throw Failure("no files here"); }
void File::Write(const char* data, std::size_t length) {
  static_cast<std::string*>(handle_)->append(data, length);
}
void File::Close() { handle_ = nullptr; }

RegistryKey::~RegistryKey() { handle_ = nullptr; }

long RegistryKey::Open(std::uint32_t root, const char* subkey) {
  const std::string key = Hex(root) + "\\" + subkey;
  fake::Sys().asked.push_back("open " + key);
  return fake::Sys().keys.count(key) != 0 ? 0 : 2;
}

}  // namespace platform
