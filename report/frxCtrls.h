#pragma once
// TfrxScrollWin: the report library's scrolling control. It keeps a range, a page and a
// position per axis and shows them in the window's two scroll bars; a descendant draws its
// content at the positions and is told after each scroll (HorzScrolled, VertScrolled). The
// preview's page view and the designer's code editor are built on it.
//
// Page is the visible extent, range the content extent, position the offset, always kept in
// 0 .. range - page. A bar whose range is below its page shows no thumb (maximum 0). The
// bar's own messages end in the position operations: line steps by SmallStep, page steps by
// LargeStep, the thumb at its track position, top at 0, bottom at the range (clamped).
//
// The control paints nothing on WM_ERASEBKGND (its paint covers the client) and asks for
// every key (arrows, Tab and all others) so a descendant sees them in KeyDown.
// Declares TfrxScrollWin.
#include "gui/Controls.h"
#include "gui/ExtCtrls.h"

#include <memory>

class TWindowScrollBars;

class TfrxScrollWin : public TCustomControl {
  KELM_CLASS(TfrxScrollWin, TCustomControl)
public:
  explicit TfrxScrollWin(TComponent* AOwner);
  ~TfrxScrollWin() override;

  // ---- the axes (the Change* operations are the setters)
  int HorzPage() const { return FHorzPage; }
  int HorzPosition() const { return FHorzPosition; }
  int HorzRange() const { return FHorzRange; }
  int VertPage() const { return FVertPage; }
  int VertPosition() const { return FVertPosition; }
  int VertRange() const { return FVertRange; }
  int LargeStep() const { return FLargeStep; }
  void SetLargeStep(int Value) { FLargeStep = Value; }
  int SmallStep() const { return FSmallStep; }
  void SetSmallStep(int Value) { FSmallStep = Value; }

  // Store the page and send the bar again (as the range operation with the current range).
  void ChangeHorzPage(int Value);
  void ChangeVertPage(int Value);
  // Store the range and send the bar: minimum 0, maximum the range (0 below the page), page,
  // position and track position, redrawn.
  void ChangeHorzRange(int Value);
  void ChangeVertRange(int Value);
  // Clamp to 0 .. range - page; an unchanged position does nothing, else the bar's thumb moves
  // and HorzScrolled / VertScrolled follows.
  void ChangeHorzPosition(int Value);
  void ChangeVertPosition(int Value);

  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void Paint() override;
  // ---- the operations a descendant overrides, in this order
  // Fills the client area with the control's colour.
  virtual void PaintBackground();
  virtual void HorzScrolled(int Value);
  virtual void VertScrolled(int Value);
  // Where the thumb of a bar is being dragged; Fallback when the bar cannot be asked.
  int TrackPosition(int Bar, int Fallback) const;

private:
  void SendBar(int Bar);
  void ScrollMessage(int Bar, int Code, int MessagePos);

  int FHorzPage = 0;
  int FHorzPosition = 0;
  int FHorzRange = 0;
  int FLargeStep = 10;
  int FSmallStep = 1;
  int FVertPage = 0;
  int FVertPosition = 0;
  int FVertRange = 0;
  std::unique_ptr<TWindowScrollBars> FBars;
};

// A holder and separator inside tool bars: a small borderless panel in the button-face colour.
// Put on a panel, it lines up across that panel's container: on top when the container is a
// side bar (aligned left or right), at the left otherwise.
class TfrxTBPanel : public TPanel {
  KELM_CLASS(TfrxTBPanel, TPanel)
public:
  explicit TfrxTBPanel(TComponent* AOwner);
  void SetParent(TWinControl* AParent) override;

protected:
  void Paint() override;
};
