// Article pictures in the title view of zeva.exe, seen from outside: a board
// whose articles name pictures, our decoders in the folder the registry
// names, and the pictures read back from the screen in their cells, without
// and with preview rows.
#include "ui/zeva_open.h"
#include "res/resource.h"
#include "ui/driver/UiDriver.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <memory>
#include <string>

using namespace uidriver;

namespace {

const char kExe[] = "zeva.exe";
typedef uint32_t Rgb;

std::string WinPath(std::string p)
{
    if (!p.empty() && p[0] == '/')
        p = "Z:" + p;
    for (char& c : p)
        if (c == '/')
            c = '\\';
    return p;
}

std::string ReadFileBytes(const std::string& path)
{
    std::string out;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return out;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        out.append(buf, n);
    fclose(f);
    return out;
}

// The decoder folder of the current user, set for the test and put back.
class RegistryFolder {
public:
    explicit RegistryFolder(const std::string& folder)
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Morivale\\Susie\\Plug-in", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &m_key, nullptr);
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

private:
    HKEY m_key = nullptr;
    char m_old[300] = "";
    bool m_had = false;
};

std::string Article(int no, const char* picture)
{
    std::string s = "S:" + std::to_string(no) + ",*,04/05/06,21:0" + std::to_string(no % 10) + ",\nT:絵のある記事 " +
                    std::to_string(no) + "\nN:投稿者\n";
    if (picture[0])
        s += std::string("I:") + picture + "\n";
    return s + "M:本文 " + std::to_string(no) + "\n.\n";
}

// Rows in number order: red, green, none, blue, a broken file, yellow, a
// missing file.
const char* const kPictures[] = {"solid-red.bmp", "solid-green.png", "",           "solid-blue.bmp",
                                 "broken.png",    "solid-yellow.png", "missing.bmp"};
const Rgb kColours[] = {0xFF0000, 0x00FF00, 0, 0x0000FF, 0, 0xFFFF00, 0};

class PicturesE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(inst.AddProgram(ZEVA_EXE, kExe));
        for (const char* spi : {"zevabmp.spi", "zevawic.spi"})
            ASSERT_TRUE(inst.AddProgram(WinPath(ZEVA_SPI_DIR) + "\\" + spi, spi));
        reg.reset(new RegistryFolder(inst.ProgramDir()));
        std::string store = "#T:絵の板\n";
        for (int i = 0; i < (int)(sizeof kPictures / sizeof kPictures[0]); ++i) {
            store += Article(i + 1, kPictures[i]);
            if (kColours[i]) {
                ASSERT_TRUE(inst.PutData(std::string("絵\\") + kPictures[i],
                                         ReadFileBytes(WinPath(ZEVA_TEST_PICTURES) + "\\" + kPictures[i])));
            }
        }
        ASSERT_TRUE(inst.PutData("絵\\broken.png", "\x89PNG\r\n\x1a\n garbage, no picture"));
        // Flat, number order; number, article icon and state icons.
        ASSERT_TRUE(inst.PutData("絵\\zeva_BBS.ini",
                                 "[BASIC]\r\nLIB=ZVT\r\nTREE=0\r\nCLMSORT=0\r\nCLMSORTUP=1\r\nVIEWFLAG=98\r\n"
                                 "CLM00=180\r\nCLM01=200\r\nCLM02=100\r\nCLM03=120\r\n"));
        ASSERT_TRUE(inst.PutData("絵\\001.zvt", store));
        ASSERT_TRUE(inst.PutData("zeva.ini", "[OPTION]\r\nAnimation=0\r\n"));
        ASSERT_TRUE(app.Start(inst, kExe));
        main = app.WaitWindow("ZEVA");
        ASSERT_TRUE(main);
        ASSERT_TRUE(app.WaitIdle());
        list = Child(main, IDC_TITLEVIEW);
        ASSERT_TRUE(list);
    }
    void Open(const std::string& rel)
    {
        ASSERT_TRUE(ZevaOpenStore(main, inst.DataDir() + "\\" + rel));
    }
    // The screen and where the list's client area stands in it.
    void Shoot(Image* shot, POINT* origin)
    {
        ASSERT_TRUE(Settle(main));
        ASSERT_TRUE(Capture(main, shot));
        RECT w = WindowRect(main);
        POINT o = {0, 0};
        ClientToScreen(list, &o);
        origin->x = o.x - w.left;
        origin->y = o.y - w.top;
    }

    // Ended in reverse: the program first, then the registry value, then
    // the install folder.
    Install inst;
    std::unique_ptr<RegistryFolder> reg;
    Process app;
    HWND main = nullptr, list = nullptr;
};

bool Near(Rgb a, Rgb b)
{
    for (int s = 0; s < 24; s += 8)
        if (std::abs((int)((a >> s) & 0xFF) - (int)((b >> s) & 0xFF)) > 8)
            return false;
    return true;
}

TEST_F(PicturesE2E, PicturesStandInTheirCellsInterleavedAndInPreviewRows)
{
    Open("絵\\001.zvt");
    ASSERT_EQ(ListCount(list), 7);
    ASSERT_TRUE(SendCommand(main, ID_MAX_TITLEVIEW));
    RECT r0 = {};
    ASSERT_TRUE(ListItemRect(list, 0, &r0));
    const int h = r0.bottom - r0.top;
    Image shot;
    POINT o;
    Shoot(&shot, &o);
    SavePng(shot, ScreenPath("pictures_titleview.png"));
    // Without preview: squares of twice the row height centred on their
    // rows, even rows in the first column, odd rows in the second.
    for (int row = 0; row < 7; ++row) {
        RECT r = {};
        ASSERT_TRUE(ListItemRect(list, row, &r));
        int x = o.x + 2 + (row & 1) * 2 * h + h, y = o.y + (r.top + r.bottom) / 2;
        Rgb got = shot.At(x, y);
        if (kColours[row]) {
            EXPECT_TRUE(Near(got, kColours[row])) << "row " << row << ": " << std::hex << got;
        } else {
            EXPECT_FALSE(Near(got, 0xFF0000) || Near(got, 0x00FF00) || Near(got, 0x0000FF) || Near(got, 0xFFFF00))
                << "row " << row << " has no picture: " << std::hex << got;
        }
    }
    // Row 1's picture reaches into the upper half of row 2, row 3's into the
    // lower half, in the second column.
    RECT r2 = {};
    ASSERT_TRUE(ListItemRect(list, 2, &r2));
    EXPECT_TRUE(Near(shot.At(o.x + 2 + 3 * h, o.y + r2.top + h / 4), 0x00FF00));
    EXPECT_TRUE(Near(shot.At(o.x + 2 + 3 * h, o.y + r2.bottom - h / 4 - 1), 0x0000FF));

    // Preview rows: the cell is a square of the (taller) row height at the
    // left; the 32 x 32 pictures are smaller than it and stand centred at
    // their own size.
    ASSERT_TRUE(SendCommand(main, ID_VIEWFLAG_PREVIEW));
    ASSERT_TRUE(ListItemRect(list, 0, &r0));
    const int H = r0.bottom - r0.top;
    ASSERT_GT(H, 32 + 4) << "preview rows are three lines high";
    Shoot(&shot, &o);
    SavePng(shot, ScreenPath("pictures_preview.png"));
    for (int row = 0; row < 4; ++row) {
        RECT r = {};
        ASSERT_TRUE(ListItemRect(list, row, &r));
        int cx = o.x + 2 + H / 2, cy = o.y + r.top + H / 2;
        struct Probe {
            int dx, dy;
            bool inside;
        } probes[] = {{0, 0, true}, {-12, -12, true}, {12, 12, true}, {-19, 0, false}, {0, 19, false}};
        for (const Probe& p : probes) {
            Rgb got = shot.At(cx + p.dx, cy + p.dy);
            bool coloured = kColours[row] && Near(got, kColours[row]);
            EXPECT_EQ(coloured, kColours[row] && p.inside)
                << "row " << row << " at " << p.dx << "," << p.dy << ": " << std::hex << got;
        }
    }
    // The program is still there and answers.
    EXPECT_TRUE(Settle(main));
    EXPECT_EQ(ListCount(list), 7);
}

}  // namespace
