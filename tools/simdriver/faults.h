#pragma once
// The faults that the simulated driver commits on request, so that tests can
// see a crashing driver without a faulty reader at hand.
#include "tools/simdriver/driver_answer.h"

namespace simdriver {

// Commits fault (not kOverrun, which is a matter of writing): the processor
// raises the exception at once, inside the driver's own code. Returns only
// for kNone, or where the processor has no such fault.
void CommitFault(Fault fault);

}  // namespace simdriver
