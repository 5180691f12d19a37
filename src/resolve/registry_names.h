// Registry key names: which names are keys, their roots and subkeys.
#ifndef TAVREL_RESOLVE_REGISTRY_NAMES_H_
#define TAVREL_RESOLVE_REGISTRY_NAMES_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "check/root_table.h"

// "HK" and the letter after each "_": HKEY_LOCAL_MACHINE gives HKLM.
std::string RootAbbreviation(const std::string& root_name);
// The full root name for an abbreviation; the segment unchanged otherwise.
std::string ExpandRootAbbreviation(const std::string& segment);
// Index of the root named, any letter case; -1 for none.
int FindRootIndex(const std::string& root_name);

// Trims the name in place (bytes 0x00 to 0x20 at both ends).  For a key
// name returns true, sets `root_handle` and replaces the name by its
// subkey path.  Under /K every name is a key.
bool ClassifyName(std::string& name, std::uint32_t& root_handle);

// True when the key can be opened for reading (64-bit view).
bool KeyExists(std::uint32_t root_handle, const std::string& subkey_path);

#endif  // TAVREL_RESOLVE_REGISTRY_NAMES_H_
