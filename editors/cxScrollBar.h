#pragma once
// TcxScrollBar: a scroll bar drawn wholly by the look-and-feel painter. It keeps the usual
// model (kind, range, page, position, small and large steps), lays out its two arrows, the
// thumb and the two page areas itself, repeats arrow and page presses from a timer (400 ms,
// then every 60 ms), drags the thumb within a tracking band around the bar, and paints every
// area into one off-screen bitmap that is copied to the screen in one go, so it never
// flickers.
//
// Values: Min <= Max and 0 <= PageSize <= Max - Min + 1 (a negative Min is valid); anything
// else raises "Scrollbar property out of range" and keeps the stored values.
// Declares TcxScrollBar.
#include "editors/cxLookAndFeelPainters.h"
#include "editors/cxLookAndFeels.h"
#include "gui/StdCtrls.h"
#include "gui/WinControl.h"

#include <memory>

class TcxCanvas;
class TcxTimer;
class TBitmap;
class TdxThemeChangedNotificator;

class TcxScrollBar : public TCustomControl {
  KELM_CLASS(TcxScrollBar, TCustomControl)
  template <class B> static void Published(B& b) {
    PublishAlign(b);
    PublishAnchors(b);
    PublishConstraints(b);
    PublishCtl3D(b);
    PublishDragCursor(b);
    PublishDragKind(b);
    PublishDragMode(b);
    PublishEnabled(b);
    b.Prop("Kind", &TcxScrollBar::Kind, &TcxScrollBar::SetKind).Default(sbHorizontal);
    b.Prop("LargeChange", &TcxScrollBar::LargeChange, &TcxScrollBar::SetLargeChange).Default(1);
    b.Prop("LookAndFeel", &TcxScrollBar::LookAndFeel, &TcxScrollBar::SetLookAndFeel);
    b.Prop("Max", &TcxScrollBar::Max, &TcxScrollBar::SetMax).Default(100);
    b.Prop("Min", &TcxScrollBar::Min, &TcxScrollBar::SetMin).Default(0);
    b.Prop("PageSize", &TcxScrollBar::PageSize, &TcxScrollBar::SetPageSize).Default(0);
    PublishParentCtl3D(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    b.Prop("Position", &TcxScrollBar::Position, &TcxScrollBar::SetPosition).Default(0);
    PublishShowHint(b);
    b.Prop("SmallChange", &TcxScrollBar::SmallChange, &TcxScrollBar::SetSmallChange).Default(1);
    b.Prop("UnlimitedTracking", &TcxScrollBar::UnlimitedTracking, &TcxScrollBar::SetUnlimitedTracking).Default(false);
    PublishVisible(b);
    PublishOnContextPopup(b);
    b.Prop("OnChange", &TcxScrollBar::OnChange, &TcxScrollBar::SetOnChange);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    PublishOnEndDock(b);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    PublishOnKeyDown(b);
    PublishOnKeyPress(b);
    PublishOnKeyUp(b);
    b.Prop("OnScroll", &TcxScrollBar::OnScroll, &TcxScrollBar::SetOnScroll);
    PublishOnStartDock(b);
    PublishOnStartDrag(b);
  }

public:
  explicit TcxScrollBar(TComponent* AOwner);
  ~TcxScrollBar() override;

  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind Value);
  int Min() const { return FMin; }
  void SetMin(int Value) { AssignScrollValues(Value, FMax, FPosition, FPageSize, true); }
  int Max() const { return FMax; }
  void SetMax(int Value) { AssignScrollValues(FMin, Value, FPosition, FPageSize, true); }
  int PageSize() const { return FPageSize; }
  void SetPageSize(int Value) { AssignScrollValues(FMin, FMax, FPosition, Value, true); }
  int Position() const { return FPosition; }
  void SetPosition(int Value) { AssignScrollValues(FMin, FMax, Value, FPageSize, true); }
  int SmallChange() const { return FSmallChange; }
  void SetSmallChange(int Value) { FSmallChange = static_cast<SmallInt>(Value); }
  int LargeChange() const { return FLargeChange; }
  void SetLargeChange(int Value) { FLargeChange = static_cast<SmallInt>(Value); }
  bool UnlimitedTracking() const { return FUnlimitedTracking; }
  void SetUnlimitedTracking(bool Value) { FUnlimitedTracking = Value; }
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
  // Takes the given look-and-feel's values.
  void SetLookAndFeel(TcxLookAndFeel* Value) { FLookAndFeel->Assign(Value); }
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& Value) { FOnChange = Value; }
  const TScrollEvent& OnScroll() const { return FOnScroll; }
  void SetOnScroll(const TScrollEvent& Value) { FOnScroll = Value; }

  // Sets the four values at once (see the head of this file); Position is clamped into the
  // range. Redraw counts only once the window exists.
  void AssignScrollValues(int AMin, int AMax, int APosition, int APageSize, bool Redraw);
  void ApplyScrollCode(TScrollCode Code);
  void ScrollForArea(TcxScrollBarArea Area);
  TcxScrollBarArea AreaAt(TPoint P) const;
  // The position the thumb's place stands for.
  int ThumbPosition() const;
  void EndTracking();
  void LayoutParts();
  void PlaceThumb();
  void PlacePageAreas();
  void ComputeThumbMinSize();
  TcxLookAndFeelPainterClass CurrentPainter();
  TcxPainterButtonState AreaState(TcxScrollBarArea Area) const;

  // The laid-out areas, in client coordinates (an empty thumb: none).
  TRect StartArrowRect() const { return FStartArrow; }
  TRect EndArrowRect() const { return FEndArrow; }
  TRect ThumbRect() const { return FThumb; }
  TRect StartPageRect() const { return FStartPage; }
  TRect EndPageRect() const { return FEndPage; }
  TcxScrollBarArea PressedArea() const { return FPressedArea; }
  TcxScrollBarArea HotArea() const { return FHotArea; }
  int ThumbMinSize() const { return FThumbMinSize; }
  TcxTimer* RepeatTimer() const { return FRepeatTimer.get(); }

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Dispatch(TMessage& Message) override;

protected:
  virtual void NotifyChange();
  virtual void NotifyScroll(TScrollCode Code, int& Pos);
  virtual void HandleMouseEnter(TControl* AControl);
  virtual void HandleMouseLeave(TControl* AControl);
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  void RepeatTimerTick(TObject* Sender);
  void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues Values);
  void ThemeChanged();
  void TrackThumb(int X, int Y);
  bool Horizontal() const { return FKind == sbHorizontal; }

  std::unique_ptr<TBitmap> FBitmap;
  TcxScrollBarArea FPressedArea = sbaNone;
  TcxScrollBarArea FHotArea = sbaNone;
  std::unique_ptr<TcxTimer> FRepeatTimer;
  std::unique_ptr<TcxCanvas> FBitmapCanvas;
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
  std::unique_ptr<TdxThemeChangedNotificator> FThemeWatcher;
  int FThumbMinSize = 8;
  TRect FStartArrow, FEndArrow, FThumb, FStartPage, FEndPage;
  TScrollBarKind FKind = sbHorizontal;
  int FPosition = 0;
  int FDragStartPosition = 0;
  TPoint FDragStartThumb;
  TPoint FDragStartMouse;
  int FMin = 0, FMax = 100, FPageSize = 0;
  SmallInt FSmallChange = 1, FLargeChange = 1;
  bool FUnlimitedTracking = false;
  TNotifyEvent FOnChange;
  TScrollEvent FOnScroll;
};

// The system's scroll-bar thickness: X = width of a vertical bar, Y = height of a
// horizontal one.
TPoint SystemScrollBarSize();
