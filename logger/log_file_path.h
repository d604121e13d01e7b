#pragma once
#include <string>

// Today's local date as "YYYY-MM-DD".
std::string GetDateString();

// The day's log file, <host directory>Log\readcard\qtz-YYYY-MM-DD.log,
// creating the log directory when it is missing. Never throws: when the
// directory cannot be made the path is returned all the same, and opening the
// file then fails quietly.
std::string GetLogFilePath();
