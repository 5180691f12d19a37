// How the core reads a name's ANSI bytes: where a character ends, the name
// without its closing separators, its letters in upper case.  Here, below
// every folder that reads names, so that each rule is written once.
#ifndef TAVREL_OUTPUT_ANSI_TEXT_H_
#define TAVREL_OUTPUT_ANSI_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

// Where the character at `i` ends.  A lead byte of the ANSI code page takes
// the byte after it along: on double-byte code pages that trail byte may be
// a "\" (0x5C), a quote or a blank, and is then none of them.
std::size_t NextCharacter(std::string_view text, std::size_t i);

// The text without its trailing "\" characters; a trail byte 0x5C stays
// with its character.
std::string StripTrailingBackslashes(std::string text);

// The text in upper case by the system's rules for its ANSI code page
// (accented letters too), as the system compares names and options.
std::string AnsiUpperCase(std::string text);

#endif  // TAVREL_OUTPUT_ANSI_TEXT_H_
