#pragma once
#include <string>

namespace text {

// Tells whether a byte opens a two-byte character in the path's code page.
using LeadBytePredicate = bool (*)(unsigned char);

// The leading part of path up to and including its last separator; "" when
// path holds none. The second byte of a two-byte character is never taken for
// a separator, even when it has the separator's code (GBK allows 0x5C there).
std::string DirectoryOf(const std::string& path, char separator,
                        LeadBytePredicate isLeadByte);

}  // namespace text

// The host program's directory with its trailing separator ("C:\Host\" for
// C:\Host\host.exe), or "" when it cannot be had; natively the directory that
// READCARD_HOME names, when it names one (text/readcard_home.h). Asks the
// system every time.
std::string GetModuleDirectory();
