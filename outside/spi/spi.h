// The image decoder plug-in interface as this program uses it: 32-bit
// dynamic libraries with the extension ".spi" exporting these functions by
// their plain names, with the Windows (stdcall) calling convention.
//
// The program looks up all ten names and calls only IsSupported and
// GetPicture:
//   IsSupported(path, head)  head points at the file's first 2,048 bytes
//                            (zeros after a shorter file); non-zero when the
//                            decoder takes the file.
//   GetPicture(buf, len, flag, &info, &bits, progress, data)
//                            flag & 7: SPI_INPUT_FILE (buf is a file name,
//                            len an offset into it) or SPI_INPUT_MEMORY (buf
//                            holds len bytes of the file). On success (0)
//                            *info holds the bitmap information block
//                            (BITMAPINFOHEADER and colour table) and *bits
//                            the pixel rows, both LocalAlloc'd; the caller
//                            frees them with LocalFree.
#pragma once
#include <windows.h>

enum {
    SPI_OK = 0,
    SPI_NOT_IMPLEMENTED = -1,
    SPI_UNKNOWN_FORMAT = 2,
    SPI_BROKEN_DATA = 3,
    SPI_NO_MEMORY = 4,
    SPI_READ_ERROR = 6,
};

enum { SPI_INPUT_FILE = 0, SPI_INPUT_MEMORY = 1 };
enum { SPI_HEAD_BYTES = 2048 };

typedef int(WINAPI* SpiProgressFunc)(int done, int total, LONG_PTR data);

typedef int(WINAPI* SpiGetPluginInfoFunc)(int index, LPSTR buf, int size);
typedef int(WINAPI* SpiIsSupportedFunc)(LPCSTR path, void* head);
typedef int(WINAPI* SpiGetPictureFunc)(LPCSTR buf, LONG_PTR len, unsigned int flag, HLOCAL* info, HLOCAL* bits,
                                       SpiProgressFunc progress, LONG_PTR data);

// The ten names a decoder may export, in the order the program looks them up.
#define SPI_EXPORT_NAMES                                                                                           \
    "GetPluginInfo", "IsSupported", "GetPictureInfo", "GetPicture", "GetPreview", "GetArchiveInfo", "GetFileInfo", \
        "GetFile", "ConfigurationDlg", "ProgressCallbackFunc"

#ifdef SPI_BUILDING_DECODER
extern "C" {
__declspec(dllexport) int WINAPI GetPluginInfo(int index, LPSTR buf, int size);
__declspec(dllexport) int WINAPI IsSupported(LPCSTR path, void* head);
__declspec(dllexport) int WINAPI GetPicture(LPCSTR buf, LONG_PTR len, unsigned int flag, HLOCAL* info, HLOCAL* bits,
                                            SpiProgressFunc progress, LONG_PTR data);
}
#endif
