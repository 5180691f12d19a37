// The two questions the program exists for, and the line each answer gives.
#ifndef TAVREL_CHECK_PROTECTION_CHECKS_H_
#define TAVREL_CHECK_PROTECTION_CHECKS_H_

#include <cstdint>
#include <string>

// Items found protected so far in this run.
extern std::uint64_t ProtectedCount;

// Each asks the protection service, colours the console, writes the
// item's line to the console and the report file as the options say, and
// counts it.  Failures are dropped, except a failed report-file write,
// which is raised (ReportFailure).
void CheckFileProtection(const std::string& path);
// The same for a file that a folder listing gave (`folder` ends in "\"):
// the listing gives its long name, so only the folder may hold short names,
// and of a walk's folders only the first, which the user wrote: the others
// are that one and names that listings gave.
void CheckFileProtection(const std::string& folder, const std::string& listed_name);
// A walk starts: the folders checked from now on are the walk's.
void StartWalkOfListedFolders();
void CheckKeyProtection(std::uint32_t root, const std::string& subkey_path);

#endif  // TAVREL_CHECK_PROTECTION_CHECKS_H_
