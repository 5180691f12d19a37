// Folder names without their closing separators, as the dispatch and the
// walk both build on them.
#ifndef TAVREL_SCAN_STRIP_TRAILING_BACKSLASHES_H_
#define TAVREL_SCAN_STRIP_TRAILING_BACKSLASHES_H_

#include <string>

// The text without its trailing "\" characters.
std::string StripTrailingBackslashes(std::string text);

#endif  // TAVREL_SCAN_STRIP_TRAILING_BACKSLASHES_H_
