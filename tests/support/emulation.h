#pragma once
// Where the Windows tests run inside an emulated machine (the test scripts
// set READCARD_EMULATED=1 there), programs run 10 to 50 times slower. Tests
// that repeat an operation many times take a smaller count there, and keep
// the full count everywhere else.

namespace testing_support {

// True when the environment variable name is set to 1, as the test scripts
// and the test registrations set their switches.
bool EnvironmentFlag(const char* name);

// True when READCARD_EMULATED is set to 1.
bool RunningEmulated();

// native, or emulated when running emulated.
int RepeatCount(int native, int emulated);

}  // namespace testing_support
