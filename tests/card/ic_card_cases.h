#pragma once
// The IC card reads that every build must answer alike, and runners that put
// them to QTZ_DKH and SBK_YKT_ICGETINFO however they are reached (linked in,
// or through readcard.dll), with the simulated driver and a Login.ini in the
// host program's directory.
#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace iccard {

// The card exports, called with their unread arguments filled with noise.
struct CardExports {
  std::function<int32_t(char**, char**)> readNumber;      // QTZ_DKH
  std::function<int32_t(char**, int32_t*)> readInfo;      // SBK_YKT_ICGETINFO
  std::function<int32_t(const char*, char**)> readTrack;  // CK_DKH
};

// Where the library runs the driver: in the host's process, or in the
// driver host (readcard.ini [driver] isolation). Every case answers alike in
// both.
enum class Isolation { kNone, kProcess };

// Under qemu-user (the cross build's tests) a program cannot start another
// of its own architecture: no binfmt_misc hands it to the emulator, so the
// driver host cannot run there. Tests of isolation skip, saying so.
#ifdef READCARD_NO_CHILD_PROGRAMS
constexpr bool kChildProgramsStart = false;
#else
constexpr bool kChildProgramsStart = true;
#endif
#define SKIP_WITHOUT_CHILD_PROGRAMS() \
  if (!iccard::kChildProgramsStart)   \
  GTEST_SKIP() << "the driver host cannot start under qemu-user (no binfmt_misc)"
const char* IsolationName(Isolation isolation);

// The host program's directory as the library sees it. Tests put Login.ini
// and the simulated driver's answer there; the destructor takes them away and
// puts the real simulated driver back.
class HostDirectory {
 public:
  HostDirectory(std::string directory, char separator);
  ~HostDirectory();
  HostDirectory(const HostDirectory&) = delete;
  HostDirectory& operator=(const HostDirectory&) = delete;

  void WriteLoginIni(const std::string& text);
  void RemoveLoginIni();
  void WriteReadcardIni(const std::string& text);
  void RemoveReadcardIni();
  // readcard.ini choosing isolation (none: no readcard.ini at all).
  void UseIsolation(Isolation isolation);
  // One of the simulated driver's SIMCARD_* settings (nullptr: unset), in
  // SSCardDriver.env, so that a driver in another process sees it too.
  void SetDriverSetting(const std::string& name, const char* value);
  // The simulated driver's next answers: result code and record bytes.
  void SetDriverAnswer(int32_t result, const std::string& record);
  void RemoveDriver();          // no SSCardDriver in the directory
  void UseDriverWithoutRead();  // an SSCardDriver without iReadCardBas
  // A copy of another driver file of the directory in SSCardDriver's place.
  void UseDriver(const std::string& file);
  void RestoreDriver();
  std::string LogPath() const;

 private:
  std::string File(const std::string& name) const;
  void Clear();
  std::string m_directory;
  std::map<std::string, std::string> m_settings;
  char m_separator;
};

void RunCardNumberCases(const CardExports& exports, HostDirectory& host);
void RunCardInfoCases(const CardExports& exports, HostDirectory& host);
void RunDriverTroubleCases(const CardExports& exports, HostDirectory& host);
void RunBufferSharingCases(const CardExports& exports, HostDirectory& host);
void RunNullArgumentCases(const CardExports& exports, HostDirectory& host);
// A driver that writes into the slack after the record (SIMCARD_OVERRUN).
void RunDriverSlackCases(const CardExports& exports, HostDirectory& host);

#ifdef _WIN32
// A driver that crashes or writes past the record (SIMCARD_FAULT): both
// reads answer -1 with one record each, the driver is freed, and the next
// reads answer as before.
void RunDriverFaultCases(const CardExports& exports, HostDirectory& host);
#endif

}  // namespace iccard
