// The few system calls behind CAtomicFile, one implementation per platform.
// Handles are -1 when invalid.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <string>

bool FileFault_Step();

namespace fileio_os {
// Opens a regular file for reading and gives its size; -1 when it can't be
// opened, is no regular file or is too large to be held in memory.
intptr_t OpenRead(const char* path, uint64_t* size);
// Reads at most size bytes: the count read, 0 at the end or on an error.
size_t ReadSome(intptr_t handle, char* p, size_t size);
// Creates a new temporary file beside target (name returned in temp:
// target + ".~<process id>.<n>.tmp", see File_RemoveStaleTemps). Fails
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
unsigned long ProcessId();
// Whether a process of that id exists now (an id the system can't look at
// counts as running).
bool ProcessRunning(unsigned long id);
}
