#pragma once
// Environment variables for the programs and libraries that a test starts or
// loads afterwards (the simulated driver reads its settings from them).

namespace testing_support {

// Sets name to value; a null value removes it.
void SetVariable(const char* name, const char* value);

}  // namespace testing_support
