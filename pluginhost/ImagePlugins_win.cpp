// Image decoder plug-ins: the folder from the registry, one library loaded
// at a time, the decode steps, and drawing a cached picture.
#include "pluginhost/ImagePlugins_win.h"

#include "base/debug.h"
#include "base/fileio.h"
#include "base/sjis.h"
#include "outside/spi/spi.h"

#include <stdlib.h>
#include <string.h>

#include <string>

namespace {

const char* const kProcNames[CSpiSource::PROC_COUNT] = {SPI_EXPORT_NAMES};
enum { PROC_ISSUPPORTED = 1, PROC_GETPICTURE = 3 };

// A copy of a decoder's block in a buffer of its own (one byte more than
// the block); nullptr when it cannot be read or copied.
unsigned char* CopyBlock(HLOCAL block, size_t* size)
{
    *size = 0;
    SIZE_T n = LocalSize(block);
    void* p = n ? LocalLock(block) : nullptr;
    if (!p)
        return nullptr;
    unsigned char* copy = (unsigned char*)malloc(n + 1);
    if (copy) {
        memcpy(copy, p, n);
        copy[n] = 0;
        *size = n;
    }
    LocalUnlock(block);
    return copy;
}

}  // namespace

void ImagePlugins_Folder(char* out, size_t size)
{
    if (!size)
        return;
    out[0] = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Morivale\\Susie\\Plug-in", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    char value[261] = "";
    DWORD type = 0, bytes = sizeof value - 1;
    if (RegQueryValueExA(key, "Path", nullptr, &type, (BYTE*)value, &bytes) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        value[bytes < sizeof value ? bytes : sizeof value - 1] = 0;
        Str_Copy(out, size < 261 ? size : 261, value);
    }
    RegCloseKey(key);
}

CSpiSource::CSpiSource(const char* folder) : m_lib(nullptr)
{
    Str_Copy(m_folder, sizeof m_folder, folder ? folder : "");
    m_libPath[0] = 0;
    memset(m_procs, 0, sizeof m_procs);
}

CSpiSource::~CSpiSource()
{
    Unload();
}

void CSpiSource::Unload()
{
    if (m_lib)
        FreeLibrary(m_lib);
    m_lib = nullptr;
    m_libPath[0] = 0;
    memset(m_procs, 0, sizeof m_procs);
}

void CSpiSource::Load(const char* libPath)
{
    Unload();
    // A library that is no library (or misses what it needs) must not
    // bring up a system message box: it is simply passed over.
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    m_lib = LoadLibraryA(libPath);
    SetErrorMode(oldMode);
    if (!m_lib)
        return;
    Str_Copy(m_libPath, sizeof m_libPath, libPath);
    for (int i = 0; i < PROC_COUNT; ++i)
        m_procs[i] = GetProcAddress(m_lib, kProcNames[i]);
}

int CSpiSource::Accepts(const char* path, char* head)
{
    SpiIsSupportedFunc isSupported = (SpiIsSupportedFunc)(void*)m_procs[PROC_ISSUPPORTED];
    return isSupported && isSupported(path, head) != 0;
}

int CSpiSource::Decode(const char* path, PictureBlocks* out)
{
    *out = PictureBlocks();
    // The whole file, followed by at least 2,048 + 1 zero bytes: a short
    // file reads as its bytes and then zeros.
    size_t size = 0;
    char* buf = File_ReadBlock(path, &size, 0, SPI_HEAD_BYTES + 1);
    if (!buf)
        return 0;
    if (!(m_lib && Accepts(path, buf))) {
        Unload();
        // A pattern or a library path that would be cut is not used: cut,
        // it names other files ("...\\*" lists them all, "...\\a" loads
        // "a.dll").
        char pattern[MAX_PATH];
        Str_Format(pattern, sizeof pattern, "%s\\*.spi", m_folder);
        size_t folderLen = strlen(m_folder);
        WIN32_FIND_DATAA fd;
        HANDLE find = m_folder[0] && folderLen + 6 < sizeof pattern ? FindFirstFileA(pattern, &fd)
                                                                    : INVALID_HANDLE_VALUE;
        int found = 0;
        if (find != INVALID_HANDLE_VALUE) {
            do {
                char lib[MAX_PATH];
                if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
                    folderLen + 1 + strlen(fd.cFileName) >= sizeof lib)
                    continue;
                Str_Format(lib, sizeof lib, "%s\\%s", m_folder, fd.cFileName);
                Load(lib);
                found = m_lib && Accepts(path, buf);
            } while (!found && FindNextFileA(find, &fd));
            FindClose(find);
        }
        if (!found) {
            Unload();
            free(buf);
            return 0;
        }
    }
    SpiGetPictureFunc getPicture = (SpiGetPictureFunc)(void*)m_procs[PROC_GETPICTURE];
    HLOCAL info = nullptr, bits = nullptr;
    int rc = getPicture ? getPicture(buf, (LONG_PTR)size, SPI_INPUT_MEMORY, &info, &bits, nullptr, 0) : -1;
    free(buf);
    if (rc != 0)
        return 0;
    if (info && bits) {
        out->info = CopyBlock(info, &out->infoSize);
        out->bits = CopyBlock(bits, &out->bitsSize);
    }
    if (info)
        LocalFree(info);
    if (bits)
        LocalFree(bits);
    if (!out->info || !out->bits) {
        free(out->info);
        free(out->bits);
        *out = PictureBlocks();
        return 0;
    }
    const BITMAPINFOHEADER* h = (const BITMAPINFOHEADER*)out->info;
    int w = out->infoSize >= 12 ? (int)h->biWidth : 0, ht = out->infoSize >= 12 ? (int)h->biHeight : 0;
    Debug_Printf("(%d,%d):%d\n", (int)out->bitsSize, w, ht);
    return 1;
}

namespace {

std::string RegistryFolder()
{
    char folder[261];
    ImagePlugins_Folder(folder, sizeof folder);
    return folder;
}

}  // namespace

CImagePlugins::CImagePlugins() : CImagePlugins(RegistryFolder().c_str()) {}

CImagePlugins::CImagePlugins(const char* folder) : m_source(folder), m_cache(&m_source) {}

int CImagePlugins::Draw(HDC dc, int32_t key, const char* file, int left, int top, int width, int height)
{
    const PictureEntry* e = m_cache.Find(key, file);
    if (!e)
        return 0;
    if (!e->picture.info)
        return 1;
    PictureRect r = Picture_Place(e->width, e->height, left, top, width, height);
    int oldMode = SetStretchBltMode(dc, HALFTONE);
    POINT oldOrg;
    SetBrushOrgEx(dc, 0, 0, &oldOrg);
    StretchDIBits(dc, r.left, r.top, r.width, r.height, 0, 0, e->width, e->height, e->picture.bits,
                  (const BITMAPINFO*)e->picture.info, DIB_RGB_COLORS, SRCCOPY);
    SetBrushOrgEx(dc, oldOrg.x, oldOrg.y, nullptr);
    SetStretchBltMode(dc, oldMode);
    return 1;
}
