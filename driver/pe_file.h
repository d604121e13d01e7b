#pragma once
// What a Windows DLL file says about itself without being loaded: for which
// processor it was built, the names it exports and the DLLs it imports.
// cardhost and the card service's desk report read it to say what is wrong
// with a library the system cannot load, or with a driver that lacks its
// function, without loading it. Plain bytes, no system call: the same on
// every build.
#include <cstdint>
#include <string>
#include <vector>

namespace driver {

struct PeFile {
  bool valid = false;                // a readable PE image (an MZ file with PE headers)
  std::uint16_t machine = 0;         // IMAGE_FILE_MACHINE_*: 0x14C x86, 0x8664 x64
  bool dll = false;                  // IMAGE_FILE_DLL
  std::vector<std::string> exports;  // the export names, as written
  std::vector<std::string> imports;  // the imported DLLs' names
};

constexpr std::uint16_t kMachineX86 = 0x14C;

// Reads the file at path; valid false when it cannot be read or is no PE image.
PeFile ReadPeFile(const std::string& path);
// The same for an image's bytes.
PeFile ParsePeFile(const std::string& bytes);

}  // namespace driver
