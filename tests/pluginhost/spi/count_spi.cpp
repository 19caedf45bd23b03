// A stand-in decoder library that counts what it is asked. It takes files
// that begin with SPI_MAGIC (four letters) and answers by the next bytes:
// "ERR!" an error, "ZERO" a zero-sized picture, "HUGE" a picture header far
// larger than its pixels, "NULL" success without blocks; otherwise a 2 x 2
// picture of the colour in the next three bytes (R, G, B). Counters live in
// the named shared block of spi_count.h, so they outlast the library.
#define SPI_BUILDING_DECODER
#include "outside/spi/spi_common.h"
#include "pluginhost/spi/spi_count.h"


namespace {

SpiCounts* Counts()
{
    static SpiCounts* counts = nullptr;
    if (!counts) {
        HANDLE map = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(SpiCounts),
                                        SPI_COUNT_BLOCK);
        counts = map ? (SpiCounts*)MapViewOfFile(map, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SpiCounts)) : nullptr;
    }
    return counts;
}

SpiCounter& Mine()
{
    static SpiCounter none;
    SpiCounts* c = Counts();
    return c ? c->of[SPI_INDEX] : none;
}

int Takes(const unsigned char* p)
{
    return memcmp(p, SPI_MAGIC, 4) == 0;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        InterlockedIncrement(&Mine().loads);
    return TRUE;
}

extern "C" {

int WINAPI GetPluginInfo(int index, LPSTR buf, int size)
{
    InterlockedIncrement(&Mine().others);
    return 0;
}

int WINAPI IsSupported(LPCSTR path, void* head)
{
    InterlockedIncrement(&Mine().isSupported);
    return head && Takes((const unsigned char*)head);
}

int WINAPI GetPicture(LPCSTR buf, LONG_PTR len, unsigned int flag, HLOCAL* info, HLOCAL* bits,
                      SpiProgressFunc progress, LONG_PTR data)
{
    InterlockedIncrement(&Mine().getPicture);
    if ((flag & 7) != SPI_INPUT_MEMORY || len < 4 || !Takes((const unsigned char*)buf))
        return SPI_UNKNOWN_FORMAT;
    const unsigned char* p = (const unsigned char*)buf;
    char how[5] = "";
    memcpy(how, buf + 4, len >= 8 ? 4 : (size_t)len - 4);
    if (strcmp(how, "ERR!") == 0)
        return SPI_BROKEN_DATA;
    if (strcmp(how, "NULL") == 0) {
        *info = *bits = nullptr;
        return SPI_OK;
    }
    int32_t w = 2, h = 2;
    if (strcmp(how, "ZERO") == 0)
        w = h = 0;
    if (strcmp(how, "HUGE") == 0)
        w = h = 100000;
    unsigned char* out = nullptr;
    int rc = spi::Output(w, h, 24, 0, 0, nullptr, 0, 16, info, bits, &out);
    if (rc != SPI_OK)
        return rc;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            unsigned char* px = out + y * 8 + x * 3;
            px[0] = p[6];
            px[1] = p[5];
            px[2] = p[4];
        }
    LocalUnlock(*bits);
    return SPI_OK;
}

// The names the program looks up but never calls.
__declspec(dllexport) int WINAPI GetPictureInfo()
{
    return InterlockedIncrement(&Mine().others), SPI_NOT_IMPLEMENTED;
}
__declspec(dllexport) int WINAPI GetPreview()
{
    return InterlockedIncrement(&Mine().others), SPI_NOT_IMPLEMENTED;
}
__declspec(dllexport) int WINAPI GetArchiveInfo()
{
    return InterlockedIncrement(&Mine().others), SPI_NOT_IMPLEMENTED;
}
__declspec(dllexport) int WINAPI GetFileInfo()
{
    return InterlockedIncrement(&Mine().others), SPI_NOT_IMPLEMENTED;
}
__declspec(dllexport) int WINAPI GetFile()
{
    return InterlockedIncrement(&Mine().others), SPI_NOT_IMPLEMENTED;
}
__declspec(dllexport) int WINAPI ConfigurationDlg()
{
    return InterlockedIncrement(&Mine().others), SPI_NOT_IMPLEMENTED;
}
__declspec(dllexport) int WINAPI ProgressCallbackFunc()
{
    return InterlockedIncrement(&Mine().others), SPI_NOT_IMPLEMENTED;
}

}  // extern "C"
