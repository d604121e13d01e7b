#pragma once
// The library's logging facility: one streamed statement makes one
// time-stamped record line.
//
//   g_fileLogger(logger::Error) << "读卡失败,错误码:" << code;
//
// The temporary LogStream collects the text; its destructor stamps the line
// with the local time and hands it to the logger's output under the logger's
// one mutex, so lines from different threads never mix.
#include <cstdint>
#include <ctime>
#include <string>
#include <type_traits>

#include "logger/daily_file.h"
#include "logger/mutex.h"

namespace logger {

enum Level : int32_t { Debug = 0, Info = 1, Warning = 2, Error = 3, Fatal = 4 };

// The line end of the log file on disk: CR LF on Windows, as the files have
// always been written there, LF elsewhere.
#ifdef _WIN32
constexpr const char* kFileLineEnd = "\r\n";
#else
constexpr const char* kFileLineEnd = "\n";
#endif

// Appends to line the record line as the file stores it,
// "[YYYY-MM-DD hh:mm:ss][Level]<TAB>message" then lineEnd, with every LF of
// the message replaced by lineEnd the way a text-mode write stores it (a CR
// already before the LF stays). message is taken up to its first NUL. line
// is the caller's, so that its storage serves the next record too.
void AppendRecordLine(std::string& line, const std::tm& time, const char* levelName,
                      const char* message, const char* lineEnd);

class BaseLogger {
 public:
  // One record under construction. It takes what the standard output
  // streams take from the library's log statements, and writes it the same
  // way: texts byte for byte (up to a NUL for C texts), single characters,
  // and integers in decimal without width or fill. No stream library
  // behind it: iostreams would be most of the DLL's size.
  class LogStream {
   public:
    LogStream(BaseLogger* logger, Level level);
    // Writes the record: every statement ends with exactly one line. A
    // statement abandoned by an exception (say, memory running out while its
    // text is built) writes nothing: its half-built text is not the record.
    ~LogStream();
    LogStream(const LogStream&) = delete;
    LogStream& operator=(const LogStream&) = delete;

    LogStream& operator<<(const char* text);  // a null text adds nothing
    LogStream& operator<<(const std::string& text);
    LogStream& operator<<(char c);
    template <typename Integer, typename = std::enable_if_t<std::is_integral_v<Integer>>>
    LogStream& operator<<(Integer value) {
      m_text += std::to_string(value);
      return *this;
    }
    // A stream writes these as characters, this class would as numbers.
    LogStream& operator<<(signed char) = delete;
    LogStream& operator<<(unsigned char) = delete;

   private:
    std::string m_text;
    BaseLogger* m_logger;
    Level m_level;
    int m_exceptionsInFlight;  // std::uncaught_exceptions() when opened
  };

  BaseLogger() = default;
  BaseLogger(const BaseLogger&) = delete;
  BaseLogger& operator=(const BaseLogger&) = delete;
  virtual ~BaseLogger() = default;

  // Opens a record at level; nothing is written until the record ends.
  virtual LogStream operator()(Level level);

 protected:
  // Writes one finished record; called with m_mutex held.
  virtual void output(const std::tm* time, const char* levelName, const char* message) = 0;

 private:
  Mutex m_mutex;
  std::tm m_time{};
};

// Appends records to a daily file, opened at construction for the day of
// construction and kept open to destruction: that day names the file for the
// logger's whole life, as a host that runs past midnight has always found it.
// A file that cannot be opened leaves the logger silent, never failing. Each
// record reaches the file in one append, whole, even while other processes
// append to the same file.
class FileLogger : public BaseLogger {
 public:
  explicit FileLogger(DailyFile file);
  ~FileLogger() override;

  // The file this logger was opened on ("" when it has none).
  const std::string& fileName() const { return m_file.path(); }

 protected:
  void output(const std::tm* time, const char* levelName, const char* message) override;

 private:
  DailyFile m_file;
  std::string m_line;  // the line being written; its storage kept for the next
};

// The library's log: every failure record goes here (logger/globals.cpp).
extern FileLogger g_fileLogger;

}  // namespace logger
