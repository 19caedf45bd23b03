// Dial-up: unattended dialling through WinINet, hang-up through the
// remote-access library loaded by name.
#include "patrol/Dialup.h"

#include "base/debug.h"

#include <string.h>
#include <wininet.h>

#include <vector>

int Dialup_Dial()
{
    DWORD flags = 0;
    InternetGetConnectedState(&flags, 0);
    if (!(flags & INTERNET_CONNECTION_MODEM))
        return 1;   // no dial-up connection configured: nothing to dial
    return InternetAutodial(INTERNET_AUTODIAL_FORCE_UNATTENDED, 0) ? 1 : 0;
}

int Dialup_HangUpWith(RasEnumConnectionsFn enumConnections, RasHangUpFn hangUp)
{
    DWORD bytes = DIALUP_RASCONN_SIZE;
    DWORD count = 0;
    std::vector<unsigned char> buf(bytes, 0);
    DWORD size = DIALUP_RASCONN_SIZE;
    memcpy(buf.data(), &size, sizeof size);
    DWORD rc = enumConnections(buf.data(), &bytes, &count);
    if (bytes != DIALUP_RASCONN_SIZE) {
        // The enumeration asks for room for more entries: once more, grown.
        if (bytes < DIALUP_RASCONN_SIZE)
            bytes = DIALUP_RASCONN_SIZE;
        buf.assign(bytes, 0);
        memcpy(buf.data(), &size, sizeof size);
        count = 0;
        rc = enumConnections(buf.data(), &bytes, &count);
    }
    if (rc != 0)
        return -1;
    // Never read past the buffer, whatever count says.
    DWORD fits = (DWORD)(buf.size() / DIALUP_RASCONN_SIZE);
    if (count > fits)
        count = fits;
    int done = 0;
    for (DWORD i = 0; i < count; ++i) {
        HANDLE conn;
        memcpy(&conn, buf.data() + i * DIALUP_RASCONN_SIZE + sizeof(DWORD), sizeof conn);
        hangUp(conn);
        ++done;
    }
    return done;
}

int Dialup_HangUp()
{
    HMODULE ras = LoadLibraryA("RASAPI32");
    if (!ras)
        return 1;
    RasEnumConnectionsFn enumConnections = (RasEnumConnectionsFn)(void*)GetProcAddress(ras, "RasEnumConnectionsA");
    RasHangUpFn hangUp = (RasHangUpFn)(void*)GetProcAddress(ras, "RasHangUpA");
    int result = 1;
    if (enumConnections && hangUp)
        result = Dialup_HangUpWith(enumConnections, hangUp) >= 0;
    else
        Debug_Out("Dialup_HangUp - RASAPI32 に関数がありません\n");
    FreeLibrary(ras);
    return result;
}
