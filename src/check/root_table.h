// The predefined registry roots, and how a key is named after its root.
// Below both the classification of names and the key check, which read it.
#ifndef TAVREL_CHECK_ROOT_TABLE_H_
#define TAVREL_CHECK_ROOT_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <string>

constexpr std::size_t kRootCount = 7;
constexpr std::uint32_t kFirstRootHandle = 0x80000000u;

// The predefined roots by index; slots 4 and 6 have no name.  The root
// handle of entry i is kFirstRootHandle + i.
extern const char* const RootTable[kRootCount];

// How a key is named in its line: the full root name, "\" and the subkey.
std::string KeyDisplayName(std::uint32_t root, const std::string& subkey_path);

#endif  // TAVREL_CHECK_ROOT_TABLE_H_
