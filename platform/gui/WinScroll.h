#pragma once
// The scroll bars of a window (WS_VSCROLL / WS_HSCROLL): the range, page and position a
// control gives each bar, their place in the non-client frame, their painting and the mouse
// on them, and the functions other code reads and sets them with (GetScrollInfo,
// GetScrollPos, GetScrollBarInfo, ...).
//
// A control that scrolls keeps a TWindowScrollBars and lets it see its messages:
//
//   void TMyList::WndProc(TMessage& M) {
//     if (FBars.MouseMessage(M)) return;      // presses on a bar never reach the client
//     inherited::WndProc(M);
//   }
//   void TMyList::Dispatch(TMessage& M) {
//     if (FBars.Dispatch(M)) return;          // WM_NCPAINT, the repeat timer, the scroll-info requests
//     inherited::Dispatch(M);
//   }
//
// The bars tell the control by WM_VSCROLL / WM_HSCROLL (SB_ codes); the control scrolls and
// sets the new position itself.
// Declares TScrollBarRequest and TWindowScrollBars.
#include "gui/Controls.h"
#include "gui/Messages.h"

#include <memory>

class TScrollBarModel;

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};
constexpr UINT SIF_RANGE = 0x0001, SIF_PAGE = 0x0002, SIF_POS = 0x0004, SIF_DISABLENOSCROLL = 0x0008,
               SIF_TRACKPOS = 0x0010, SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

// What GetScrollBarInfo answers: the bar in screen coordinates and its state.
struct SCROLLBARINFO {
  DWORD cbSize = sizeof(SCROLLBARINFO);
  TRect rcScrollBar;
  int dxyLineButton = 0;
  int xyThumbTop = 0;
  int xyThumbBottom = 0;
  int reserved = 0;
  DWORD rgstate[6] = {};
};
constexpr int OBJID_VSCROLL = -5, OBJID_HSCROLL = -6, OBJID_CLIENT = -4;
constexpr DWORD STATE_SYSTEM_UNAVAILABLE = 0x00000001, STATE_SYSTEM_INVISIBLE = 0x00008000,
                STATE_SYSTEM_OFFSCREEN = 0x00010000;

// Scroll-bar control messages (SB_CTL requests go to the control as these).
constexpr UINT SBM_SETSCROLLINFO = 0x00E9, SBM_GETSCROLLINFO = 0x00EA, SBM_GETSCROLLBARINFO = 0x00EB;

// The request behind the functions below, sent to the window: WParam = SB_HORZ or SB_VERT,
// LParam = a TScrollBarRequest; a window with bars answers 1.
constexpr UINT CM_WINDOWSCROLLBAR = CM_BASE + 0x0F10;
struct TScrollBarRequest {
  enum TKind { rkGetInfo, rkSetInfo, rkShow, rkGetBarInfo } Kind = rkGetInfo;
  SCROLLINFO* Info = nullptr;
  SCROLLBARINFO* BarInfo = nullptr;
  bool Redraw = true;
  bool Show = true;
  int Result = 0;
};

BOOL GetScrollInfo(HWND Handle, int Bar, SCROLLINFO* Info);
// The new position.
int SetScrollInfo(HWND Handle, int Bar, const SCROLLINFO* Info, BOOL Redraw);
int GetScrollPos(HWND Handle, int Bar);
// The previous position.
int SetScrollPos(HWND Handle, int Bar, int Pos, BOOL Redraw);
BOOL GetScrollRange(HWND Handle, int Bar, int* Min, int* Max);
BOOL SetScrollRange(HWND Handle, int Bar, int Min, int Max, BOOL Redraw);
BOOL ShowScrollBar(HWND Handle, int Bar, BOOL Show);
BOOL GetScrollBarInfo(HWND Handle, int ObjectId, SCROLLBARINFO* Info);

class TWindowScrollBars {
public:
  explicit TWindowScrollBars(TWinControl* Owner);
  ~TWindowScrollBars();

  // Range, page and position of SB_HORZ or SB_VERT. A bar shows while its range holds more
  // than a page (always, disabled when not needed, with DisableNoScroll); showing or hiding a
  // bar changes the owner's frame (WS_HSCROLL / WS_VSCROLL) and so its client size.
  void SetInfo(int Bar, int Min, int Max, int Page, int Pos);
  // Both bars in one step, so the frame changes once: for an owner whose page on one bar
  // depends on whether the other shows.
  struct TInfo {
    int Min = 0, Max = 0, Page = 0, Pos = 0;
  };
  void SetInfo(const TInfo& Horz, const TInfo& Vert);
  void SetPos(int Bar, int Pos);
  int Pos(int Bar) const;
  int Min(int Bar) const;
  int Max(int Bar) const;
  int Page(int Bar) const;
  bool Visible(int Bar) const;
  // A bar the owner switched off stays hidden whatever its range (ShowScrollBar FALSE).
  void SetAllowed(int Bar, bool Allowed);
  bool Allowed(int Bar) const { return FAllowed[Bar == SB_HORZ ? 0 : 1]; }
  bool DisableNoScroll() const { return FDisableNoScroll; }
  void SetDisableNoScroll(bool v);
  // The bar's rectangle in window coordinates (empty when hidden). The bars lie between the
  // frame and the owner's BorderWidth band.
  TRect BarRect(int Bar) const;
  bool Tracking() const;

  // Messages of the owner. MouseMessage takes mouse messages that fall on a bar (or all of
  // them while a bar holds the mouse); Dispatch paints the bars after the frame, runs the
  // repeat timer and answers CM_WINDOWSCROLLBAR. Both return true when they took the message.
  bool MouseMessage(TMessage& M);
  bool Dispatch(TMessage& M);

private:
  TScrollBarModel& Model(int Bar) const;
  void Store(int Bar, const TInfo& Info);
  bool Wanted(int Bar) const;
  void ApplyVisibility();
  void Answer(int Bar, TScrollBarRequest& R);
  void RepaintFrame();
  // What a bar showed when the frame was last painted. A record move changes the position of
  // a long list's bar without moving its thumb by a pixel: the frame is then left as it is.
  struct TShown {
    TRect Bar, Thumb;
    bool Enabled = false;
    bool operator==(const TShown&) const = default;
  };
  TShown Shown(int Bar) const;
  void RepaintFrameIfChanged();

  TWinControl* FOwner;
  std::unique_ptr<TScrollBarModel> FHorz, FVert;
  bool FAllowed[2] = {true, true};
  bool FDisableNoScroll = false;
  TScrollBarModel* FHeld = nullptr;
  bool FApplying = false;
  TShown FShown[2];  // horizontal, vertical
};
