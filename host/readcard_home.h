#pragma once
// Platform seam: READCARD_HOME. Linux hosts often run under an interpreter
// (java, python3) whose directory is a system directory; there the desk's
// companion files (Login.ini, the card driver, the log) lie in the directory
// that READCARD_HOME names, which then takes the host program's directory's
// place. Windows has no such setting: the host program's directory holds.
#include <string>

namespace host {

constexpr char kHomeVariable[] = "READCARD_HOME";

struct HomeSetting {
  enum State {
    kNotSet,         // unset (always so on Windows)
    kUsed,           // an absolute path of an existing directory
    kEmpty,          // set to the empty text: ignored
    kNotAbsolute,    // a relative path: ignored, the current directory moves
    kNotADirectory,  // no such directory (a slip of the pen, not mounted): ignored
  };
  State state = kNotSet;
  std::string value;      // as set
  std::string directory;  // when used: the value with its trailing separator
};

// READCARD_HOME as the environment holds it now. Any setting but kUsed
// leaves the host program's directory in place, as if it were unset: a
// wrong setting must not send the library to read and write elsewhere.
HomeSetting ReadHomeSetting();

// Whether this platform reads READCARD_HOME at all.
bool HomeVariableApplies();

}  // namespace host
