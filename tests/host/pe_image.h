#pragma once
// Reads the headers of a module that the system has loaded into this process.
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace host {

// Export name to ordinal, as the loaded image's export directory lists them.
std::map<std::string, uint16_t> ExportOrdinals(HMODULE module);

// Number of exported function slots (named or not).
uint32_t ExportSlotCount(HMODULE module);

// A copy of every writable section of the image (.data, .bss, ...): the
// library's whole static state.
std::vector<uint8_t> WritableState(HMODULE module);

// The loaded library's own path.
std::string ModulePath(HMODULE module);

// This test program's directory, with its trailing backslash.
std::string ProgramDirectory();

}  // namespace host
