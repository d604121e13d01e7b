#include "tests/support/stdout_capture.h"

#include <fcntl.h>

#include <cstdio>
#include <stdexcept>

#ifdef _WIN32
#include <io.h>
#define dup _dup
#define dup2 _dup2
#define close _close
#define open _open
#else
#include <unistd.h>
#endif

#include "tests/support/files.h"

namespace testing_support {

StdoutCapture::StdoutCapture() : m_path(m_directory.File("stdout.txt")) {
  std::fflush(stdout);
  int file = open(m_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (file < 0) throw std::runtime_error("cannot create " + m_path);
  m_savedStdout = dup(fileno(stdout));
  dup2(file, fileno(stdout));
  close(file);
}

StdoutCapture::~StdoutCapture() { Finish(); }

std::string StdoutCapture::Finish() {
  if (m_savedStdout < 0) return std::string();
  std::fflush(stdout);
  dup2(m_savedStdout, fileno(stdout));
  close(m_savedStdout);
  m_savedStdout = -1;
  return ReadBytes(m_path);
}

}  // namespace testing_support
