// The text, header and HTML views beyond what the main window calls
// (ui/shell/Views.h): what tests and the driver read back, and the HTML
// view's browser seam.
#pragma once
#include <windows.h>

// The header strip's lines as drawn (0 or 1).
const char* HeaderView_Line(int n);

// The text view's control (RichEdit20A, id 113), nullptr before creation.
HWND TextView_Control();

// The browser behind the HTML view: a window without menu, status and tool
// bars that can be shown, hidden, brought to the front, made topmost or
// not, navigated to a local file, asked whether it still answers, and told
// to quit.
class CHtmlBrowser {
public:
    virtual ~CHtmlBrowser() {}
    virtual int Answers() = 0;            // a harmless call; 0 once closed by the user
    virtual int IsVisible() = 0;
    virtual void Show(int show) = 0;
    virtual void ToFront() = 0;
    virtual void SetTopmost(int topmost) = 0;
    virtual void Navigate(const char* path) = 0;
    virtual void Quit() = 0;              // then the view deletes the object
};

// Makes a browser window (bars hidden, made visible), nullptr when it
// cannot be had. The default makes the web browser's application object.
typedef CHtmlBrowser* (*HtmlBrowserFactory)();
// Replaces the factory (nullptr: the default); tests use a stand-in.
void HtmlView_SetBrowserFactory(HtmlBrowserFactory factory);
// Shows the browser when it is hidden or force is set, else hides it; a
// browser that does not exist or no longer answers is made anew.
void HtmlView_Toggle(int force);
// Hands the text shown in the text view to the HTML view: when the browser
// window is visible, "tmp.html" in the data folder gets the text and the
// browser goes there.
void HtmlView_ShowText(const char* text);
// Tells the browser to quit and lets it go.
void HtmlView_Close();

class CTextMatcher;
// The regular-expression library's side of the hit highlighting: makes a
// matcher for a search text (compiled as the search compiles it), nullptr
// when the library is absent or the pattern does not compile; the text
// view deletes it. Until the library registers itself, regular-expression
// searches highlight nothing.
typedef CTextMatcher* (*TextMatcherFactory)(const char* searchText);
void TextView_SetMatcherFactory(TextMatcherFactory factory);

// Replaces how a clicked link is opened (nullptr: with the shell's default
// verb); tests watch the address.
void TextView_SetLinkOpener(void (*open)(const char* url));
