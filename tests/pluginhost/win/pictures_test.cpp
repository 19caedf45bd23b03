// Image decoder plug-ins under Wine: our two decoders on real files, the
// choice of decoder and the cache through counting stand-ins, bad decoders
// and bad files, and pictures drawn into a cell.
#include "base/debug.h"
#include "base/sjis.h"
#include "outside/spi/spi.h"
#include "pluginhost/ImagePlugins_win.h"
#include "pluginhost/pluginhost_testutil.h"
#include "pluginhost/spi/spi_count.h"

#include <gtest/gtest.h>
#include <initguid.h>
#include <wincodec.h>

#include <stdlib.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using phtest::TempDir;
using phtest::WinPath;
using phtest::WriteBytes;

namespace {

typedef uint32_t Rgb;   // 0xRRGGBB
const Rgb kWhite = 0xFFFFFF;

std::string Pictures(const char* name)
{
    return WinPath(ZEVA_TEST_PICTURES) + "\\" + name;
}

std::string Decoder(const char* name)
{
    return WinPath(ZEVA_SPI_DIR) + "\\" + name;
}

// A white 32-bit top-down drawing surface.
class Canvas {
public:
    Canvas(int w, int h) : m_w(w), m_h(h)
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        m_dc = CreateCompatibleDC(nullptr);
        m_bmp = CreateDIBSection(m_dc, &bi, DIB_RGB_COLORS, (void**)&m_px, nullptr, 0);
        m_old = SelectObject(m_dc, m_bmp);
        for (int i = 0; i < w * h; ++i)
            m_px[i] = 0xFFFFFF;
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bmp);
        DeleteDC(m_dc);
    }
    HDC Dc() const { return m_dc; }
    Rgb At(int x, int y) const
    {
        GdiFlush();
        return m_px[y * m_w + x] & 0xFFFFFF;
    }
    bool AllWhite() const
    {
        GdiFlush();
        for (int i = 0; i < m_w * m_h; ++i)
            if ((m_px[i] & 0xFFFFFF) != kWhite)
                return false;
        return true;
    }

private:
    int m_w, m_h;
    HDC m_dc;
    HBITMAP m_bmp;
    HGDIOBJ m_old;
    uint32_t* m_px = nullptr;
};

bool Near(Rgb a, Rgb b, int tolerance)
{
    for (int s = 0; s < 24; s += 8)
        if (std::abs((int)((a >> s) & 0xFF) - (int)((b >> s) & 0xFF)) > tolerance)
            return false;
    return true;
}

// A picture of one colour in the given container (JPEG, GIF, TIFF),
// written through the platform's imaging encoder.
bool WriteEncoded(const GUID& container, const std::string& path, int w, int h, Rgb colour)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IWICImagingFactory* f = nullptr;
    IWICBitmapEncoder* enc = nullptr;
    IWICStream* st = nullptr;
    IWICBitmapFrameEncode* fr = nullptr;
    IPropertyBag2* props = nullptr;
    IWICPalette* palette = nullptr;
    std::wstring wpath(path.begin(), path.end());
    // GIF takes palette indices (all 0: the colour); the others BGR bytes.
    bool indexed = container == GUID_ContainerFormatGif;
    int bytes = indexed ? 1 : 3;
    std::vector<BYTE> px((size_t)w * h * bytes, 0);
    for (size_t i = 0; !indexed && i < px.size(); i += 3) {
        px[i] = (BYTE)colour;
        px[i + 1] = (BYTE)(colour >> 8);
        px[i + 2] = (BYTE)(colour >> 16);
    }
    WICColor colours[2] = {0xFF000000u | colour, 0xFF000000u};
    WICPixelFormatGUID fmt = indexed ? GUID_WICPixelFormat8bppIndexed : GUID_WICPixelFormat24bppBGR;
    bool ok = SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IWICImagingFactory, (void**)&f)) &&
              SUCCEEDED(f->CreateStream(&st)) && SUCCEEDED(st->InitializeFromFilename(wpath.c_str(), GENERIC_WRITE)) &&
              SUCCEEDED(f->CreateEncoder(container, nullptr, &enc)) &&
              SUCCEEDED(enc->Initialize(st, WICBitmapEncoderNoCache)) &&
              SUCCEEDED(enc->CreateNewFrame(&fr, &props)) && SUCCEEDED(fr->Initialize(props)) &&
              SUCCEEDED(fr->SetSize(w, h)) && SUCCEEDED(fr->SetPixelFormat(&fmt));
    if (ok && indexed)
        ok = SUCCEEDED(f->CreatePalette(&palette)) && SUCCEEDED(palette->InitializeCustom(colours, 2)) &&
             SUCCEEDED(fr->SetPalette(palette));
    ok = ok && SUCCEEDED(fr->WritePixels(h, w * bytes, (UINT)px.size(), px.data())) && SUCCEEDED(fr->Commit()) &&
         SUCCEEDED(enc->Commit());
    IUnknown* all[] = {palette, props, fr, enc, st, f};
    for (IUnknown* u : all)
        if (u)
            u->Release();
    return ok;
}

struct Library {
    explicit Library(const std::string& path) : lib(LoadLibraryA(path.c_str())) {}
    ~Library()
    {
        if (lib)
            FreeLibrary(lib);
    }
    SpiIsSupportedFunc IsSupported() const { return (SpiIsSupportedFunc)(void*)GetProcAddress(lib, "IsSupported"); }
    SpiGetPictureFunc GetPicture() const { return (SpiGetPictureFunc)(void*)GetProcAddress(lib, "GetPicture"); }
    HMODULE lib;
};

// The file's first 2,048 bytes, zeros after a shorter file.
std::vector<char> Head(const std::string& data)
{
    std::vector<char> head(SPI_HEAD_BYTES + 1, 0);
    memcpy(head.data(), data.data(), std::min(data.size(), (size_t)SPI_HEAD_BYTES));
    return head;
}

// Draws a decoder's picture 1:1 on a canvas of its size; the picture's size
// in *w, *h.
int DrawBlocks(HLOCAL info, HLOCAL bits, Canvas** canvas, int* w, int* h)
{
    const BITMAPINFO* bi = (const BITMAPINFO*)LocalLock(info);
    const void* px = LocalLock(bits);
    *w = bi->bmiHeader.biWidth;
    *h = std::abs((int)bi->bmiHeader.biHeight);
    *canvas = new Canvas(*w, *h);
    int lines = StretchDIBits((*canvas)->Dc(), 0, 0, *w, *h, 0, 0, *w, *h, px, bi, DIB_RGB_COLORS, SRCCOPY);
    LocalUnlock(info);
    LocalUnlock(bits);
    return lines;
}

TEST(Decoders, ReadTheirFormats)
{
    TempDir dir("spi");
    std::string jpeg = dir.File("photo.jpg"), gif = dir.File("flat.gif"), tiff = dir.File("scan.tif");
    ASSERT_TRUE(WriteEncoded(GUID_ContainerFormatJpeg, jpeg, 16, 16, 0xC86432));
    ASSERT_TRUE(WriteEncoded(GUID_ContainerFormatGif, gif, 6, 5, 0xFF0000));
    ASSERT_TRUE(WriteEncoded(GUID_ContainerFormatTiff, tiff, 7, 3, 0x336699));
    struct Probe {
        int x, y;
        Rgb colour;
    };
    struct Case {
        const char* decoder;
        std::string file;
        int w, h, tolerance;
        std::vector<Probe> probes;
    } cases[] = {
        {"zevabmp.spi", Pictures("bmp1.bmp"), 16, 8, 0, {{2, 2, 0xFF0000}, {13, 5, 0x0000FF}}},
        {"zevabmp.spi", Pictures("bmp4.bmp"), 16, 8, 0,
         {{1, 1, 0xFF0000}, {5, 1, 0x00FF00}, {9, 6, 0x0000FF}, {13, 6, 0xFFFF00}}},
        {"zevabmp.spi", Pictures("bmp8.bmp"), 16, 8, 0, {{3, 1, 0x00FFFF}, {3, 6, 0xFF00FF}}},
        {"zevabmp.spi", Pictures("bmp24.bmp"), 16, 8, 0, {{3, 1, 0xFF0000}, {3, 6, 0x00FF00}}},
        {"zevabmp.spi", Pictures("bmp24td.bmp"), 16, 8, 0, {{3, 1, 0xFF0000}, {3, 6, 0x00FF00}}},
        // Half-transparent red lies on white.
        {"zevawic.spi", Pictures("alpha.png"), 8, 8, 1, {{1, 1, 0x0000FF}, {6, 6, 0xFF7F7F}}},
        {"zevawic.spi", jpeg, 16, 16, 12, {{8, 8, 0xC86432}}},
        {"zevawic.spi", gif, 6, 5, 0, {{3, 2, 0xFF0000}}},
        {"zevawic.spi", tiff, 7, 3, 0, {{6, 2, 0x336699}}},
    };
    for (const Case& c : cases) {
        Library lib(Decoder(c.decoder));
        ASSERT_TRUE(lib.lib && lib.IsSupported() && lib.GetPicture()) << c.decoder;
        std::string data = phtest::ReadBytes(c.file);
        ASSERT_FALSE(data.empty()) << c.file;
        std::vector<char> head = Head(data);
        EXPECT_TRUE(lib.IsSupported()(c.file.c_str(), head.data())) << c.file;
        HLOCAL info = nullptr, bits = nullptr;
        ASSERT_EQ(lib.GetPicture()(data.data(), (LONG_PTR)data.size(), SPI_INPUT_MEMORY, &info, &bits, nullptr, 0),
                  SPI_OK)
            << c.file;
        Canvas* canvas = nullptr;
        int w = 0, h = 0;
        EXPECT_EQ(DrawBlocks(info, bits, &canvas, &w, &h), c.h) << c.file;
        EXPECT_EQ(w, c.w) << c.file;
        EXPECT_EQ(h, c.h) << c.file;
        for (const Probe& p : c.probes)
            EXPECT_TRUE(Near(canvas->At(p.x, p.y), p.colour, c.tolerance))
                << c.file << " at " << p.x << "," << p.y << ": " << std::hex << canvas->At(p.x, p.y);
        delete canvas;
        LocalFree(info);
        LocalFree(bits);
    }
}

TEST(Decoders, ReadFromAFileToo)
{
    Library lib(Decoder("zevabmp.spi"));
    HLOCAL info = nullptr, bits = nullptr;
    std::string path = Pictures("bmp24.bmp");
    ASSERT_EQ(lib.GetPicture()(path.c_str(), 0, SPI_INPUT_FILE, &info, &bits, nullptr, 0), SPI_OK);
    EXPECT_EQ(((BITMAPINFOHEADER*)LocalLock(info))->biWidth, 16);
    LocalUnlock(info);
    LocalFree(info);
    LocalFree(bits);
}

TEST(Decoders, RefuseWhatIsNotTheirsAndFailOnBrokenFiles)
{
    struct Case {
        const char* decoder;
        const char* file;
        int supported;
    } cases[] = {
        {"zevabmp.spi", "alpha.png", 0},
        {"zevawic.spi", "bmp24.bmp", 0},
        {"zevabmp.spi", "corrupt.bmp", 1},
        {"zevawic.spi", "corrupt.png", 1},
    };
    for (const Case& c : cases) {
        Library lib(Decoder(c.decoder));
        std::string data = phtest::ReadBytes(Pictures(c.file));
        std::vector<char> head = Head(data);
        EXPECT_EQ(lib.IsSupported()(Pictures(c.file).c_str(), head.data()) != 0, c.supported != 0) << c.file;
        HLOCAL info = nullptr, bits = nullptr;
        EXPECT_NE(lib.GetPicture()(data.data(), (LONG_PTR)data.size(), SPI_INPUT_MEMORY, &info, &bits, nullptr, 0),
                  SPI_OK)
            << c.decoder << " " << c.file;
    }
}

// The lowest thread-local slot a caller of the decoders would get next.
DWORD NextThreadSlot()
{
    DWORD slot = TlsAlloc();
    TlsFree(slot);
    return slot;
}

// The program loads and unloads decoders over and over (one at a time); a
// decoder that kept one of its thread-local slots at every load would end
// it after about a thousand loads.
TEST(Decoders, LoadAgainAndAgainWithoutTakingThreadSlots)
{
    for (const char* name : {"zevabmp.spi", "zevawic.spi"}) {
        { Library first(Decoder(name)); }   // system libraries it brings stay
        DWORD before = NextThreadSlot();
        for (int i = 0; i < 20; ++i) {
            Library lib(Decoder(name));
            ASSERT_TRUE(lib.lib) << name;
        }
        EXPECT_EQ(NextThreadSlot(), before) << name;
    }
}

// The process's address space taken while the object lives, up to pieces
// of less than 8 MB and one hole of `hole` bytes.
struct AddressSpaceTaken {
    explicit AddressSpaceTaken(SIZE_T hole)
    {
        void* kept = hole ? VirtualAlloc(nullptr, hole, MEM_RESERVE, PAGE_NOACCESS) : nullptr;
        for (SIZE_T chunk = 256u << 20; chunk >= (8u << 20); chunk /= 2)
            while (void* p = VirtualAlloc(nullptr, chunk, MEM_RESERVE, PAGE_NOACCESS))
                held.push_back(p);
        if (kept)
            VirtualFree(kept, 0, MEM_RELEASE);
    }
    ~AddressSpaceTaken()
    {
        for (void* p : held)
            VirtualFree(p, 0, MEM_RELEASE);
    }
    std::vector<void*> held;
};

// A decoder short of memory answers with an error and hands out no blocks;
// it never ends the program that called it.
TEST(Decoders, FailWithoutMemoryAndHandNothingOut)
{
    TempDir dir("spi");
    const int side = 3000;   // 27 MB of rows, 36 MB while converting
    std::string png = dir.File("large.png");
    ASSERT_TRUE(WriteEncoded(GUID_ContainerFormatPng, png, side, side, 0x336699));
    std::string bmp(54 + (size_t)side * side * 3, '\0');
    const unsigned char head[] = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                  (unsigned char)side, (unsigned char)(side >> 8), 0, 0,
                                  (unsigned char)side, (unsigned char)(side >> 8), 0, 0, 1, 0, 24, 0};
    memcpy(&bmp[0], head, sizeof head);
    // The imaging component holds the picture's 27 MB itself: a hole of
    // 32 MB lets it decode, and the 36 MB of converted rows fail.
    struct Case {
        const char* decoder;
        std::string bytes;
        SIZE_T hole;
    } cases[] = {{"zevabmp.spi", bmp, 0}, {"zevawic.spi", phtest::ReadBytes(png), 32u << 20}};
    for (const Case& c : cases) {
        Library lib(Decoder(c.decoder));
        ASSERT_TRUE(lib.GetPicture()) << c.decoder;
        for (int full = 0; full <= 1; ++full) {
            HLOCAL info = nullptr, bits = nullptr;
            int rc;
            {
                std::unique_ptr<AddressSpaceTaken> taken(full ? new AddressSpaceTaken(c.hole) : nullptr);
                rc = lib.GetPicture()(c.bytes.data(), (LONG_PTR)c.bytes.size(), SPI_INPUT_MEMORY, &info, &bits,
                                      nullptr, 0);
            }
            EXPECT_EQ(rc == SPI_OK, !full) << c.decoder << " full " << full;
            EXPECT_EQ(info != nullptr && bits != nullptr, !full) << c.decoder << " full " << full;
            if (info)
                LocalFree(info);
            if (bits)
                LocalFree(bits);
        }
    }
}

// The decoder folder of the current user, set for a test and put back.
class RegistryFolder {
public:
    explicit RegistryFolder(const std::string& folder)
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
        DWORD size = sizeof m_old - 1;
        m_had = RegQueryValueExA(m_key, "Path", nullptr, nullptr, (BYTE*)m_old, &size) == ERROR_SUCCESS;
        RegSetValueExA(m_key, "Path", 0, REG_SZ, (const BYTE*)folder.c_str(), (DWORD)folder.size() + 1);
    }
    ~RegistryFolder()
    {
        if (m_had)
            RegSetValueExA(m_key, "Path", 0, REG_SZ, (const BYTE*)m_old, (DWORD)strlen(m_old) + 1);
        else
            RegDeleteValueA(m_key, "Path");
        RegCloseKey(m_key);
    }
    static constexpr const char* kKey = "Software\\Morivale\\Susie\\Plug-in";

private:
    HKEY m_key = nullptr;
    char m_old[300] = "";
    bool m_had = false;
};

TEST(ImagePlugins, DrawInTheirCellsFromTheRegistryFolder)
{
    RegistryFolder reg(WinPath(ZEVA_SPI_DIR));
    char folder[261];
    ImagePlugins_Folder(folder, sizeof folder);
    EXPECT_EQ(folder, WinPath(ZEVA_SPI_DIR));
    CImagePlugins pictures;   // reads the folder now
    pictures.Cache().SetBaseFolder((WinPath(ZEVA_TEST_PICTURES) + "\\").c_str());
    Canvas canvas(100, 40);
    struct Probe {
        int x, y;
        Rgb colour;
    };
    struct Case {
        const char* what;
        const char* file;
        int left, top, size;   // the cell
        std::vector<Probe> probes;
    } cases[] = {
        // 16 x 8 in 40 x 40: own size at (12, 16); red rows above green ones.
        {"smaller: own size, centred", "bmp24.bmp", 0, 0, 40,
         {{20, 17, 0xFF0000}, {20, 22, 0x00FF00}, {11, 20, kWhite}, {20, 15, kWhite}, {28, 20, kWhite}}},
        // 32 x 32 in 16 x 16: fills the cell.
        {"larger: scaled to the cell", "solid-blue.bmp", 40, 0, 16,
         {{40, 0, 0x0000FF}, {55, 15, 0x0000FF}, {56, 8, kWhite}}},
    };
    int key = 0;
    Debug_BeginCapture();
    for (const Case& c : cases)
        EXPECT_EQ(pictures.Draw(canvas.Dc(), key++, c.file, c.left, c.top, c.size, c.size), 1) << c.what;
    // Each decoded picture is logged with its pixel bytes, width and height.
    std::string log = Debug_Take();
    Debug_EndCapture();
    EXPECT_NE(log.find("(384,16):8\n"), std::string::npos) << log;
    for (const Case& c : cases)
        for (const Probe& p : c.probes)
            EXPECT_TRUE(Near(canvas.At(p.x, p.y), p.colour, 2))
                << c.what << " at " << p.x << "," << p.y << ": " << std::hex << canvas.At(p.x, p.y);
}

TEST(ImagePlugins, BadFilesDrawNothing)
{
    TempDir dir("pics");
    // 50 MB that look like a PNG to its first bytes.
    std::string big(50u << 20, '\x5A');
    memcpy(&big[0], "\x89PNG\r\n\x1a\n", 8);
    struct Bad {
        const char* name;
        std::string data;
    } bad[] = {{"empty.png", ""},
               {"one.bmp", "B"},
               {"big.png", big},
               {"text.jpg", "これは絵ではありません\n"},
               {"missing.png", ""}};
    for (const Bad& b : bad)
        if (strcmp(b.name, "missing.png") != 0)
            WriteBytes(dir.File(b.name), b.data);
    big.clear();
    CImagePlugins pictures(WinPath(ZEVA_SPI_DIR).c_str());
    pictures.Cache().SetBaseFolder(dir.Path().c_str());
    Canvas canvas(32, 32);
    int key = 0;
    for (const Bad& b : bad) {
        EXPECT_EQ(pictures.Draw(canvas.Dc(), key, b.name, 0, 0, 32, 32), 1) << b.name;
        const PictureEntry* e = pictures.Cache().Find(key++, b.name);
        ASSERT_TRUE(e) << b.name;
        EXPECT_FALSE(e->picture.info) << b.name;
    }
    EXPECT_TRUE(canvas.AllWhite());
}

// A decoder folder with the two counting stand-ins and a file that is no
// library at all.
class StandIns : public ::testing::Test {
protected:
    void SetUp() override
    {
        map = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(SpiCounts), SPI_COUNT_BLOCK);
        counts = (SpiCounts*)MapViewOfFile(map, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SpiCounts));
        ASSERT_TRUE(counts);
        memset(counts, 0, sizeof *counts);
        decoders = dir.Sub("spi");
        for (const char* n : {"a_count.spi", "b_count.spi"})
            ASSERT_TRUE(CopyFileA((WinPath(ZEVA_COUNT_SPI_DIR) + "\\" + n).c_str(), (decoders + n).c_str(), FALSE));
        WriteBytes(decoders + "broken.spi", "MZ but not a library");
        files = dir.Sub("board");
    }
    void TearDown() override
    {
        UnmapViewOfFile(counts);
        CloseHandle(map);
    }
    // A file for a stand-in: its magic, then the colour (R, G, B).
    static std::string Coloured(const char* magic, Rgb c)
    {
        return std::string(magic) + (char)(c >> 16) + (char)(c >> 8) + (char)c + "x";
    }
    void Put(const char* name, const std::string& bytes) { WriteBytes(files + name, bytes); }

    TempDir dir{"standin"};
    std::string decoders, files;
    HANDLE map = nullptr;
    SpiCounts* counts = nullptr;
};

TEST_F(StandIns, EachFileIsDecodedOnceAndADecoderIsKeptWhileItAccepts)
{
    Put("a1", Coloured("AAAA", 0xFF0000));
    Put("a2", Coloured("AAAA", 0x00FF00));
    Put("b1", Coloured("BBBB", 0x0000FF));
    Put("b2", Coloured("BBBB", 0xFFFF00));
    CImagePlugins pictures(decoders.substr(0, decoders.size() - 1).c_str());
    pictures.Cache().SetBaseFolder(files.c_str());
    const SpiCounter& a = counts->of[0];
    const SpiCounter& b = counts->of[1];
    // Which library the folder lists first is the system's affair: a step
    // that needs another decoder may load either; a step the loaded one
    // takes loads nothing and asks it once.
    struct Step {
        int32_t key;
        const char* file;
        const char* loaded;
        Rgb colour;
        bool kept;
        LONG aPictures, bPictures;   // GetPicture calls so far
    } steps[] = {
        {1, "a1", "a_count.spi", 0xFF0000, false, 1, 0},
        {2, "a2", "a_count.spi", 0x00FF00, true, 2, 0},
        {3, "b1", "b_count.spi", 0x0000FF, false, 2, 1},
        {4, "b2", "b_count.spi", 0xFFFF00, true, 2, 2},
        {1, "a1", "b_count.spi", 0xFF0000, true, 2, 2},   // cached: nobody is asked
    };
    for (const Step& s : steps) {
        SpiCounter a0 = a, b0 = b;
        Canvas canvas(4, 4);
        EXPECT_EQ(pictures.Draw(canvas.Dc(), s.key, s.file, 0, 0, 4, 4), 1) << s.file;
        EXPECT_EQ(canvas.At(1, 1), s.colour) << s.file;
        EXPECT_EQ(Path_FileName(pictures.Source().Loaded()), std::string(s.loaded)) << s.file;
        EXPECT_EQ(a.getPicture, s.aPictures) << s.file;
        EXPECT_EQ(b.getPicture, s.bPictures) << s.file;
        if (s.kept) {
            EXPECT_EQ(a.loads + b.loads, a0.loads + b0.loads) << s.file;
            bool cached = s.key == 1;
            EXPECT_EQ(a.isSupported + b.isSupported - a0.isSupported - b0.isSupported, cached ? 0 : 1) << s.file;
        }
    }
    // All ten names were looked up; only two were ever called.
    for (int i = 0; i < CSpiSource::PROC_COUNT; ++i)
        EXPECT_TRUE(pictures.Source().Proc(i)) << i;
    EXPECT_EQ(a.others + b.others, 0);
}

// A decoder folder too long for "<folder>\\*.spi": cut, the pattern would
// list every file of the folder and load it as a library.
TEST_F(StandIns, AFolderTooLongForItsPatternListsNothing)
{
    std::string folder = dir.Path() + std::string(MAX_PATH - 3 - dir.Path().size(), 'd');   // 257 bytes
    ASSERT_EQ(folder.size(), (size_t)MAX_PATH - 3);
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(CopyFileA((WinPath(ZEVA_COUNT_SPI_DIR) + "\\a_count.spi").c_str(), (folder + "\\a.dll").c_str(), FALSE));
    Put("a1", Coloured("AAAA", 0xFF0000));
    CImagePlugins pictures(folder.c_str());
    pictures.Cache().SetBaseFolder(files.c_str());
    Canvas canvas(4, 4);
    EXPECT_EQ(pictures.Draw(canvas.Dc(), 1, "a1", 0, 0, 4, 4), 1);
    EXPECT_TRUE(canvas.AllWhite());
    EXPECT_EQ(counts->of[0].loads, 0);
}

TEST_F(StandIns, BadAnswersLeaveNoPicture)
{
    struct Case {
        const char* file;
        std::string bytes;
        LONG pictureCalls;   // GetPicture calls it costs
    } cases[] = {
        {"error", "AAAAERR!", 1},  {"zero", "AAAAZERO", 1},    {"huge", "AAAAHUGE", 1},
        {"null", "AAAANULL", 1},   {"refused", "CCCC1234", 0}, {"short", "AA", 0},
    };
    for (const Case& c : cases)
        Put(c.file, c.bytes);
    CImagePlugins pictures(decoders.substr(0, decoders.size() - 1).c_str());
    pictures.Cache().SetBaseFolder(files.c_str());
    int key = 10;
    for (const Case& c : cases) {
        LONG before = counts->of[0].getPicture + counts->of[1].getPicture;
        Canvas canvas(8, 8);
        EXPECT_EQ(pictures.Draw(canvas.Dc(), key, c.file, 0, 0, 8, 8), 1) << c.file;
        EXPECT_TRUE(canvas.AllWhite()) << c.file;
        EXPECT_FALSE(pictures.Cache().Find(key++, c.file)->picture.info) << c.file;
        EXPECT_EQ(counts->of[0].getPicture + counts->of[1].getPicture - before, c.pictureCalls) << c.file;
    }
    // Nobody took the last files: no decoder stays loaded.
    EXPECT_STREQ(pictures.Source().Loaded(), "");
}

}  // namespace
