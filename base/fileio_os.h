// The few system calls behind CAtomicFile, one implementation per platform.
// Handles are -1 when invalid.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <string>

bool FileFault_Step();

namespace fileio_os {
// Creates a new temporary file beside target (name returned in temp). Fails
// for a read-only target, which an in-place rewrite could not change either.
intptr_t CreateTemp(const std::string& target, std::string& temp);
bool WriteAll(intptr_t handle, const char* data, size_t size);
// A hint: the disk may start writing these bytes now (nothing where the
// system offers no such call; Sync still waits for all of them).
void StartWriteback(intptr_t handle, uint64_t offset, uint64_t size);
bool Sync(intptr_t handle);
void Close(intptr_t handle);
// Moves temp over target; the target's folder entry is made durable.
bool Replace(const std::string& temp, const std::string& target);
void Remove(const std::string& path);
}
