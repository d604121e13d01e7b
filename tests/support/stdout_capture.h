#pragma once
// Catches what the process writes to its standard output (through the C
// runtime's stdout) while the object is capturing.
#include <string>

#include "tests/support/scratch_directory.h"

namespace testing_support {

class StdoutCapture {
 public:
  StdoutCapture();   // from here on, standard output goes to a file
  ~StdoutCapture();  // restores standard output if Finish was not called

  StdoutCapture(const StdoutCapture&) = delete;
  StdoutCapture& operator=(const StdoutCapture&) = delete;

  // Restores standard output and returns the bytes written meanwhile, as
  // they reached the file (on Windows a text-mode "\n" arrives as "\r\n").
  std::string Finish();

 private:
  ScratchDirectory m_directory;
  std::string m_path;
  int m_savedStdout = -1;
};

// The line end that a text-mode "\n" on standard output becomes.
#ifdef _WIN32
constexpr char kStdoutLineEnd[] = "\r\n";
#else
constexpr char kStdoutLineEnd[] = "\n";
#endif

}  // namespace testing_support
