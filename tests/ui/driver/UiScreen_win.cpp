// Screenshots: a copy of the screen (real pixels under Wine/Xvfb), a small
// PNG writer (stored deflate blocks, CRC-32 and Adler-32, no outside
// library) and the measures a test asserts on.
#include "UiDriver.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace uidriver {

// ---------------------------------------------------------------- measures

int Image::DistinctColours() const
{
    std::unordered_set<uint32_t> seen(pixels.begin(), pixels.end());
    return (int)seen.size();
}

double Image::ForegroundShare() const
{
    if (pixels.empty())
        return 0;
    std::unordered_map<uint32_t, size_t> counts;
    size_t most = 0;
    for (uint32_t p : pixels)
        most = std::max(most, ++counts[p]);
    return double(pixels.size() - most) / double(pixels.size());
}

bool Image::NotBlank(int minColours) const
{
    return width > 0 && height > 0 && DistinctColours() >= minColours && ForegroundShare() >= 0.001;
}

// ---------------------------------------------------------------- capture

bool CaptureRect(const RECT& screen, Image* out)
{
    RECT r = screen;
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    r.right = std::min<LONG>(r.right, GetSystemMetrics(SM_CXSCREEN));
    r.bottom = std::min<LONG>(r.bottom, GetSystemMetrics(SM_CYSCREEN));
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return false;
    HDC screenDc = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screenDc);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;   // top down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screenDc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bmp && bits) {
        HGDIOBJ old = SelectObject(mem, bmp);
        ok = BitBlt(mem, 0, 0, w, h, screenDc, r.left, r.top, SRCCOPY | CAPTUREBLT) != 0;
        GdiFlush();
        if (ok) {
            out->width = w;
            out->height = h;
            const uint32_t* p = (const uint32_t*)bits;
            out->pixels.assign(p, p + (size_t)w * h);
            for (uint32_t& px : out->pixels)
                px &= 0xFFFFFF;
        }
        SelectObject(mem, old);
    }
    if (bmp)
        DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screenDc);
    return ok;
}

bool Capture(HWND topLevel, Image* out)
{
    RECT r = WindowRect(topLevel);
    std::vector<HWND> menus = OpenMenus(topLevel);
    if (menus.empty() && !GuiOf(topLevel).inMenu) {
        // Bringing it up would close an open menu; otherwise show it whole.
        BringToFront(topLevel);
        RedrawWindow(topLevel, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    for (HWND m : menus) {
        RECT mr = WindowRect(m);
        UnionRect(&r, &r, &mr);
    }
    Settle(topLevel);
    Sleep(300);   // the window surfaces reach the X server on a timer
    return CaptureRect(r, out);
}

// ---------------------------------------------------------------- PNG

namespace {

uint32_t Crc(const uint8_t* data, size_t n, uint32_t crc = 0)
{
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (size_t i = 0; i < n; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void Be32(std::vector<uint8_t>& v, uint32_t x)
{
    for (int s = 24; s >= 0; s -= 8)
        v.push_back((uint8_t)(x >> s));
}

void Chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data)
{
    Be32(png, (uint32_t)data.size());
    size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    Be32(png, Crc(png.data() + start, png.size() - start));
}

}  // namespace

std::vector<uint8_t> EncodePng(const Image& img)
{
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (img.width <= 0 || img.height <= 0 || img.pixels.size() != (size_t)img.width * img.height)
        return std::vector<uint8_t>();
    std::vector<uint8_t> ihdr;
    Be32(ihdr, (uint32_t)img.width);
    Be32(ihdr, (uint32_t)img.height);
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});   // 8 bits, RGB, deflate, no filter, no interlace
    Chunk(png, "IHDR", ihdr);

    // Raw scan lines: filter byte 0, then R G B.
    std::vector<uint8_t> raw;
    raw.reserve((size_t)img.height * (1 + 3 * (size_t)img.width));
    for (int y = 0; y < img.height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < img.width; ++x) {
            uint32_t p = img.At(x, y);
            raw.push_back((uint8_t)(p >> 16));
            raw.push_back((uint8_t)(p >> 8));
            raw.push_back((uint8_t)p);
        }
    }
    // zlib stream of stored blocks.
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t pos = 0;
    do {
        size_t n = std::min<size_t>(raw.size() - pos, 65535);
        z.push_back(pos + n == raw.size() ? 1 : 0);
        z.push_back((uint8_t)n);
        z.push_back((uint8_t)(n >> 8));
        z.push_back((uint8_t)~n);
        z.push_back((uint8_t)(~n >> 8));
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    Be32(z, (b << 16) | a);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});
    return png;
}

bool SavePng(const Image& image, const std::string& path)
{
    std::vector<uint8_t> png = EncodePng(image);
    return !png.empty() && WriteBytes(path, std::string(png.begin(), png.end()));
}

std::string ScreensDir()
{
    std::string dir = WinPath(ZEVA_SCREENS_DIR);
    MakeFolders(dir);
    return dir;
}

std::string ScreenPath(const std::string& name)
{
    return ScreensDir() + "\\" + name;
}

}  // namespace uidriver
