// Folder names without their closing separators, as the dispatch and the
// walk both build on them.
#ifndef TAVREL_SCAN_STRIP_TRAILING_BACKSLASHES_H_
#define TAVREL_SCAN_STRIP_TRAILING_BACKSLASHES_H_

#include <cstddef>
#include <string>

// Where the character at `i` ends.  A lead byte of the ANSI code page takes
// the byte after it along: on double-byte code pages that trail byte may be
// a "\" (0x5C) and is then no separator.
std::size_t NextCharacter(const std::string& text, std::size_t i);

// The length of the text without its trailing `c` characters, a trail byte
// equal to `c` kept with its character.
std::size_t LengthWithoutTrailing(const std::string& text, char c);

// The text without its trailing "\" characters.
std::string StripTrailingBackslashes(std::string text);

#endif  // TAVREL_SCAN_STRIP_TRAILING_BACKSLASHES_H_
