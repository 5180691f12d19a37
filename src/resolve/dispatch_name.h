// Turns one name into its checks: a key, a folder, or a folder and a mask.
#ifndef TAVREL_RESOLVE_DISPATCH_NAME_H_
#define TAVREL_RESOLVE_DISPATCH_NAME_H_

#include <cstddef>
#include <string>

// Checks and reports everything the name stands for.  Writes nothing of
// its own; nothing at all when there is nothing to check.
void DispatchName(const std::string& name);

// The text with its environment-variable references expanded.  False when
// the system cannot give the whole expansion: nothing is then to be checked,
// neither a cut name nor the current folder.
bool ExpandNameVariables(const std::string& text, std::string* expanded);

// Length of the folder part: the position just past the last "\" or ":"
// that is not the trail byte of a double-byte character; 0 without one.
std::size_t FolderPartLength(const std::string& name);

#endif  // TAVREL_RESOLVE_DISPATCH_NAME_H_
