// Running out of memory on demand (test programs that link
// tests/store/alloc_fault_hook.cpp): after AllocFault_Set(k) the k-th
// operator new of the calling thread from now throws std::bad_alloc, as an
// exhausted heap would; AllocFault_Set(0) turns it off.
#pragma once

void AllocFault_Set(int k);
int AllocFault_Count();   // operator new calls of this thread since AllocFault_Set
