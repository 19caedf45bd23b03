// Reading the patrol's progress window from outside, as a user sees it: its
// title and the rows of its list; and a message loop that hands the window
// its dialog messages. Used by the patrol end-to-end tests and the demo.
#pragma once
#include "patrol/PatrolWin.h"
#include "res/resource.h"

#include <commctrl.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace progressui {

struct Row {
    std::string name, text;   // columns "BBS" and "結果"
};

inline std::vector<Row> Rows()
{
    std::vector<Row> rows;
    HWND list = GetDlgItem(Patrol_Window(), IDC_PATROL_LIST);
    int n = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
        Row r;
        for (int sub = 0; sub < 2; ++sub) {
            char buf[1024] = "";
            LVITEMA item = {};
            item.iSubItem = sub;
            item.pszText = buf;
            item.cchTextMax = sizeof buf;
            SendMessageA(list, LVM_GETITEMTEXTA, i, (LPARAM)&item);
            (sub ? r.text : r.name) = buf;
        }
        rows.push_back(r);
    }
    return rows;
}

inline std::string WindowText(HWND wnd)
{
    char buf[256] = "";
    GetWindowTextA(wnd, buf, sizeof buf);
    return buf;
}

// Runs the message loop until cond holds; false after ms.
inline bool PumpUntil(const std::function<bool()>& cond, unsigned ms = 60000)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            HWND dlg = Patrol_Window();
            if (dlg && IsDialogMessageA(dlg, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (cond())
            return true;
        if (GetTickCount() - start > ms)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

}  // namespace progressui
