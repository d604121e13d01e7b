// The C++ runtime's share of a first load: a DLL linked as readcard.dll is
// (static libstdc++ and libgcc, exceptions), whose start-up builds one
// std::string and nothing else, answering QTZ_DLL_BBH as readcard.dll does.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace {
std::string g_text("built at load, as readcard.dll builds its log's path");
}

extern "C" int32_t __stdcall QTZ_DLL_BBH() {
  try {
    if (g_text.empty()) throw std::runtime_error("never");
    return 86;
  } catch (...) {
    return -1;
  }
}
