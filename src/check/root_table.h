// The predefined registry roots, and how a key is named after its root.
// Below both the classification of names and the key check, which read it.
#ifndef TAVREL_CHECK_ROOT_TABLE_H_
#define TAVREL_CHECK_ROOT_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <string>

constexpr std::size_t kRootCount = 7;
constexpr std::uint32_t kFirstRootHandle = 0x80000000u;

// The predefined roots by index; slots 4 and 6 (HKEY_PERFORMANCE_DATA,
// HKEY_DYN_DATA) have no name, an empty string.  The root handle of entry i
// is kFirstRootHandle + i.
extern const char* const RootTable[kRootCount];

// The full name of a root: empty for the roots without a name and for a
// handle outside the table (0x7FFFFFFF under /K).
const char* RootName(std::uint32_t root);

// True for a root of the table that has no name.
bool IsRootWithoutName(std::uint32_t root);

// How a key is named in its line: the full root name, "\" and the subkey.
std::string KeyDisplayName(std::uint32_t root, const std::string& subkey_path);

#endif  // TAVREL_CHECK_ROOT_TABLE_H_
