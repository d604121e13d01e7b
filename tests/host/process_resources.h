#pragma once
// What a process holds that a library could fail to give back when it is
// freed: thread-local storage indexes, kernel handles and heap memory.
#include <cstddef>
#include <cstdint>

namespace host {

// The lowest thread-local storage index that is free now (an index the
// library kept would raise it).
uint32_t NextFreeTlsIndex();

// The process's open kernel handles; -1 where the system cannot list them.
long HandleCount();

// Bytes in use in all of the process's heaps (the C runtime's included).
std::size_t HeapBytesInUse();

// Whether HeapBytesInUse is exact: not under Wine's heap checking
// (READCARD_HEAP_CHECKED=1, set with it by the test's registration), whose
// delayed frees keep freed blocks in use for a while.
bool HeapBytesAreExact();

}  // namespace host
