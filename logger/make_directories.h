#pragma once
// Creating the log directory. Paths are the system's narrow (ANSI) text and
// reach it unchanged: no conversion of encoding on the way.
#include <string>

#include "host/host_directory.h"

namespace logger {

// Platform seam: creates the one directory path (its parent must exist).
// True when path is a directory afterwards, made now or there before.
bool MakeDirectory(const std::string& path);

using MakeDirectoryFunction = bool (*)(const std::string&);

// Creates every missing directory along directory, parents first, each handed
// to makeDirectory without its trailing separator. A parent that cannot be
// made (a drive root, say) is passed over. The second byte of a two-byte
// character is never taken for a separator. True when the whole directory
// exists afterwards. Never throws for a directory that cannot be made.
bool MakeDirectories(const std::string& directory, char separator,
                     host::LeadBytePredicate isLeadByte,
                     MakeDirectoryFunction makeDirectory = MakeDirectory);

}  // namespace logger
