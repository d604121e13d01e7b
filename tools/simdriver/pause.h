#pragma once
// Platform seam: the simulated driver's wait before it answers
// (SIMCARD_DELAY_MS), for a slow or hung reader.

namespace simdriver {

// Returns after milliseconds have passed (at once for 0 or less).
void Pause(int milliseconds);

}  // namespace simdriver
