#pragma once
// Every text that the card service itself says (its log, its JSON answers,
// its console), in one table (messages.cpp), in Chinese and in English.
// The texts are UTF-8, as everything inside the service is: a text of the
// system code page (a Windows path, the system's error text) is made UTF-8
// where it comes in (SystemText, PathText), and UTF-8 leaves for the console
// through ConsoleText only.
//
// Failures below the outcome of a request are named codes, as a library's
// errors are: the parts that fail return a Failure, the caller decides what
// it means and words it with Say.
#include <initializer_list>
#include <string>
#include <utility>

namespace service {

enum class Words {
  // cardservice.ini
  kConfigPort,          // %1 the value
  kConfigTimeout,       // %1 the value
  kConfigOrigin,        // %1 the entry, %2 why
  kConfigWritableDesk,  // %1 the value
  kConfigInFile,        // %1 the file, %2 what is wrong
  // why a web origin as written never matches what browsers send (the %2
  // of kConfigOrigin)
  kOriginNoScheme,
  kOriginNotWeb,
  kOriginWildcard,
  kOriginPath,
  kOriginUser,
  kOriginBlankOrNonAscii,
  kOriginOpenBracket,
  kOriginNoHost,
  kOriginAfterHost,
  kOriginPort,
  // listening
  kListenInUse,   // %1 the port
  kListenDenied,  // %1 the port
  kListenFailed,  // %1 the port, %2 the system's reason
  // the card worker's process, as StartWorkerProcess fails
  kWorkerCannotStart,  // %1 the program, %2 the system's reason
  kWorkerNoPipe,       // %1 the system's call, %2 its error
  // the card worker, as its supervisor logs it
  kWorkerReady,  // %1 the library's version
  kWorkerEndedWithService,
  kWorkerNotReady,  // %1 seconds waited
  kWorkerSays,      // %1 what the worker could not load
  kDriverNoAnswer,  // %1 seconds waited
  kWorkerInputClosed,
  kWorkerEndedUnexpectedly,
  kWorkerDiedInCall,    // %1 how the supervisor saw it end
  kWorkerDiedStarting,  // %1 how the supervisor saw it end
  kWorkerDiedIdle,      // %1 how the supervisor saw it end
  kWorkerAnswerUnreadable,
  kWorkerAnswerOutOfTurn,  // %1 the answer's call number, %2 the one expected
  kWorkerFaultEnded,       // %1 what the worker sent
  kHowItEnded,             // %1 why it was ended, %2 how the process ended ("exit code 3")
  // the card worker, as a card call is answered when it cannot answer
  kAnswerStopping,
  kAnswerBusy,
  kAnswerWorkerCannotStart,
  kAnswerWorkerNotReady,
  kAnswerDriverNoAnswer,  // %1 seconds waited
  kAnswerDriverCrashed,
  kAnswerWorkerFaultInCall,
  kAnswerWorkerFault,
  // the card library, as the worker loads and calls it (answers of a read)
  kLibraryCannotLoad,    // %1 the library's file
  kLibraryNotFound,      // %1 the library's file
  kLibraryWrongVersion,  // %1 the library's file
  kNothingLogged,        // a failed call left nothing in the card log
  kOwnRecordUnknown,     // a failed call's own record cannot be told apart
  // the program's console and log
  kNotStartedConsole,  // %1 why
  kNotStartedLog,      // %1 why
  kStartedLog,         // %1 port, %2 origins, %3 timeout, %4 ini file, %5 note
  kConfigMissingNote,
  kMachineSettingsNote,  // %1 the registry key
  kNoOrigins,
  kStopped,     // %1 why
  kStopSignal,  // %1 the signal's number
  kStopByManager,
  kListening,      // %1 port
  kManagerStatus,  // %1 port
  // the command line
  kValueMissing,     // %1 the option
  kPortOption,       // %1 the value
  kUnknownArgument,  // %1 the argument
  kOneMode,          // %1 the argument
  kSetForm,
  kOnlyWith,  // %1 the option, %2 the mode it needs
  kUsage,
  // the Windows service
  kNeedAdministrator,  // %1 the system's reason
  kCannotUpdate,       // %1 the system's reason
  kCannotRegister,     // %1 the system's reason
  kCannotSetRecovery,  // %1 the system's reason
  kCannotStart,        // %1 the system's reason
  kCannotStop,         // %1 the system's reason
  kInstalledRunning,   // %1 the service's name, %2 the port
  kRestartedRunning,   // %1 the service's name, %2 the port
  kInstalledStopped,   // %1 the service's name, %2 the exit code
  kStillStarting,      // %1 the service's name, %2 seconds waited
  kServiceLogSays,     // %1 the last line of the service's log
  kSeeServiceLog,      // %1 the log file
  kExitConfig,
  kExitListen,
  kExitOther,              // %1 the exit code
  kNotInstalled,           // %1 the service's name
  kUninstalled,            // %1 the service's name
  kUninstalledNotStopped,  // %1 the service's name
  kOnlyForManager,         // %1 the system's reason
  kCannotSetUpDesk,        // %1 why
  kCannotRegisterSource,   // %1 the system's reason
  kWindowsOnly,            // the Windows service's options elsewhere
  kServiceDisplayName,     // the Windows service's name as the service manager shows it
  kServiceDescription,     // and the description beside it
  // the desk's settings an installer gives (--set)
  kUnknownSetting,       // %1 the key
  kBrowserPolicyValue,   // %1 the value
  kNotAFolder,           // %1 the key, %2 the value
  kFolderMissing,        // %1 the key, %2 the folder
  kCannotCopy,           // %1 the file written, %2 the system's reason
  kCannotWritePolicy,    // %1 the registry key, %2 the system's reason
  kCannotWriteSettings,  // %1 the registry key, %2 the system's reason
  // the service's log, its refusals and its daily cap
  kSenderOrigin,      // %1 the request's origin
  kSenderHost,        // %1 the request's host
  kOtherSenders,      // the senders past those told apart, as one
  kRefusalsHeldBack,  // %1 the sender, %2 how many
  kValueCut,          // %1 the value's first bytes, %2 its whole length in bytes
  kLogCapReached,     // %1 the day's limit in bytes
  kLogHeldBack,       // %1 how many lines
  // the HTTP interface: its answers ({"ok":false,"message":...}) and the
  // refusals its log records
  kRefusedHost,
  kHostNotAccepted,  // %1 the request's host
  kRefusedOrigin,
  kOriginNotAllowed,  // %1 the request's origin
  kNoSuchPath,        // %1 the path
  kMethodOnly,        // %1 the method the path takes
  kBodyTooLarge,
  kNotJsonType,
  kContentTypeRefused,  // %1 the request's content type
  kBodyNotJson,
  kBodyNotObject,
  kNoTrack,
  kReadFailedUnlogged,
  kCardBusy,
  kDriverTimedOut,
  kDriverCrashed,
  kCardUnavailable,
  kHeadersTooLarge,
  kNotHttp,
  kHeadersTooLargeSender,  // the sender of a request whose headers were cut off
  kRefusedHeaders,         // %1 the limit in bytes
  kRefusedBody,            // %1 method, %2 target, %3 the limit in bytes, %4 the sender
  kRefusedRequest,         // %1 method and target, %2 why
  // the system's event log
  kRefusalsBefore,  // %1 how many
  // the desk's checks (/v1/desk, the status page)
  kDeskNoLibrary,
  kDeskNoDriver,
  kDeskDriverNot32Bit,
  kDeskDriverNoRead,
  kDeskDriverSimulated,
  kDeskVirtualCard,
  kDeskLogNotWritable,
  kDeskWritableChecks,  // reads refused
  kDeskWritableServed,  // writabledesk = serve
  // who may change the service's folder and files (%1 the path, %2 the
  // account, %3 the rights or the system's reason)
  kDeskWritableBy,
  kDeskOwnedBy,
  kDeskNoAccessList,
  kDeskUnreadable,
  kDeskOthers,
  kDeskWritableRefusingLog,  // %1 the findings
  kDeskWritableServingLog,   // %1 the findings
  kDeskReadsRefused,         // the answer to a card read
  kCount                     // not a text: the number of them
};

enum class Language { kChinese, kEnglish };

// The language of the console: the user interface's (Windows: Chinese when
// the user's interface is Chinese and the code page GBK; elsewhere the
// locale environment). The log and the JSON answers are always Chinese.
Language ConsoleLanguage();

// The text in the language asked for (Chinese if none), %1, %2, ... replaced
// by values in order; a value goes in as it is.
std::string Say(Words words, std::initializer_list<std::string> values = {});
std::string Say(Language language, Words words, std::initializer_list<std::string> values = {});

// A failure below the outcome: which one, and the values its words need
// (UTF-8). A failure found in a file says which.
struct Failure {
  Failure() = default;
  Failure(Words words, std::string first = {}, std::string second = {})
      : code(words), value(std::move(first)), detail(std::move(second)) {}
  Words code = Words::kCount;  // kCount: none
  std::string value;           // %1
  std::string detail;          // %2
  std::string file;            // "": not about a file
  explicit operator bool() const { return code != Words::kCount; }
};

// The one wording of a failure: its words, and in front of them the file's
// (kConfigInFile) when it names one.
std::string Say(Language language, const Failure& failure);
inline std::string Say(const Failure& failure) { return Say(Language::kChinese, failure); }

}  // namespace service
