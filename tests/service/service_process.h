#pragma once
// The card service program started as a desk PC starts it, for the tests
// over HTTP: from a desk directory, with its standard output and error
// caught in a file there, stopped the way the system stops it.
#include <string>
#include <vector>

#include "tests/support/child_process.h"

namespace service_test {

class ServiceProcess : public testing_support::ChildProcess {
 public:
  // Starts program (full path) with arguments in its own directory;
  // standard output and error go to outputFile.
  ServiceProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::string& outputFile);
};

// Waits up to milliseconds until GET /v1/status answers on port.
bool WaitUntilAnswering(unsigned short port, int milliseconds);

// Makes a copied program file runnable (natively; Windows runs any .exe).
void MakeRunnable(const std::string& path);

}  // namespace service_test
