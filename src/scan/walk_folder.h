// The folder walk: files of a folder that match a mask, and, under /R,
// of every folder below it, depth first.
#ifndef TAVREL_SCAN_WALK_FOLDER_H_
#define TAVREL_SCAN_WALK_FOLDER_H_

#include <string>

// Checks every matching file of the folder; under /R then walks each
// subfolder in listing order.  A folder that cannot be listed adds nothing.
void WalkFolder(const std::string& folder, const std::string& mask);

#endif  // TAVREL_SCAN_WALK_FOLDER_H_
