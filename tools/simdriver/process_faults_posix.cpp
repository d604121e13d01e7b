#include <unistd.h>

#include "tools/simdriver/process_faults.h"

namespace simdriver {

void EndProcess(int code) { _exit(code); }

void ThrowUncaught() {
  // Leaves a driver entry point that its callers know as C: nothing in
  // them is written to catch it.
  throw 1;
}

}  // namespace simdriver
