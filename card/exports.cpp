#include "card/exports.h"

#include "card/magnetic_card.h"

// Each working export is a thin, non-throwing shell around its card operation:
// nothing may unwind into the host, whatever language it is written in.

extern "C" {

int32_t READCARD_API QTZ_DLL_BBH() { return 86; }

int32_t READCARD_API QTZ_DKH(int32_t, int32_t, int32_t, int32_t,
                             char** /*cardNumber*/, char** /*cardNumberCopy*/) {
  return -1;
}

int32_t READCARD_API CK_DKH(int32_t, int32_t, const char* track,
                            char** cardNumber) {
  try {
    return card::ReadMagneticCard(track, cardNumber);
  } catch (...) {
    return -1;  // only when even the failure record could not be made
  }
}

int32_t READCARD_API SBK_YKT_ICGETINFO(int32_t, int32_t, char** /*cardInfo*/,
                                       int32_t* /*status*/) {
  return -1;
}

int32_t READCARD_API QTZ_ErrorString(int32_t, int32_t, int32_t) { return 0; }
int32_t READCARD_API QTZ_FindWindow2(int32_t) { return 0; }
int32_t READCARD_API QTZ_HSXK(int32_t, int32_t, int32_t, int32_t, int32_t,
                              int32_t) {
  return 0;
}
int32_t READCARD_API QTZ_YKT_JK_SD() { return 0; }
int32_t READCARD_API SBK_YKT_ICPURCHASE(int32_t, int32_t, int32_t, int32_t,
                                        int32_t, int32_t, int32_t, int32_t,
                                        int32_t, int32_t, int32_t) {
  return 0;
}
int32_t READCARD_API SBK_YKT_ICTRANSLOG(int32_t, int32_t, int32_t) { return 0; }

}  // extern "C"
