#include "pe_image.h"

namespace host {
namespace {

// The headers of an image of the test's own architecture (32 or 64 bits:
// the optional header's size differs).
const IMAGE_NT_HEADERS* NtHeaders(HMODULE module) {
  auto base = reinterpret_cast<const uint8_t*>(module);
  auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  return reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
}

const IMAGE_EXPORT_DIRECTORY* ExportDirectory(HMODULE module) {
  const IMAGE_DATA_DIRECTORY& entry =
      NtHeaders(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (entry.VirtualAddress == 0) return nullptr;
  return reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(reinterpret_cast<const uint8_t*>(module) +
                                                         entry.VirtualAddress);
}

}  // namespace

std::map<std::string, uint16_t> ExportOrdinals(HMODULE module) {
  std::map<std::string, uint16_t> result;
  const IMAGE_EXPORT_DIRECTORY* exports = ExportDirectory(module);
  if (exports == nullptr) return result;
  auto base = reinterpret_cast<const uint8_t*>(module);
  auto names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  auto ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    const char* name = reinterpret_cast<const char*>(base + names[i]);
    result[name] = static_cast<uint16_t>(ordinals[i] + exports->Base);
  }
  return result;
}

uint32_t ExportSlotCount(HMODULE module) {
  const IMAGE_EXPORT_DIRECTORY* exports = ExportDirectory(module);
  return exports == nullptr ? 0 : exports->NumberOfFunctions;
}

std::vector<uint8_t> WritableState(HMODULE module) {
  std::vector<uint8_t> state;
  const IMAGE_NT_HEADERS* nt = NtHeaders(module);
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  auto base = reinterpret_cast<const uint8_t*>(module);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    if ((section->Characteristics & IMAGE_SCN_MEM_WRITE) == 0) continue;
    const uint8_t* start = base + section->VirtualAddress;
    state.insert(state.end(), start, start + section->Misc.VirtualSize);
  }
  return state;
}

std::string ModulePath(HMODULE module) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(module, path, MAX_PATH);
  return path;
}

std::string ProgramDirectory() {
  std::string path = ModulePath(nullptr);
  return path.substr(0, path.rfind('\\') + 1);
}

}  // namespace host
