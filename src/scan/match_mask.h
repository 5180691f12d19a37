// The program's own wildcard matcher.
#ifndef TAVREL_SCAN_MATCH_MASK_H_
#define TAVREL_SCAN_MATCH_MASK_H_

#include <string_view>

// True when the name is selected by the mask.  One forward pass, one
// remembered star, no backtracking: a star stops only where the next name
// byte equals the mask byte after it and no "." follows in the name, so the
// results differ from ordinary wildcard matching (every match here is one
// there, not the reverse).  Characters are compared exactly, byte for byte;
// callers fold case.  On a double-byte code page a character is a lead
// byte and its trail byte: "?" takes one, and no byte of the mask is ever
// compared with a trail byte.
bool MatchMask(std::string_view name, std::string_view mask);

#endif  // TAVREL_SCAN_MATCH_MASK_H_
