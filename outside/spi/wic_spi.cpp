// A decoder library on the platform's imaging component (WIC): PNG, JPEG,
// GIF and TIFF files. The first frame is converted to 32-bit BGRA, laid on
// white where it is transparent, and handed out as 24-bit rows, bottom-up.
#define SPI_BUILDING_DECODER
#include "outside/spi/spi_common.h"

#include <initguid.h>
#include <wincodec.h>

namespace {

int Recognised(const unsigned char* p)
{
    static const unsigned char png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (memcmp(p, png, 8) == 0)
        return 1;
    if (p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF)   // JPEG
        return 1;
    if (memcmp(p, "GIF87a", 6) == 0 || memcmp(p, "GIF89a", 6) == 0)
        return 1;
    if (memcmp(p, "II*\0", 4) == 0 || memcmp(p, "MM\0*", 4) == 0)   // TIFF
        return 1;
    return 0;
}

template <class T> void Release(T*& p)
{
    if (p)
        p->Release();
    p = nullptr;
}

// Decodes the bytes into BGRA rows, top-down (w * 4 bytes a row), in
// *pixels (malloc'd, the caller frees it).
int DecodeBgra(const unsigned char* p, size_t n, unsigned char** pixels, UINT* width, UINT* height)
{
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    int rc = SPI_BROKEN_DATA;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  (void**)&factory);
    if (FAILED(hr))
        return SPI_NOT_IMPLEMENTED;
    if (SUCCEEDED(factory->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromMemory((BYTE*)p, (DWORD)n)) &&
        SUCCEEDED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                        WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->GetSize(width, height))) {
        if (*width < 1 || *height < 1 || *width > spi::MAX_SIDE || *height > spi::MAX_SIDE ||
            (uint64_t)*width * *height * 4 > spi::MAX_BYTES) {
            rc = SPI_BROKEN_DATA;
        } else {
            UINT stride = *width * 4, total = stride * *height;
            *pixels = (unsigned char*)malloc(total);
            if (!*pixels)
                rc = SPI_NO_MEMORY;
            else
                rc = SUCCEEDED(converter->CopyPixels(nullptr, stride, total, *pixels)) ? SPI_OK : SPI_BROKEN_DATA;
        }
    }
    Release(converter);
    Release(frame);
    Release(decoder);
    Release(stream);
    Release(factory);
    return rc;
}

// The picture of the bytes as 24-bit rows, bottom-up, laid on white.
int Decode(const unsigned char* p, size_t n, HLOCAL* info, HLOCAL* bits)
{
    // The caller's thread may or may not have COM already, in either model.
    HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    unsigned char* bgra = nullptr;
    UINT w = 0, h = 0;
    int rc = DecodeBgra(p, n, &bgra, &w, &h);
    if (SUCCEEDED(init))
        CoUninitialize();
    size_t stride = ((size_t)w * 3 + 3) & ~(size_t)3;
    unsigned char* out = nullptr;
    if (rc == SPI_OK)
        rc = spi::Output((int32_t)w, (int32_t)h, 24, 0, 0, nullptr, 0, stride * h, info, bits, &out);
    if (rc != SPI_OK) {
        free(bgra);
        return rc;
    }
    for (UINT y = 0; y < h; ++y) {
        const unsigned char* src = bgra + (size_t)y * w * 4;
        unsigned char* dst = out + (size_t)(h - 1 - y) * stride;   // bottom-up
        for (UINT x = 0; x < w; ++x, src += 4, dst += 3) {
            unsigned a = src[3];
            for (int c = 0; c < 3; ++c)
                dst[c] = (unsigned char)((src[c] * a + 255 * (255 - a) + 127) / 255);
        }
    }
    free(bgra);
    LocalUnlock(*bits);
    return SPI_OK;
}

}  // namespace

extern "C" {

int WINAPI GetPluginInfo(int index, LPSTR buf, int size)
{
    static const char* const info[] = {"00IN", "ZEVA WIC decoder 1.0", "*.png;*.jpg;*.jpeg;*.gif;*.tif;*.tiff",
                                       "PNG, JPEG, GIF, TIFF"};
    if (index < 0 || index >= (int)(sizeof info / sizeof info[0]))
        return 0;
    return spi::Text(info[index], buf, size);
}

int WINAPI IsSupported(LPCSTR path, void* head)
{
    return head && Recognised((const unsigned char*)head);
}

int WINAPI GetPicture(LPCSTR buf, LONG_PTR len, unsigned int flag, HLOCAL* info, HLOCAL* bits,
                      SpiProgressFunc progress, LONG_PTR data)
{
    if (!info || !bits)
        return SPI_BROKEN_DATA;
    unsigned char* hold = nullptr;
    const unsigned char* p = nullptr;
    size_t n = 0;
    if (!spi::Input(buf, len, flag, &hold, &p, &n))
        return SPI_READ_ERROR;
    int rc = n < 8 || !Recognised(p) || n > spi::MAX_BYTES ? SPI_UNKNOWN_FORMAT : Decode(p, n, info, bits);
    free(hold);
    return rc;
}

}  // extern "C"
