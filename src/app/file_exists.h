// Whether a file of that name exists, as the driver understands it.
#ifndef TAVREL_APP_FILE_EXISTS_H_
#define TAVREL_APP_FILE_EXISTS_H_

#include <string>

// True when the system's file search finds the name and its first entry
// is not a folder.  "*" and "?" in the name act as wildcards of the search.
bool FileExists(const std::string& name);

#endif  // TAVREL_APP_FILE_EXISTS_H_
