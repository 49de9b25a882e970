#pragma once
// The simple common controls: the progress bar, the up-down buttons beside an edit, and the
// rich edit as far as texts printed around grids and in reports need it (its text in the
// rich-text stream format, and a range of it laid out on a device).
// Declares TProgressBar, TCustomUpDown, TUpDown, TCustomRichEdit and TRichEdit.
#include "gui/Controls.h"
#include "gui/Memo.h"
#include "gui/RichEdit.h"  // TCustomRichEdit and TRichEdit

KELM_ENUM(TProgressBarOrientation, pbHorizontal, pbVertical)
KELM_ENUM(TUDAlignButton, udLeft, udRight)
KELM_ENUM(TUDOrientation, udHorizontal, udVertical)
KELM_ENUM(TUDBtnType, btNext, btPrev)
KELM_ENUM(TUpDownDirection, updNone, updUp, updDown)

KELM_EVENT(TUDClickEvent, void(TObject* Sender, TUDBtnType Button));
KELM_EVENT(TUDChangingEvent, void(TObject* Sender, bool& AllowChange));
KELM_EVENT(TUDChangingEventEx, void(TObject* Sender, bool& AllowChange, SmallInt NewValue, TUpDownDirection Direction));

// Progress bar messages.
constexpr UINT PBM_SETRANGE = WM_USER + 1;    // LParam = MakeLParam(min, max)
constexpr UINT PBM_SETPOS = WM_USER + 2;      // WParam = position; answers the previous one
constexpr UINT PBM_DELTAPOS = WM_USER + 3;
constexpr UINT PBM_SETSTEP = WM_USER + 4;
constexpr UINT PBM_STEPIT = WM_USER + 5;
constexpr UINT PBM_SETRANGE32 = WM_USER + 6;  // WParam = min, LParam = max
constexpr UINT PBM_GETRANGE = WM_USER + 7;    // WParam != 0: the low limit, else the high one
constexpr UINT PBM_GETPOS = WM_USER + 8;

// Up-down messages.
constexpr UINT UDM_SETRANGE = WM_USER + 101;  // LParam = MakeLParam(max, min)
constexpr UINT UDM_GETRANGE = WM_USER + 102;
constexpr UINT UDM_SETPOS = WM_USER + 103;    // LParam = position
constexpr UINT UDM_GETPOS = WM_USER + 104;    // reads the buddy's text first

// ================================================================ TProgressBar

class TProgressBar : public TWinControl {
  KELM_CLASS(TProgressBar, TWinControl)
  template <class B> static void Published(B& b) {
    PublishPlacement(b);
    PublishMouseEvents(b);
    PublishWindowed(b);
    b.Prop("Max", &TProgressBar::Max, &TProgressBar::SetMax).Default(100);
    b.Prop("Min", &TProgressBar::Min, &TProgressBar::SetMin).Default(0);
    b.Prop("Orientation", &TProgressBar::Orientation, &TProgressBar::SetOrientation).Default(pbHorizontal);
    b.Prop("Position", &TProgressBar::Position, &TProgressBar::SetPosition).Default(0);
    b.Prop("Smooth", &TProgressBar::Smooth, &TProgressBar::SetSmooth).Default(false);
    b.Prop("Step", &TProgressBar::Step, &TProgressBar::SetStep).Default(10);
  }
public:
  explicit TProgressBar(TComponent* AOwner);

  int Min() const { return FMin; }
  void SetMin(int v);
  int Max() const { return FMax; }
  void SetMax(int v);
  int Position() const { return FPosition; }
  // Kept within Min..Max.
  void SetPosition(int v);
  int Step() const { return FStep; }
  void SetStep(int v) { FStep = v; }
  bool Smooth() const { return FSmooth; }
  void SetSmooth(bool v);
  TProgressBarOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TProgressBarOrientation v);
  // Moves by Step; past Max the bar starts again at Min.
  void StepIt();
  // Moves by Delta, kept within the range.
  void StepBy(int Delta);

  void Dispatch(TMessage& Message) override;

protected:
  void PaintWindow(HDC DC) override;
  void CreateParams(TCreateParams& Params) override;

private:
  int FMin = 0, FMax = 100, FPosition = 0, FStep = 10;
  bool FSmooth = false;
  TProgressBarOrientation FOrientation = pbHorizontal;
};

// ================================================================ TUpDown

// Two arrow buttons that step a position within Min..Max; with an associated edit (the
// buddy) it sits beside the edit, shows the position in it, reads a typed number back and
// lets the edit's Up and Down keys step it.
class TCustomUpDown : public TWinControl {
  KELM_CLASS(TCustomUpDown, TWinControl)
public:
  explicit TCustomUpDown(TComponent* AOwner);
  ~TCustomUpDown() override;

  TWinControl* Associate() const { return FAssociate; }
  void SetAssociate(TWinControl* v);
  TUDAlignButton AlignButton() const { return FAlignButton; }
  void SetAlignButton(TUDAlignButton v);
  bool ArrowKeys() const { return FArrowKeys; }
  void SetArrowKeys(bool v) { FArrowKeys = v; }
  int Increment() const { return FIncrement; }
  void SetIncrement(int v) { FIncrement = v; }
  SmallInt Min() const { return FMin; }
  void SetMin(SmallInt v);
  SmallInt Max() const { return FMax; }
  void SetMax(SmallInt v);
  SmallInt Position() const;
  void SetPosition(SmallInt v);
  TUDOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TUDOrientation v);
  bool Thousands() const { return FThousands; }
  void SetThousands(bool v);
  bool Wrap() const { return FWrap; }
  void SetWrap(bool v) { FWrap = v; }
  // One step as a click on a button would make it (the changing events may veto it).
  void Step(TUDBtnType Button);

  TUDClickEvent OnClick;
  TUDChangingEvent OnChanging;
  TUDChangingEventEx OnChangingEx;

  void Dispatch(TMessage& Message) override;

protected:
  void PaintWindow(HDC DC) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;
  virtual bool CanChange(SmallInt NewValue, TUpDownDirection Direction);
  virtual void Click(TUDBtnType Button);

private:
  // Messages the control handles itself, one handler each (Dispatch holds their table).
  void WMLButtonDown(TMessage& M);
  void WMLButtonUp(TMessage& M);
  void UDMSetRange(TMessage& M);
  void UDMSetPos(TMessage& M);
  void CMEnabledChanged(TMessage& M);
  void AttachBuddy();
  void DetachBuddy();
  void PlaceBesideBuddy();
  void UpdateBuddyText();
  void ReadBuddyText();
  int HalfAt(TPoint P) const;  // 0 the first half (up or left), 1 the second
  SmallInt FMin = 0, FMax = 100, FPosition = 0;
  int FIncrement = 1;
  TWinControl* FAssociate = nullptr;
  TWndMethod FBuddyProc;
  TUDAlignButton FAlignButton = udRight;
  TUDOrientation FOrientation = udVertical;
  bool FArrowKeys = true;
  bool FThousands = true;
  bool FWrap = false;
  int FPressed = -1;  // the half held down
  bool FRepeating = false;
};

class TUpDown : public TCustomUpDown {
  KELM_CLASS(TUpDown, TCustomUpDown)
  template <class B> static void Published(B& b) {
    PublishPlacement(b);
    PublishWindowed(b);
    b.Prop("AlignButton", &TUpDown::AlignButton, &TUpDown::SetAlignButton).Default(udRight);
    b.Prop("ArrowKeys", &TUpDown::ArrowKeys, &TUpDown::SetArrowKeys).Default(true);
    b.Prop("Associate", &TUpDown::Associate, &TUpDown::SetAssociate);
    b.Prop("Increment", &TUpDown::Increment, &TUpDown::SetIncrement).Default(1);
    b.Prop("Max", &TUpDown::Max, &TUpDown::SetMax).Default(100);
    b.Prop("Min", &TUpDown::Min, &TUpDown::SetMin).Default(0);
    b.Prop("Orientation", &TUpDown::Orientation, &TUpDown::SetOrientation).Default(udVertical);
    b.Prop("Position", &TUpDown::Position, &TUpDown::SetPosition).Default(0);
    b.Prop("Thousands", &TUpDown::Thousands, &TUpDown::SetThousands).Default(true);
    b.Prop("Wrap", &TUpDown::Wrap, &TUpDown::SetWrap).Default(false);
    b.Prop("OnChanging", &TUpDown::OnChanging, &TUpDown::OnChanging);
    b.Prop("OnChangingEx", &TUpDown::OnChangingEx, &TUpDown::OnChangingEx);
    b.Prop("OnClick", &TUpDown::OnClick, &TUpDown::OnClick);
    b.Prop("OnMouseDown", &TControl::OnMouseDown, &TControl::OnMouseDown);
    b.Prop("OnMouseMove", &TControl::OnMouseMove, &TControl::OnMouseMove);
    b.Prop("OnMouseUp", &TControl::OnMouseUp, &TControl::OnMouseUp);
  }
public:
  explicit TUpDown(TComponent* AOwner) : TCustomUpDown(AOwner) {}
};
