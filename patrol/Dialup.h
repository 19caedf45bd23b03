// Dial-up around a patrol: dialling the default connection unattended, and
// hanging up every active connection through "RASAPI32", loaded by name.
#pragma once
#include <windows.h>

// Dials the system's default connection without asking the user. On a
// machine without a dial-up connection there is nothing to dial: success.
// Returns 1 or 0.
int Dialup_Dial();

// Hangs up every active dial-up connection. Without "RASAPI32" there is
// nothing to do (success). Returns 1, or 0 when the enumeration failed.
int Dialup_HangUp();

// The hang-up over given functions (test seam): enumerates into a buffer for
// one 412-byte entry whose size field reads 412, grows it once to the size
// the enumeration asks for, then hangs up each connection found. Returns the
// number of connections hung up, or -1 when the enumeration failed.
typedef DWORD(WINAPI* RasEnumConnectionsFn)(void* connections, DWORD* bytes, DWORD* count);
typedef DWORD(WINAPI* RasHangUpFn)(HANDLE connection);
enum { DIALUP_RASCONN_SIZE = 412 };
int Dialup_HangUpWith(RasEnumConnectionsFn enumConnections, RasHangUpFn hangUp);
