// What the stand-in's files share among themselves; not part of the seam.
#ifndef TAVREL_PLATFORM_STANDIN_INTERNAL_H_
#define TAVREL_PLATFORM_STANDIN_INTERNAL_H_

#include <cstdint>
#include <set>
#include <string>
#include <unordered_set>

namespace platform {
namespace standin {

// Windows-1252 <-> UTF-8, as the system converts host names, arguments and
// environment values; a character without an ANSI form becomes
// kLostCharacter.
std::string AnsiToUtf8(const std::string& ansi);
std::string Utf8ToAnsi(const std::string& utf8);
// UTF-8 as UTF-16, as Wine reads host names: the leads C2 to F4 start a
// character; a byte that starts none, and a sequence broken, overlong, a
// surrogate or past U+10FFFF, becomes U+FFFD, as does the rest of a text
// too short for its last lead.
std::u16string Utf8ToUtf16(const char* text);
// UTF-16 back to Windows-1252; a character without an ANSI form (a
// surrogate pair is one) becomes kLostCharacter.
std::string Utf16ToAnsi(const char16_t* text, std::size_t length);
std::string Utf16ToAnsi(const char16_t* text);
// Code page 850 bytes as UTF-8, to show console text on a terminal.
std::string OemToUtf8(const char* oem, std::size_t length);
// Windows-1252 case folding of one byte, to lower case.
unsigned char FoldAnsi(unsigned char c);
// The order of names in a folder listing: by upper case, then exactly.
bool ListsBefore(const char* a, const char* b);
// A key whose order is that of the names' first eight characters.
std::uint64_t ListingKeyPrefix(const char* name);
// Case-insensitive comparison of two ANSI texts; a lost character equals
// nothing.
bool EqualIgnoringCase(const std::string& a, const std::string& b);

// The short alias Wine makes up for a host (UTF-8) name that is no 8.3
// name ("Program Files" is PROG~W2D); empty for one that is.
std::string ShortAlias(const char* host_name);
// True when the name has an alias's shape: eight characters, the fifth a
// "~", then at most a dot and three more.
bool CouldBeShortAlias(const std::string& name);

// The host path for a Windows path (Z:\a\b is /a/b), resolved letter case
// by letter case as the system does; empty when it cannot be reached.
// `parent_only` resolves every component but the last, which is returned
// as given (for creating files).
std::string HostPath(const std::string& windows_path, bool parent_only = false);
// True when the file name (its last component) names the null device:
// "NUL", in any case, with or without an extension.
bool IsNullDevice(const std::string& file_name);
// The current directory as a Windows path.
std::string WindowsCurrentDirectory();

// The contents of the file that the environment variable names; false
// when the variable is unset or the file cannot be read.
bool ReadSettingFile(const char* variable, std::string* contents);

// The keys of a .reg file, each with its parents, as "index\\path" in
// folded letter case (index: the root's number, 0 to 6).
std::set<std::string> ParseRegistryFile(const std::string& raw);
// The protected items of a catalogue, in folded letter case.
std::unordered_set<std::string> ParseCatalogue(const std::string& text);

// The predefined key's name (HKEY_LOCAL_MACHINE...); "" for other handles.
const char* RootKeyName(std::uint32_t root);

}  // namespace standin
}  // namespace platform

#endif  // TAVREL_PLATFORM_STANDIN_INTERNAL_H_
