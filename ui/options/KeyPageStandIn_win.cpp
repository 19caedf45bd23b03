// Stand-in for the keyboard page's procedure until the key assignment's own
// page joins the program; dropped then. It shows its dialog and does nothing.
#include "ui/keys/KeyPage_win.h"

INT_PTR CALLBACK KeyPage_DlgProc(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}
