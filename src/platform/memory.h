// The process's memory as the system sees it. A preview of thousands of
// pages frees hundreds of megabytes at once when it closes; the C library
// keeps much of that for later allocations unless asked to give it back.
#pragma once

#include <cstddef>

namespace rebound::platform {

// Hands the heap's free pages back to the system where the C library allows
// it (glibc); elsewhere the heap does so by itself and this does nothing.
void return_free_memory();

// The process's resident memory now and at its peak, in bytes; 0 where the
// system does not tell.
std::size_t resident_memory();
std::size_t peak_resident_memory();

}  // namespace rebound::platform
