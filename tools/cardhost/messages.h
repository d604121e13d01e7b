#pragma once
// Every text that cardhost itself prints, in English and in Chinese, in one
// table (messages.cpp). The texts are in the ANSI code page, as the card
// library's log lines are (GBK for the Chinese ones); %1, %2, ... stand for
// the values given to Say, and a text of several lines holds '\n'.
#include <initializer_list>
#include <string>

#include "tools/cardhost/language.h"

namespace cardhost {

enum class Message {
  // --help
  kUsageHead,
  kUsageTail,
  kUsageHome,
  kPurposeVersion,
  kPurposeIcCardNumber,
  kPurposeMagneticCardNumber,
  kPurposeCardInformation,
  kPurposeInactive,
  // the command line and calls
  kLogUsage,
  kLanguageUsage,
  kUnknownOption,
  kNoExportCalled,
  kExportUsage,
  kCannotLoad,
  kLogged,
  kNothingLoggedTodayIn,
  kNoSuchExport,
  kReturned,
  kReturnedFailed,
  kReturnedInactive,
  kResultText,
  kNotSet,
  kCardNumberFourth,
  kCardNumberFifth,
  kCardNumberSixth,
  kCardInformationThird,
  kStatusFourth,
  // --check
  kCheckHeading,
  kLabelResult,
  kLabelLogDirectory,
  kLabelTodaysLog,
  kNoProblems,
  kNoVersionResource,
  kFileVersion,
  kFileVersionDescribed,
  kFile,
  kSystemCannotLoad,
  kSystemError,
  kHomeNotSet,
  kHomeUsed,
  kHomeEmpty,
  kHomeNotAbsolute,
  kHomeNotADirectory,
  kHomeInstead,
  kLibraryNotFound,
  kFoundBut,
  kNotTheLibrary,
  kLibraryAnswers,
  kDriverNotFound,
  kDriverWithoutRead,
  kDriverReads,
  kLoginIniMissing,
  kFound,
  kRealCardNotSet,
  kRealCardOff,
  kRealCardOn,
  kCurrentNotSet,
  kNumberNotSet,
  kVirtualCardNote,
  kLogNotCreated,
  kLogCannotBeCreated,
  kLogCreatedNow,
  kNothingLoggedToday,
  kLogLines,
  // --check: readcard.ini and the driver host
  kIsolationDefault,
  kIsolationSet,
  kRunsInHostProcess,
  kRunsInDriverHost,
  kIsolationBadValue,
  kDriverHostNotUsed,
  kDriverHostStarts,
  kDriverHostMissing,
  kDriverHostDoesNotStart,
  // --check's ratings and advice
  kRatedWarning,
  kRatedError,
  kAdvice,
  kResultWarnings,
  kResultErrors,
  kCheckNoDirectory,
  kAdviceCopyLibrary,
  kAdviceVendorDriver,
  kAdviceVendorDriverNative,  // Linux: the vendor's shared object
  kDriverSimulated,
  kDriverDecorated,
  kAdviceDecorated,
  kDriverOtherCase,
  kNotThirtyTwoBit,
  kNotADll,
  kMissingModule,
  kAdviceMissingModule,
  kAdviceRealCard,
  kAdviceVirtualNumber,
  kLogNotWritable,
  kAdviceLogWritable,
  kAdviceHome,
  // the command line
  kArgumentTrack,
  kExportUsageWithTrack,
  kCount  // not a message: the number of them
};

// The language of every later Say; English until set.
void UseLanguage(Language language);

// The text of message in the language in use (or the one given), with %1,
// %2, ... replaced by values in order. A value goes in as it is, even when
// it holds a % itself; a placeholder without a value stays as it stands.
std::string Say(Message message, std::initializer_list<std::string> values = {});
std::string Say(Language language, Message message, std::initializer_list<std::string> values = {});

}  // namespace cardhost
