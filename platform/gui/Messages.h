#pragma once
// Window messages: the record every control receives, the message numbers with their usual
// values, and the queue the controls post into. A window handle (HWND) is the id of a control
// or of an allocated message window; messages to a freed id are dropped.
// Declares TMessage and TMsg.
#include "core/System.h"
#include "core/Types.h"

#include <cstdint>
#include <functional>

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using UINT_PTR = std::uintptr_t;
using BOOL = int;
using HWND = std::uintptr_t;  // 0 = no window
using Char = char32_t;        // one typed character (a code point)

struct TMessage {
  Cardinal Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;

  Word WParamLo() const { return static_cast<Word>(WParam & 0xFFFF); }
  Word WParamHi() const { return static_cast<Word>((WParam >> 16) & 0xFFFF); }
  Word LParamLo() const { return static_cast<Word>(LParam & 0xFFFF); }
  Word LParamHi() const { return static_cast<Word>((static_cast<std::uintptr_t>(LParam) >> 16) & 0xFFFF); }
};

// A queued message as PeekMessage returns it.
struct TMsg {
  HWND hwnd = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  UINT message = 0;  // after the wide members: the record packs without gaps
  DWORD time = 0;
  TPoint pt;
};

using TWndMethod = std::function<void(TMessage& Message)>;
using TIMERPROC = void (*)(HWND hwnd, UINT msg, UINT_PTR idEvent, DWORD time);

// ---------------------------------------------------------------- packing helpers

constexpr Word LoWord(std::uintptr_t v) { return static_cast<Word>(v & 0xFFFF); }
constexpr Word HiWord(std::uintptr_t v) { return static_cast<Word>((v >> 16) & 0xFFFF); }
constexpr LPARAM MakeLParam(int lo, int hi) {
  return static_cast<LPARAM>(static_cast<std::int32_t>((static_cast<std::uint32_t>(lo) & 0xFFFF) |
                                                       ((static_cast<std::uint32_t>(hi) & 0xFFFF) << 16)));
}
constexpr WPARAM MakeWParam(int lo, int hi) { return static_cast<WPARAM>(static_cast<std::uint32_t>(MakeLParam(lo, hi))); }
// Signed coordinates packed in the low and high words (mouse messages).
constexpr int GetXLParam(LPARAM lp) { return static_cast<std::int16_t>(lp & 0xFFFF); }
constexpr int GetYLParam(LPARAM lp) { return static_cast<std::int16_t>((lp >> 16) & 0xFFFF); }
constexpr TPoint PointFromLParam(LPARAM lp) { return {GetXLParam(lp), GetYLParam(lp)}; }
constexpr LPARAM PointToLParam(TPoint p) { return MakeLParam(p.X, p.Y); }
// The wheel distance of WM_MOUSEWHEEL (high word of WParam, signed).
constexpr int WheelDeltaOf(WPARAM wp) { return static_cast<std::int16_t>((wp >> 16) & 0xFFFF); }

// ---------------------------------------------------------------- window messages

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETREDRAW = 0x000B;
constexpr UINT WM_SETTEXT = 0x000C;      // LParam = const char* (UTF-8, NUL-terminated)
constexpr UINT WM_GETTEXT = 0x000D;      // WParam = room in characters incl. NUL, LParam = char*; see AnswerGetText
constexpr UINT WM_GETTEXTLENGTH = 0x000E;  // answers the length in characters
constexpr UINT WM_PAINT = 0x000F;        // WParam = the canvas (HDC) to paint on
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;   // WParam = the canvas (HDC)
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_WININICHANGE = 0x001A;
constexpr UINT WM_SETTINGCHANGE = WM_WININICHANGE;
constexpr UINT WM_FONTCHANGE = 0x001D;
constexpr UINT WM_TIMECHANGE = 0x001E;
constexpr UINT WM_CANCELMODE = 0x001F;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_MOUSEACTIVATE = 0x0021;
constexpr UINT WM_CHILDACTIVATE = 0x0022;
constexpr UINT WM_GETMINMAXINFO = 0x0024;
constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT WM_MEASUREITEM = 0x002C;
constexpr UINT WM_DELETEITEM = 0x002D;
constexpr UINT WM_VKEYTOITEM = 0x002E;
constexpr UINT WM_CHARTOITEM = 0x002F;
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_GETFONT = 0x0031;
constexpr UINT WM_COMPAREITEM = 0x0039;
constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_CONTEXTMENU = 0x007B;  // LParam = screen point; (-1, -1) from the keyboard
constexpr UINT WM_STYLECHANGING = 0x007C;
constexpr UINT WM_STYLECHANGED = 0x007D;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_NCCALCSIZE = 0x0083;   // LParam = TRect*: the window rectangle, made the client's
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_NCPAINT = 0x0085;      // WParam = the canvas over the whole window
constexpr UINT WM_NCACTIVATE = 0x0086;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_NCMOUSEMOVE = 0x00A0;
constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
constexpr UINT WM_NCLBUTTONUP = 0x00A2;
constexpr UINT WM_NCLBUTTONDBLCLK = 0x00A3;
constexpr UINT WM_NCRBUTTONDOWN = 0x00A4;
constexpr UINT WM_NCRBUTTONUP = 0x00A5;
constexpr UINT WM_NCRBUTTONDBLCLK = 0x00A6;
constexpr UINT WM_NCMBUTTONDOWN = 0x00A7;
constexpr UINT WM_NCMBUTTONUP = 0x00A8;
constexpr UINT WM_NCMBUTTONDBLCLK = 0x00A9;

constexpr UINT WM_KEYFIRST = 0x0100;
constexpr UINT WM_KEYDOWN = 0x0100;      // WParam = virtual key, LParam = key data
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;         // WParam = the character's code point
constexpr UINT WM_DEADCHAR = 0x0103;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_SYSDEADCHAR = 0x0107;
constexpr UINT WM_KEYLAST = 0x0108;
constexpr UINT WM_IME_STARTCOMPOSITION = 0x010D;
constexpr UINT WM_IME_ENDCOMPOSITION = 0x010E;
constexpr UINT WM_IME_COMPOSITION = 0x010F;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;        // WParam = timer id, LParam = the timer procedure
constexpr UINT WM_HSCROLL = 0x0114;      // LoWord(WParam) = SB_ code, HiWord = position
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_INITMENU = 0x0116;
constexpr UINT WM_INITMENUPOPUP = 0x0117;
constexpr UINT WM_MENUSELECT = 0x011F;
constexpr UINT WM_MENUCHAR = 0x0120;
constexpr UINT WM_ENTERIDLE = 0x0121;
constexpr UINT WM_CTLCOLORMSGBOX = 0x0132;
constexpr UINT WM_CTLCOLOREDIT = 0x0133;
constexpr UINT WM_CTLCOLORLISTBOX = 0x0134;
constexpr UINT WM_CTLCOLORBTN = 0x0135;
constexpr UINT WM_CTLCOLORDLG = 0x0136;
constexpr UINT WM_CTLCOLORSCROLLBAR = 0x0137;
constexpr UINT WM_CTLCOLORSTATIC = 0x0138;

constexpr UINT WM_MOUSEFIRST = 0x0200;
constexpr UINT WM_MOUSEMOVE = 0x0200;    // WParam = MK_ flags, LParam = client point
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;   // HiWord(WParam) = delta (±120), LoWord = MK_, LParam = screen point
constexpr UINT WM_MOUSELAST = 0x020A;
constexpr UINT WM_PARENTNOTIFY = 0x0210;
constexpr UINT WM_ENTERMENULOOP = 0x0211;
constexpr UINT WM_EXITMENULOOP = 0x0212;
constexpr UINT WM_MDICREATE = 0x0220;
constexpr UINT WM_MDIDESTROY = 0x0221;
constexpr UINT WM_MDIACTIVATE = 0x0222;
constexpr UINT WM_MDIRESTORE = 0x0223;
constexpr UINT WM_MDINEXT = 0x0224;
constexpr UINT WM_MDIMAXIMIZE = 0x0225;
constexpr UINT WM_MDITILE = 0x0226;
constexpr UINT WM_MDICASCADE = 0x0227;
constexpr UINT WM_MDIICONARRANGE = 0x0228;
constexpr UINT WM_MDIGETACTIVE = 0x0229;
constexpr UINT WM_ENTERSIZEMOVE = 0x0231;
constexpr UINT WM_EXITSIZEMOVE = 0x0232;
constexpr UINT WM_IME_SETCONTEXT = 0x0281;
constexpr UINT WM_IME_NOTIFY = 0x0282;
constexpr UINT WM_IME_CHAR = 0x0286;
constexpr UINT WM_MOUSEHOVER = 0x02A1;
constexpr UINT WM_MOUSELEAVE = 0x02A3;
constexpr UINT WM_CUT = 0x0300;
constexpr UINT WM_COPY = 0x0301;
constexpr UINT WM_PASTE = 0x0302;
constexpr UINT WM_CLEAR = 0x0303;
constexpr UINT WM_UNDO = 0x0304;
constexpr UINT WM_PRINT = 0x0317;
constexpr UINT WM_PRINTCLIENT = 0x0318;
constexpr UINT WM_THEMECHANGED = 0x031A;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

// ---------------------------------------------------------------- control messages

constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_GOTFOCUS = CM_BASE + 2;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 3;
constexpr UINT CM_CANCELMODE = CM_BASE + 4;      // LParam = the control that keeps the mode
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;       // WParam = virtual key; non-zero result = used
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;      // WParam = character; non-zero result = used
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;    // LParam = the control now focused
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 16;
constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 17;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;     // LParam = the control entered
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;     // LParam = the control left
constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
constexpr UINT CM_APPKEYDOWN = CM_BASE + 22;
constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 23;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_DESIGNHITTEST = CM_BASE + 28;
constexpr UINT CM_ICONCHANGED = CM_BASE + 29;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr UINT CM_INVOKEHELP = CM_BASE + 31;
constexpr UINT CM_WINDOWHOOK = CM_BASE + 32;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 36;
constexpr UINT CM_WININICHANGE = CM_BASE + 37;
constexpr UINT CM_FONTCHANGE = CM_BASE + 38;
constexpr UINT CM_TIMECHANGE = CM_BASE + 39;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr UINT CM_UIACTIVATE = CM_BASE + 41;
constexpr UINT CM_UIDEACTIVATE = CM_BASE + 42;
constexpr UINT CM_DOCWINDOWACTIVATE = CM_BASE + 43;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;  // WParam = control, LParam = inserting
constexpr UINT CM_GETDATALINK = CM_BASE + 45;
constexpr UINT CM_CHILDKEY = CM_BASE + 46;           // WParam = key, LParam = the control
constexpr UINT CM_DRAG = CM_BASE + 47;
constexpr UINT CM_HINTSHOW = CM_BASE + 48;           // LParam = THintInfo*; non-zero result = no hint
constexpr UINT CM_DIALOGHANDLE = CM_BASE + 49;
constexpr UINT CM_ISTOOLCONTROL = CM_BASE + 50;
constexpr UINT CM_RECREATEWND = CM_BASE + 51;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;
constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 53;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;      // WParam = control, LParam = inserting
constexpr UINT CM_CHANGED = CM_BASE + 55;
constexpr UINT CM_DOCKCLIENT = CM_BASE + 56;
constexpr UINT CM_UNDOCKCLIENT = CM_BASE + 57;
constexpr UINT CM_FLOAT = CM_BASE + 58;
constexpr UINT CM_BORDERCHANGED = CM_BASE + 59;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
constexpr UINT CM_ALLCHILDRENFLIPPED = CM_BASE + 62;
constexpr UINT CM_ACTIONUPDATE = CM_BASE + 63;
constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 64;
constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 65;      // WParam = hint was active, LParam = int* pause
constexpr UINT CM_DOCKNOTIFICATION = CM_BASE + 66;
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 67;

// Notifications reflected back to the control they concern: CN_BASE + the window message.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSKEYUP = CN_BASE + WM_SYSKEYUP;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;

// ---------------------------------------------------------------- notifications

// CN_NOTIFY: LParam = NMHDR* (or a record that starts with one).
struct NMHDR {
  HWND hwndFrom = 0;
  UINT_PTR idFrom = 0;
  int code = 0;
};
constexpr int NM_CLICK = -2, NM_DBLCLK = -3, NM_RETURN = -4, NM_RCLICK = -5, NM_RDBLCLK = -6;

// ---------------------------------------------------------------- private messages of the libraries

constexpr UINT WM_MODALWORK = WM_USER + 1;            // 1025: work started from inside a modal loop
constexpr UINT WM_DEFERREDLAYOUT = WM_USER + 100;     // a grid's deferred layout pass (one queued at most)
constexpr UINT CM_IMAGESETUPCHANGED = WM_USER + 101;  // an edit's image settings changed
constexpr UINT CM_CALENDARCLOSE = WM_USER + 101;      // a calendar drop-down closes itself later
constexpr UINT CM_MENUCLOSED = WM_USER + 102;         // posted by an edit after its button's menu closed
// The side of a drop-down's size grip (0 left, 1 right, 2 top, 3 bottom). It shared
// WM_USER + 100 with the deferred layout, which made the two collide in the lookup grid;
// it has an id of its own.
constexpr UINT CM_GRIPSIDE = WM_USER + 110;
constexpr UINT DM_CLOSEPOPUP = 0x8065;
constexpr UINT DM_OPENPOPUP = 0x8066;
constexpr UINT DM_UPDATESCROLLBARS = 0x8068;
constexpr UINT DM_FORWARDCHAR = 0x806B;
constexpr UINT DM_SYNCLOOKUP = 0x806C;
constexpr UINT CM_CXSCROLLBARSIZE = 0x8131;
constexpr UINT CM_SPEEDBUTTONGROUP = 0xB051;          // WParam = group index, LParam = the button

// ---------------------------------------------------------------- codes and flags

// Mouse key flags of mouse messages.
constexpr UINT MK_LBUTTON = 0x0001;
constexpr UINT MK_RBUTTON = 0x0002;
constexpr UINT MK_SHIFT = 0x0004;
constexpr UINT MK_CONTROL = 0x0008;
constexpr UINT MK_MBUTTON = 0x0010;

// WM_GETDLGCODE answers.
constexpr UINT DLGC_WANTARROWS = 0x0001;
constexpr UINT DLGC_WANTTAB = 0x0002;
constexpr UINT DLGC_WANTALLKEYS = 0x0004;
constexpr UINT DLGC_WANTMESSAGE = 0x0004;
constexpr UINT DLGC_HASSETSEL = 0x0008;
constexpr UINT DLGC_DEFPUSHBUTTON = 0x0010;
constexpr UINT DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr UINT DLGC_RADIOBUTTON = 0x0040;
constexpr UINT DLGC_WANTCHARS = 0x0080;
constexpr UINT DLGC_STATIC = 0x0100;
constexpr UINT DLGC_BUTTON = 0x2000;

// Scroll codes of WM_HSCROLL / WM_VSCROLL and scroll-bar kinds.
constexpr int SB_LINEUP = 0, SB_LINELEFT = 0;
constexpr int SB_LINEDOWN = 1, SB_LINERIGHT = 1;
constexpr int SB_PAGEUP = 2, SB_PAGELEFT = 2;
constexpr int SB_PAGEDOWN = 3, SB_PAGERIGHT = 3;
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_THUMBTRACK = 5;
constexpr int SB_TOP = 6, SB_LEFT = 6;
constexpr int SB_BOTTOM = 7, SB_RIGHT = 7;
constexpr int SB_ENDSCROLL = 8;
constexpr int SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3;

// WM_NCHITTEST answers.
constexpr int HTERROR = -2, HTTRANSPARENT = -1, HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2, HTSYSMENU = 3,
              HTGROWBOX = 4, HTSIZE = 4, HTMENU = 5, HTHSCROLL = 6, HTVSCROLL = 7, HTMINBUTTON = 8,
              HTMAXBUTTON = 9, HTLEFT = 10, HTRIGHT = 11, HTTOP = 12, HTTOPLEFT = 13, HTTOPRIGHT = 14,
              HTBOTTOM = 15, HTBOTTOMLEFT = 16, HTBOTTOMRIGHT = 17, HTBORDER = 18, HTCLOSE = 20, HTHELP = 21;

// WM_ACTIVATE states and WM_MOUSEACTIVATE answers.
constexpr int WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2;
constexpr int MA_ACTIVATE = 1, MA_ACTIVATEANDEAT = 2, MA_NOACTIVATE = 3, MA_NOACTIVATEANDEAT = 4;

// WM_SIZE kinds.
constexpr int SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2;

// WM_SYSCOMMAND codes.
constexpr UINT SC_SIZE = 0xF000, SC_MOVE = 0xF010, SC_MINIMIZE = 0xF020, SC_MAXIMIZE = 0xF030,
               SC_NEXTWINDOW = 0xF040, SC_CLOSE = 0xF060, SC_KEYMENU = 0xF100, SC_RESTORE = 0xF120;

// PeekMessage options.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
constexpr UINT PM_NOYIELD = 0x0002;

// Window styles (GetWindowLong GWL_STYLE / GWL_EXSTYLE).
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWL_ID = -12;
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_TRANSPARENT = 0x00000020;
constexpr DWORD WS_EX_MDICHILD = 0x00000040;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr DWORD WS_EX_CONTEXTHELP = 0x00000400;
constexpr DWORD WS_EX_RIGHT = 0x00001000;
constexpr DWORD WS_EX_RTLREADING = 0x00002000;
constexpr DWORD WS_EX_LEFTSCROLLBAR = 0x00004000;
constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;
constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;
constexpr DWORD WS_EX_LAYERED = 0x00080000;

// SetWindowPos flags.
constexpr UINT SWP_NOSIZE = 0x0001, SWP_NOMOVE = 0x0002, SWP_NOZORDER = 0x0004, SWP_NOREDRAW = 0x0008,
               SWP_NOACTIVATE = 0x0010, SWP_FRAMECHANGED = 0x0020, SWP_SHOWWINDOW = 0x0040,
               SWP_HIDEWINDOW = 0x0080, SWP_NOOWNERZORDER = 0x0200;
constexpr HWND HWND_TOP = 0;
constexpr HWND HWND_BOTTOM = 1;
constexpr HWND HWND_TOPMOST = static_cast<HWND>(-1);
constexpr HWND HWND_NOTOPMOST = static_cast<HWND>(-2);
// ShowWindow commands.
constexpr int SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_NORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3,
              SW_MAXIMIZE = 3, SW_SHOWNOACTIVATE = 4, SW_SHOW = 5, SW_MINIMIZE = 6, SW_SHOWMINNOACTIVE = 7,
              SW_SHOWNA = 8, SW_RESTORE = 9;

// Message box flags and answers.
constexpr int MB_OK = 0x00000000, MB_OKCANCEL = 0x00000001, MB_ABORTRETRYIGNORE = 0x00000002,
              MB_YESNOCANCEL = 0x00000003, MB_YESNO = 0x00000004, MB_RETRYCANCEL = 0x00000005,
              MB_ICONHAND = 0x00000010, MB_ICONSTOP = 0x00000010, MB_ICONERROR = 0x00000010,
              MB_ICONQUESTION = 0x00000020, MB_ICONEXCLAMATION = 0x00000030, MB_ICONWARNING = 0x00000030,
              MB_ICONASTERISK = 0x00000040, MB_ICONINFORMATION = 0x00000040, MB_DEFBUTTON1 = 0x00000000,
              MB_DEFBUTTON2 = 0x00000100, MB_DEFBUTTON3 = 0x00000200, MB_APPLMODAL = 0x00000000,
              MB_SYSTEMMODAL = 0x00001000, MB_TASKMODAL = 0x00002000, MB_TYPEMASK = 0x0000000F,
              MB_ICONMASK = 0x000000F0, MB_DEFMASK = 0x00000F00;
constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7, IDCLOSE = 8,
              IDHELP = 9;

// ---------------------------------------------------------------- virtual keys

constexpr Word VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_CANCEL = 0x03, VK_MBUTTON = 0x04, VK_BACK = 0x08,
               VK_TAB = 0x09, VK_CLEAR = 0x0C, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
               VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14, VK_KANA = 0x15, VK_ESCAPE = 0x1B,
               VK_CONVERT = 0x1C, VK_NONCONVERT = 0x1D, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22,
               VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
               VK_SELECT = 0x29, VK_PRINT = 0x2A, VK_EXECUTE = 0x2B, VK_SNAPSHOT = 0x2C, VK_INSERT = 0x2D,
               VK_DELETE = 0x2E, VK_HELP = 0x2F, VK_LWIN = 0x5B, VK_RWIN = 0x5C, VK_APPS = 0x5D,
               VK_NUMPAD0 = 0x60, VK_NUMPAD1 = 0x61, VK_NUMPAD2 = 0x62, VK_NUMPAD3 = 0x63, VK_NUMPAD4 = 0x64,
               VK_NUMPAD5 = 0x65, VK_NUMPAD6 = 0x66, VK_NUMPAD7 = 0x67, VK_NUMPAD8 = 0x68, VK_NUMPAD9 = 0x69,
               VK_MULTIPLY = 0x6A, VK_ADD = 0x6B, VK_SEPARATOR = 0x6C, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E,
               VK_DIVIDE = 0x6F, VK_F1 = 0x70, VK_F2 = 0x71, VK_F3 = 0x72, VK_F4 = 0x73, VK_F5 = 0x74,
               VK_F6 = 0x75, VK_F7 = 0x76, VK_F8 = 0x77, VK_F9 = 0x78, VK_F10 = 0x79, VK_F11 = 0x7A,
               VK_F12 = 0x7B, VK_F13 = 0x7C, VK_F14 = 0x7D, VK_F15 = 0x7E, VK_F16 = 0x7F, VK_F17 = 0x80,
               VK_F18 = 0x81, VK_F19 = 0x82, VK_F20 = 0x83, VK_F21 = 0x84, VK_F22 = 0x85, VK_F23 = 0x86,
               VK_F24 = 0x87, VK_NUMLOCK = 0x90, VK_SCROLL = 0x91, VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1,
               VK_LCONTROL = 0xA2, VK_RCONTROL = 0xA3, VK_LMENU = 0xA4, VK_RMENU = 0xA5, VK_PROCESSKEY = 0xE5, VK_PACKET = 0xE7,
               VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD,
               VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF, VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB, VK_OEM_5 = 0xDC,
               VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE;

// Key data of key messages: bit 29 = Alt held, bit 30 = key was down before, bit 31 = release.
constexpr LPARAM KF_ALTDOWN = 0x2000;  // in the high word
constexpr LPARAM AltMask = 0x20000000;

// ---------------------------------------------------------------- the queue and windows

// The control of a handle, nullptr for a freed handle or a message window.
class TWinControl;
TWinControl* FindControl(HWND Handle);
bool IsWindow(HWND Handle);

// A window that is only a message target (timers, utility windows): its messages go to Method.
HWND AllocateHWnd(TWndMethod Method);
void DeallocateHWnd(HWND Handle);

// Sends synchronously; an exception that leaves the handler is shown by the application's
// exception handler and 0 is returned. A freed handle answers 0.
LRESULT SendMessage(HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam);
// Appends to the queue, drained in order by the event loop; false for a freed handle.
// Handle 0 posts a thread message, which only Application.OnMessage sees. Mouse and key
// input enters the same queue, so a loop that takes messages itself sees it.
BOOL PostMessage(HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam);
// Looks at the first queued message for Handle (0 = any) whose number lies in [Min, Max]
// (both 0 = any); WM_PAINT and WM_TIMER only when no other matching message waits.
// PM_REMOVE takes it out of the queue; a WM_QUIT so taken is still owed to the
// application's loop, which ends (the caller does not see it again).
BOOL PeekMessage(TMsg& Msg, HWND Handle, UINT Min, UINT Max, UINT RemoveFlags);
// Takes the next message as PeekMessage does, waiting for one (input arrives meanwhile);
// false for WM_QUIT, which stays owed to the application's loop; -1 without an event loop.
BOOL GetMessage(TMsg& Msg, HWND Handle, UINT Min, UINT Max);
// Waits until a message is queued that no PeekMessage or GetMessage has looked at yet.
void WaitMessage();
// For a WM_KEYDOWN (WM_SYSKEYDOWN) that types characters, queues their WM_CHAR (WM_SYSCHAR)
// ahead of what waits, so the key's handler can still remove them; true when it did.
BOOL TranslateMessage(const TMsg& Msg);
// Delivers a message taken from the queue to its window (exceptions are handled).
LRESULT DispatchMessage(const TMsg& Msg);
// Queues WM_QUIT; one waits at a time (a second only changes its exit code).
void PostQuitMessage(int ExitCode);
// Time (GetTickCount) and cursor position of the message last taken from the queue.
DWORD GetMessageTime();
TPoint GetMessagePos();
int QueuedMessageCount();

// Window timers: WM_TIMER to Handle (or Proc called) every Elapse ms; at most one WM_TIMER of
// an id is queued at a time; intervals below 10 ms are raised to 10. Id 0 with Handle 0 makes
// a new id. Returns the id, 0 on failure.
UINT_PTR SetTimer(HWND Handle, UINT_PTR IDEvent, UINT Elapse, TIMERPROC Proc = nullptr);
BOOL KillTimer(HWND Handle, UINT_PTR IDEvent);
// The interval a window timer runs at now (after the 10-ms floor); 0 when it is not running.
UINT TimerInterval(HWND Handle, UINT_PTR IDEvent);

// Keyboard and mouse-button state as the input translation saw it: the high bit (negative
// result) when the key is down, bit 0 toggled by each press.
short GetKeyState(int VirtKey);
short GetAsyncKeyState(int VirtKey);
// Marks a key down or up as the input translation would (a modifier held while messages are
// sent by hand); a press toggles bit 0 as a real one does.
void SetKeyDownState(int VirtKey, bool Down);

// The speaker: tests count beeps through the hook.
void MessageBeep(UINT Type);
void Beep();
void SetBeepHook(std::function<void(UINT Type)> Hook);

// ---------------------------------------------------------------- text message helpers

// Text lengths and positions count characters everywhere (as Length, SelStart and EM_GETSEL
// do). A character takes up to kMaxCharBytes bytes of UTF-8, so a buffer with room for n
// characters holds n * kMaxCharBytes bytes (and one for the NUL).
constexpr std::size_t kMaxCharBytes = 4;
// Answers WM_GETTEXT with Text: copies at most WParam - 1 characters and a NUL into the
// buffer of LParam (room for WParam characters); Result = the characters copied (0 for
// WParam < 1).
void AnswerGetText(const String& Text, TMessage& Message);
// Answers WM_GETTEXTLENGTH: the length in characters.
void AnswerGetTextLength(const String& Text, TMessage& Message);
// Copies the whole characters of Text that fit in BufSize - 1 bytes and a NUL into a buffer
// of BufSize bytes; the characters copied (0 for BufSize < 1).
int CopyTextToBuffer(const String& Text, char* Buffer, int BufSize);
// Reads a window's text through WM_GETTEXTLENGTH / WM_GETTEXT.
String GetWindowText(HWND Handle);
void SetWindowText(HWND Handle, const String& Text);
