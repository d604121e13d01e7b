// SSCardDriverHelper.dll: a DLL that SSCardDriverNeedsHelper.dll imports, as
// vendors' drivers import their runtime; leave it out to see error 126.
#include <cstdint>

extern "C" __declspec(dllexport) int32_t HelperAnswer() { return 0; }
