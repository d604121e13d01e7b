#include "card/exports.h"

#include "card/card_info.h"
#include "card/export_guard.h"
#include "card/ic_card_number.h"
#include "card/magnetic_card.h"

// Each working export is a thin, non-throwing shell around its card operation:
// nothing may unwind into the host, whatever language it is written in.

extern "C" {

int32_t READCARD_API QTZ_DLL_BBH() { return READCARD_VERSION; }

int32_t READCARD_API QTZ_DKH(int32_t, int32_t, int32_t, int32_t, char** cardNumber,
                             char** cardNumberCopy) {
  return card::RunGuarded([&] { return card::ReadIcCardNumber(cardNumber, cardNumberCopy); });
}

int32_t READCARD_API CK_DKH(int32_t, int32_t, const char* track, char** cardNumber) {
  return card::RunGuarded([&] { return card::ReadMagneticCard(track, cardNumber); });
}

int32_t READCARD_API SBK_YKT_ICGETINFO(int32_t, int32_t, char** cardInfo, int32_t* status) {
  return card::RunGuarded([&] { return card::ReadIcCardInfo(cardInfo, status); });
}

int32_t READCARD_API QTZ_ErrorString(int32_t, int32_t, int32_t) { return 0; }
int32_t READCARD_API QTZ_FindWindow2(int32_t) { return 0; }
int32_t READCARD_API QTZ_HSXK(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) { return 0; }
int32_t READCARD_API QTZ_YKT_JK_SD() { return 0; }
int32_t READCARD_API SBK_YKT_ICPURCHASE(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                        int32_t, int32_t, int32_t, int32_t, int32_t) {
  return 0;
}
int32_t READCARD_API SBK_YKT_ICTRANSLOG(int32_t, int32_t, int32_t) { return 0; }

}  // extern "C"
