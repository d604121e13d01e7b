#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace card {

// The IC card's basic information as one '#'-marked line in RecordBuffer,
// whose address goes to *cardInfo. *status is set to 0 first. 0 on success,
// -1 on failure (logged).
int ReadIcCardInfo(char** cardInfo, int32_t* status);

// The card information line of a driver record cut into at least 8 fields:
// fields 0, 7, 2, 1, 4 and 3 between the host's fixed '#' markers.
std::string FormatCardInfo(const std::vector<std::string>& fields);

}  // namespace card
