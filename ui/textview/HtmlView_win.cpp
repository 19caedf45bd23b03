// The HTML view: a browser window beside the main window that shows the
// article through "tmp.html" in the data folder. The browser is the web
// browser's application object through COM; a machine without one (or
// without its HTML engine) simply shows nothing.
#include "base/fileio.h"
#include "res/resource.h"
#include "ui/shell/Shell.h"
#include "ui/shell/Views.h"
#include "ui/textview/TextFormat.h"
#include "ui/textview/TextView_win.h"

#include <exdisp.h>
#include <ole2.h>

#include <string>

namespace {

// The application object (class 0002DF01-..., interface IWebBrowserApp
// 0002DF05-...).
const CLSID kClsidBrowser = {0x0002DF01, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIidBrowserApp = {0x0002DF05, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class CComBrowser : public CHtmlBrowser {
public:
    explicit CComBrowser(IWebBrowserApp* app) : m_app(app) {}
    ~CComBrowser() override
    {
        if (m_app)
            m_app->Release();
    }
    int Answers() override
    {
        SHANDLE_PTR wnd = 0;
        return SUCCEEDED(m_app->get_HWND(&wnd)) ? 1 : 0;
    }
    int IsVisible() override
    {
        VARIANT_BOOL v = VARIANT_FALSE;
        return SUCCEEDED(m_app->get_Visible(&v)) && v != VARIANT_FALSE;
    }
    void Show(int show) override { m_app->put_Visible(show ? VARIANT_TRUE : VARIANT_FALSE); }
    void ToFront() override
    {
        if (HWND w = Window())
            SetForegroundWindow(w);
    }
    void SetTopmost(int topmost) override
    {
        if (HWND w = Window())
            SetWindowPos(w, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    void Navigate(const char* path) override
    {
        int n = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
        if (n <= 0)
            return;
        BSTR url = SysAllocStringLen(nullptr, (UINT)(n - 1));
        if (!url)
            return;
        MultiByteToWideChar(CP_ACP, 0, path, -1, url, n);
        VARIANT empty;
        VariantInit(&empty);
        m_app->Navigate(url, &empty, &empty, &empty, &empty);
        SysFreeString(url);
    }
    void Quit() override { m_app->Quit(); }

private:
    HWND Window()
    {
        SHANDLE_PTR wnd = 0;
        return SUCCEEDED(m_app->get_HWND(&wnd)) ? (HWND)wnd : nullptr;
    }
    IWebBrowserApp* m_app;
};

CHtmlBrowser* CreateComBrowser()
{
    IWebBrowserApp* app = nullptr;
    if (FAILED(CoCreateInstance(kClsidBrowser, nullptr, CLSCTX_SERVER, kIidBrowserApp, (void**)&app)) || !app)
        return nullptr;
    app->put_MenuBar(VARIANT_FALSE);
    app->put_StatusBar(VARIANT_FALSE);
    app->put_ToolBar(FALSE);
    app->put_Visible(VARIANT_TRUE);
    return new CComBrowser(app);
}

struct HtmlViewState {
    CHtmlBrowser* browser = nullptr;
    HtmlBrowserFactory factory = nullptr;
    std::string text;   // the text the text view shows now
} g_html;

// Writes "tmp.html" and sends the browser there; nothing when the file
// cannot be written.
void ShowInBrowser()
{
    std::string page = TextFormat_HtmlPage(TextFormat_FolderOf(g_shell.openPath).c_str(), g_html.text.c_str());
    std::string path = std::string(g_shell.dataDir) + "tmp.html";
    if (File_Replace(path.c_str(), page.data(), page.size()))
        g_html.browser->Navigate(path.c_str());
}

bool Alive()
{
    return g_html.browser && g_html.browser->Answers();
}

}  // namespace

int HtmlView_IsBuilt() { return 1; }

void HtmlView_SetBrowserFactory(HtmlBrowserFactory factory) { g_html.factory = factory; }

void HtmlView_Toggle(int force)
{
    if (Alive()) {
        if (!g_html.browser->IsVisible() || force) {
            g_html.browser->Show(1);
            g_html.browser->ToFront();
            ShowInBrowser();
        } else {
            g_html.browser->Show(0);
        }
        return;
    }
    // Never made, or closed by the user: make it (again).
    delete g_html.browser;
    g_html.browser = (g_html.factory ? g_html.factory : CreateComBrowser)();
    if (g_html.browser && g_html.browser->IsVisible())
        ShowInBrowser();
}

void HtmlView_Command(int id)
{
    if (id == ID_HTML_VIEW)
        HtmlView_Toggle(0);
}

void HtmlView_SetTopmost(int topmost)
{
    if (Alive())
        g_html.browser->SetTopmost(topmost);
}

void HtmlView_ShowText(const char* text)
{
    g_html.text = text ? text : "";
    if (Alive() && g_html.browser->IsVisible())
        ShowInBrowser();
}

void HtmlView_Close()
{
    if (g_html.browser) {
        if (g_html.browser->Answers())
            g_html.browser->Quit();
        delete g_html.browser;
        g_html.browser = nullptr;
    }
    g_html.text.clear();
}
