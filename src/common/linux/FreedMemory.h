#pragma once

// Hands the heap's free pages back to the system, so that a passing peak of memory use (a burst
// of popups) does not stay in the resident size after it is over.

namespace tessaly {

void ReturnFreedMemory();

} // namespace tessaly
