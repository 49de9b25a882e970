#pragma once
// TcxContainer: the frame-and-content control every editor derives from. It draws a border
// around a content rectangle and hosts one inner window control there, kept in step with
// itself (bounds, clip, colour, font, cursor, drag settings, focus, keys). Its look comes
// from four styles chosen by its condition (disabled, focused, hot, normal); the view info
// holds what one appearance update computed and paints from it.
//
// The border band of a transparent border and the shadow are cut out of the window, so what
// lies beneath shows through; a hosted control larger than the content gets a clip region.
// Declares TcxContainerViewInfo, IcxContainerInnerControl and TcxContainer.
#include "editors/cxContainerStyles.h"
#include "editors/cxControl.h"
#include "editors/cxMouseTracking.h"
#include "gui/WinScroll.h"

#include <memory>

class TcxCanvas;
class TcxRegion;

KELM_ENUM(TcxMouseButtonCode, mbcNone, mbcLeft, mbcRight, mbcMiddle)
using TcxContainerConditions = TSet<TcxContainerCondition>;

struct TcxHostedControlClip {
  bool Empty = true;  // no clipping region is needed
  TRect Rect;         // in the child control's own coordinates
};

class TcxContainerViewInfo : public TObject {
public:
  TcxContainerViewInfo() = default;
  TColor FillColor = clWindow;
  TColor ShownBorderColor = clWindowFrame;
  TRect InsideBorderRect;
  TcxContainerBorderStyle ShownBorderStyle = cbsNone;
  int ShownBorderWidth = 0;
  TRect OuterBounds;
  TRect ContentRect;
  TcxContainerConditions Condition{ccNormal};
  TcxBorders ShownEdges;
  Byte HotLevel = 0;
  bool UsesTheme = false;
  bool ShadowVisible = false;
  int ThemePart = 0;
  int ThemeState = 0;
  Byte ThemeObject = 3;

  virtual void PaintFrame(TcxCanvas* ACanvas, const TRect& R);
  virtual TcxContainerBorderStyle GetShownBorderStyle() { return ShownBorderStyle; }
  virtual void FillBackground(TcxCanvas* ACanvas);
  virtual void SetFillColor(TColor Value) { FillColor = Value; }
  virtual void CopyFrom(TObject* Source);
  // The part to repaint against an older view info; the caller owns the region.
  virtual TcxRegion* ComputeChangedRegion(TcxContainerViewInfo* Older);
  virtual void ShiftBy(int DX, int DY);
  virtual void Draw(TcxCanvas* ACanvas) { FillBackground(ACanvas); }
};

// What a hosted control and its container know of each other.
class TcxContainer;
class IcxContainerInnerControl {
public:
  virtual ~IcxContainerInnerControl() = default;
  virtual TWinControl* HostedControl() = 0;
  virtual TcxContainer* HostingContainer() = 0;
};

class TcxContainer : public TcxControl, public IcxStyleContainer, public IcxMouseTrackingCaller {
  KELM_CLASS(TcxContainer, TcxControl)
  template <class B> static void Published(B& b) {
    b.Prop("FakeStyleController", &TcxContainer::FakeStyleController, &TcxContainer::SetFakeStyleController)
        .Stored(false);
    PublishTabStop(b).Default(true);
  }

public:
  explicit TcxContainer(TComponent* AOwner);
  ~TcxContainer() override;

  // ---- styles
  TcxContainerStyles* StyleSet() const { return FStyleSet.get(); }
  TcxContainerStyle* Style() const { return FStyleSet->Style(); }
  TcxContainerStyle* StyleFocused() const { return FStyleSet->StyleFocused(); }
  TcxContainerStyle* StyleDisabled() const { return FStyleSet->StyleDisabled(); }
  TcxContainerStyle* StyleHot() const { return FStyleSet->StyleHot(); }
  TcxContainerStyle* BaseStyle() const { return Style(); }
  TcxContainerStyle* ActiveStyle();
  TcxStyleController* FakeStyleController() const { return Style()->StyleController(); }
  void SetFakeStyleController(TcxStyleController*) {}

  // ---- hosting
  TWinControl* HostedControl() const { return FHostedControl; }
  void SetHostedControl(TWinControl* Value);
  TcxContainerViewInfo* PaintInfo() const { return FPaintInfo.get(); }
  const TcxHostedControlClip& HostedControlClip() const { return FHostedControlClip; }
  bool HostedMouseDown = false;
  bool SettingFromStyle() const { return FSettingFromStyle; }
  bool Constructing() const { return FConstructing; }
  bool IsShuttingDown() const { return FShuttingDown || ComponentState().Contains(csDestroying); }
  void LockAlignControls(bool Lock);
  bool RefreshAtCursor(bool Recalculate);
  void UpdateWindowShape();
  // True when the container or its hosted control has the focus.
  bool Focused() const;

  // ---- overridable operations
  virtual bool IsFocusWithin();
  virtual void ApplyHostedAppearance();
  virtual void CalculatePaintInfo(TPoint P, bool ConsiderHot);
  virtual bool CanShowContextMenuAt(TPoint P) { return true; }
  virtual void StyleChanged(TObject* Sender);
  bool IsDefaultParentColor() override { return false; }
  void MouseTrackingLeft() override;
  virtual void GetBorderExtent(TRect& E);
  virtual void CalculateHostedClip(const TRect& R, TControl* AControl, TcxHostedControlClip& Clip);
  virtual void GetShapeBounds(TRect& R);
  virtual TcxContainerStyleClass GetStyleClass();
  virtual TcxContainerViewInfo* CreateViewInfo() { return new TcxContainerViewInfo; }
  virtual bool HasShadow();
  virtual TcxContainerStyle* ChooseActiveStyle();
  virtual TcxContainerStyleValues GetUnstoredStyleValues() { return {}; }
  virtual bool UsesPlainChildLayout() { return false; }
  virtual bool IsTransparentBackground() { return false; }
  virtual bool UpdateAppearanceAt(TPoint P, TcxMouseButtonCode Button, TShiftState Shift, bool Recalculate);
  virtual void AdjustHostedBounds();
  virtual void ClipCanvasToShape();
  virtual bool HandlesTabKey() { return false; }
  virtual int GetThemeObject() { return 3; }
  virtual int GetThemePart() { return 1; }
  virtual int GetThemeState();
  virtual bool IsThemed();
  virtual void FocusHostedControl();
  virtual void ResetHostedControlClip() { FHostedControlClip.Empty = true; }
  virtual void GetHotZone(TRect& R);
  virtual bool IsPopupOpen() { return false; }
  virtual bool HostedDefaultHandler(TMessage& Message) { return false; }
  virtual bool HostedKeyMessage(TMessage& Message);
  bool RunsInPlace() override { return false; }
  // Mirroring of the hosted control's native scroll bars by the base control's own bars
  // (only for a container that wants bars).
  virtual void SyncScrollBars(bool ValuesOnly);
  virtual void SyncScrollBar(TcxControlScrollBar* Bar);
  virtual void ScrollBarScreenToClient(const TRect& Screen, TRect& R);
  virtual bool IsScrollBarEnabled(TcxControlScrollBar* Bar, const SCROLLBARINFO& Info);
  virtual bool ReadHostedScrollBarInfo(SCROLLBARINFO& Info, TScrollBarKind Kind);
  virtual bool IsScrollBarInfoVisible(const SCROLLBARINFO& Info);
  virtual void SetScrollBarVisible(TcxControlScrollBar* Bar, bool Visible);

  // ---- what a hosted control hands on to its container (its own hooks, with points in the
  // container's client space)
  void InnerMouseDown(TMouseButton B, TShiftState S, int X, int Y) { MouseDown(B, S, X, Y); }
  void InnerMouseMove(TShiftState S, int X, int Y) { MouseMove(S, X, Y); }
  void InnerMouseUp(TMouseButton B, TShiftState S, int X, int Y) { MouseUp(B, S, X, Y); }
  void InnerClick() { Click(); }
  void InnerDblClick() { DblClick(); }
  bool InnerMouseWheel(TShiftState S, int Delta, TPoint P) { return DoMouseWheel(S, Delta, P); }
  void InnerKeyDown(Word& Key, TShiftState S) { KeyDown(Key, S); }
  void InnerKeyUp(Word& Key, TShiftState S) { KeyUp(Key, S); }
  void InnerKeyPress(Char& Key) { KeyPress(Key); }
  // Puts a descendant's own view info in place of the one made at construction.
  void ReplacePaintInfo(TcxContainerViewInfo* Value) { FPaintInfo.reset(Value); }
  void HandleFocusChangeFromHosted() { HandleFocusChange(); }

  // ---- IcxStyleContainer
  bool StyleParentColor() override { return ParentColor(); }
  void SetStyleParentColor(bool Value) override { SetParentColor(Value); }
  bool StyleParentFont() override { return ParentFont(); }
  void SetStyleParentFont(bool Value) override { SetParentFont(Value); }
  bool ParentColorOf(TColor& C) override;
  bool IsStyleValueStored(TcxContainerStyle* AStyle, const String& Name) override { return true; }
  TcxContainerStyleValues UnstoredStyleValues() override { return GetUnstoredStyleValues(); }

  // ---- platform and base-control overrides
  TcxLookAndFeel* GetLookAndFeel() override { return Style()->LookAndFeel(); }
  void SetFocus() override;
  // The container stands for its children in the tab order; while its hosted control is the
  // form's active control, the hosted control takes the container's place there.
  void GetTabOrderList(std::vector<TWinControl*>& List) override;
  void SetDragMode(TDragMode Value) override;
  // The drag kind editors publish: the hosted control follows it.
  virtual void SetContainerDragKind(TDragKind Value);
  TDragImageList* GetDragImages() override;
  void AdjustClientRect(TRect& R) override;
  void AlignControls(TControl* AControl, TRect& R) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  TRect ContentBounds() override { return FPaintInfo->ContentRect; }
  bool WantsScrollBars() override { return false; }
  bool FocusesOnClick() override;
  bool HasInputFocus() override { return Focused(); }
  void Loaded() override;

protected:
  // For descendants whose styles and paint information are of classes of their own (a
  // constructor cannot ask the virtual GetStyleClass and CreateViewInfo).
  TcxContainer(TComponent* AOwner, TcxContainerStyleClass AStyleClass, TcxContainerViewInfo* AViewInfo);
  bool CanDragAtDesignTime(int, int, TShiftState) override { return false; }
  void HandleColorChange() override;
  void HandleCursorChange() override;
  void HandleFocusChange() override;
  bool MayFocus() override;
  void HandleMouseEnter(TControl* AControl) override;
  void HandleMouseLeave(TControl* AControl) override;
  virtual void HandleEnabledChange();
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Paint() override;
  void Resize() override;
  // The style's own font scales with the control; one from a controller scales there.
  void ChangeScale(int M, int D) override;
  void CreateWnd() override;
  void DragCanceled() override;

private:
  void StateStep(TPoint P, bool ConsiderHot);
  // The condition the container would be in at P.
  TcxContainerConditions ConditionAt(TPoint P, bool ConsiderHot);
  // A mouse move that leaves the condition as it is changes nothing else of the picture.
  bool MoveKeepsAppearance(TPoint P, bool ConsiderHot);
  bool HostedClipChanged(TControl* AControl, const TcxHostedControlClip& Clip) const;
  void SetFocusMessage(TMessage& M);
  void FontChangedMessage(TMessage& M);
  void ParentColorChangedMessage(TMessage& M);
  void ParentFontChangedMessage(TMessage& M);

  TcxContainerConditions FCachedCondition{ccNormal};
  TcxContainerStyle* FCachedStyle = nullptr;
  TWinControl* FHostedControl = nullptr;
  TcxHostedControlClip FHostedControlClip;
  bool FShuttingDown = false;
  bool FSyncingBounds = false;
  int FAlignLock = 0;
  bool FRefreshing = false;
  bool FSettingFromStyle = false;
  bool FConstructing = false;
  std::unique_ptr<TcxContainerStyles> FStyleSet;
  std::unique_ptr<TcxContainerViewInfo> FPaintInfo;
  struct TShape {
    TRect Bounds;
    bool NoRegion = false, Shadow = false;
    bool operator==(const TShape&) const = default;
  };
  TShape FLastShape;
  bool FShapeApplied = false;
  bool FPainted = false;  // an update has invalidated the picture once
  bool FMoving = false;   // the update comes from a mouse move
  bool FCalculated = false;  // the paint info has been calculated once
};

// ---------------------------------------------------------------- unit functions
int ContainerBorderWidth(TcxContainerBorderStyle Style);
TcxMouseButtonCode MouseButtonCode(TMouseButton Button);
void GetControlClientBounds(TControl* AControl, TRect& R);
void InsetMissingSides(TRect& R, int Width, TcxBorders Edges);
void DrawContainerShadow(TcxCanvas* ACanvas, const TRect& R);
void FillFrameBetween(TcxCanvas* ACanvas, const TRect& Outer, const TRect& Inner, TColor Color);
void InvalidateFrameBetween(HWND Window, const TRect& Outer, const TRect& Inner, bool Erase);
// A region of R (with its shadow copy moved by 3, 3) less Exclude; nullptr with NoRegion.
HRGN CreateShapeRegion(const TRect& R, bool NoRegion, const TRect& Exclude, bool WithShadow);
void SetWindowShape(HWND Window, const TRect& R, bool NoRegion, const TRect& Exclude, bool WithShadow);
void ApplyWindowClip(TWinControl* AControl, const TcxHostedControlClip& Clip);
bool IsThemeAvailable(bool NativeStyle, int ThemeObject);
TPoint ReadCursorPos();
TShiftState KeyboardShiftState();
bool SameTextCase(const String& S1, const String& S2, bool CaseSensitive);
void AssignFont(TFont* Dest, TFont* Source);
HWND FindTopLevelWindow(HWND Window);
TcxCanvas* ScreenCanvas();
