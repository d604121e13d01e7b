#pragma once
// The host program's directory: where Login.ini, the card driver and Log/
// lie beside the program that loaded the library (natively, READCARD_HOME may
// stand in for it: host/readcard_home.h).
#include <string>

namespace host {

// Tells whether a byte opens a two-byte character in the path's code page.
using LeadBytePredicate = bool (*)(unsigned char);

// The leading part of path up to and including its last separator; "" when
// path holds none. The second byte of a two-byte character is never taken for
// a separator, even when it has the separator's code (GBK allows 0x5C there).
std::string DirectoryOf(const std::string& path, char separator, LeadBytePredicate isLeadByte);

// The host program's directory with its trailing separator ("C:\Host\" for
// C:\Host\host.exe), or "" when it cannot be had; natively the directory that
// READCARD_HOME names, when it names one. It is the program's directory, not
// this library's: a host keeps its desk's files beside itself. Asks the
// system every time.
std::string HostDirectory();

}  // namespace host
