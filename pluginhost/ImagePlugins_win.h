// Image decoder plug-ins (".spi" libraries in the folder the registry names)
// behind the picture cache, and drawing a cached picture into a cell.
#pragma once
#include "pluginhost/PictureCache.h"

#include <windows.h>

// The decoder folder: value "Path" of HKCU "Software\Morivale\Susie\Plug-in"
// (up to 260 bytes); empty when the key or the value is missing.
void ImagePlugins_Folder(char* out, size_t size);

// Decodes through one loaded decoder library at a time: the loaded one while
// its IsSupported takes the file, else the first library of the folder that
// takes it. A library that cannot be loaded is passed over.
class CSpiSource : public IPictureSource {
public:
    enum : int { PROC_COUNT = 10 };
    explicit CSpiSource(const char* folder);
    ~CSpiSource() override;
    CSpiSource(const CSpiSource&) = delete;
    CSpiSource& operator=(const CSpiSource&) = delete;

    int Decode(const char* path, PictureBlocks* out) override;
    // The library loaded now ("" when none).
    const char* Loaded() const { return m_libPath; }
    // The export of the loaded library looked up under the i-th name.
    FARPROC Proc(int i) const { return i >= 0 && i < PROC_COUNT ? m_procs[i] : nullptr; }

private:
    int Accepts(const char* path, char* head);
    void Load(const char* libPath);
    void Unload();

    char m_folder[260];
    char m_libPath[260];
    HMODULE m_lib;
    FARPROC m_procs[PROC_COUNT];
};

// The pictures of one title view: the decoders and the cache.
class CImagePlugins {
public:
    CImagePlugins();                         // the folder from the registry
    explicit CImagePlugins(const char* folder);
    CPictureCache& Cache() { return m_cache; }
    CSpiSource& Source() { return m_source; }
    // Draws the picture of key (decoded from base folder + file on its first
    // use) into the cell at left, top of width x height: at its own size
    // when smaller than the cell, else scaled to fit, centred, with halftone
    // stretching. 0 when the picture has no place in the cache; 1 otherwise,
    // also when there is no picture to draw.
    int Draw(HDC dc, int32_t key, const char* file, int left, int top, int width, int height);

private:
    CSpiSource m_source;
    CPictureCache m_cache;
};
