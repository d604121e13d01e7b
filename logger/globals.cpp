// The library's loggers, built at load in this order and destroyed at unload
// in the reverse order. All three live in this one file so that the order
// holds: building the file logger fixes the day's file name, makes the log
// directory and opens the file.
#include <map>

#include "logger/log_file_path.h"
#include "logger/logger.h"

logger::ConsoleLogger g_consoleLogger;
logger::FileLogger g_fileLogger(GetLogFilePath());
std::map<logger::Level, const char*> g_levelNames = {
    {logger::Debug, "Debug"},     {logger::Info, "Info"},
    {logger::Warning, "Warning"}, {logger::Error, "Error"},
    {logger::Fatal, "Fatal"},
};
