// Hang-up of dial-up connections: the enumeration buffer of one 412-byte
// entry, grown once to what the enumeration asks for, every connection hung
// up; and the real library under Wine, which has nothing to hang up.
#include "patrol/Dialup.h"

#include <gtest/gtest.h>

#include <string.h>

#include <vector>

namespace {

struct FakeRas {
    DWORD connections = 0;     // active connections
    int calls = 0;
    std::vector<DWORD> sizeFields;   // the size field of each call's first entry
    std::vector<DWORD> offered;      // bytes offered by each call
    bool fail = false;
    std::vector<HANDLE> hungUp;
};
FakeRas g_ras;

DWORD WINAPI FakeEnum(void* buf, DWORD* bytes, DWORD* count)
{
    ++g_ras.calls;
    DWORD size;
    memcpy(&size, buf, sizeof size);
    g_ras.sizeFields.push_back(size);
    g_ras.offered.push_back(*bytes);
    if (g_ras.fail)
        return 632;   // ERROR_INVALID_SIZE
    DWORD need = g_ras.connections * DIALUP_RASCONN_SIZE;
    if (need > *bytes) {
        *bytes = need;
        *count = 0;
        return 603;   // ERROR_BUFFER_TOO_SMALL
    }
    for (DWORD i = 0; i < g_ras.connections; ++i) {
        HANDLE h = (HANDLE)(uintptr_t)(0x100 + i);
        memcpy((char*)buf + i * DIALUP_RASCONN_SIZE + 4, &h, sizeof h);
    }
    *count = g_ras.connections;
    return 0;
}

DWORD WINAPI FakeHangUp(HANDLE h)
{
    g_ras.hungUp.push_back(h);
    return 0;
}

TEST(Dialup, NoConnectionsOneEnumeration)
{
    g_ras = FakeRas();
    EXPECT_EQ(Dialup_HangUpWith(FakeEnum, FakeHangUp), 0);
    EXPECT_EQ(g_ras.calls, 1);
    EXPECT_EQ(g_ras.offered[0], 412u);
    EXPECT_EQ(g_ras.sizeFields[0], 412u);
}

TEST(Dialup, OneConnectionFitsTheFirstBuffer)
{
    g_ras = FakeRas();
    g_ras.connections = 1;
    EXPECT_EQ(Dialup_HangUpWith(FakeEnum, FakeHangUp), 1);
    EXPECT_EQ(g_ras.calls, 1);
    EXPECT_EQ(g_ras.hungUp, (std::vector<HANDLE>{(HANDLE)0x100}));
}

TEST(Dialup, BufferGrowsOnceAndEveryConnectionIsHungUp)
{
    g_ras = FakeRas();
    g_ras.connections = 3;
    EXPECT_EQ(Dialup_HangUpWith(FakeEnum, FakeHangUp), 3);
    ASSERT_EQ(g_ras.calls, 2);
    EXPECT_EQ(g_ras.offered[1], 3u * 412u);
    EXPECT_EQ(g_ras.sizeFields[1], 412u);   // the entry size, not the buffer's
    EXPECT_EQ(g_ras.hungUp, (std::vector<HANDLE>{(HANDLE)0x100, (HANDLE)0x101, (HANDLE)0x102}));
}

TEST(Dialup, FailedEnumerationHangsUpNothing)
{
    g_ras = FakeRas();
    g_ras.connections = 2;
    g_ras.fail = true;
    EXPECT_EQ(Dialup_HangUpWith(FakeEnum, FakeHangUp), -1);
    EXPECT_EQ(g_ras.calls, 1);
    EXPECT_TRUE(g_ras.hungUp.empty());
}

TEST(Dialup, MachineWithoutDialUp)
{
    // Nothing to dial and nothing to hang up: both succeed, at once.
    DWORD start = GetTickCount();
    EXPECT_EQ(Dialup_Dial(), 1);
    EXPECT_EQ(Dialup_HangUp(), 1);
    EXPECT_LT(GetTickCount() - start, 5000u);
}

}  // namespace
