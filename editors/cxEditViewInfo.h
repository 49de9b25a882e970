#pragma once
// An editor never computes its own look: its properties make a view data, which is handed
// the style, the state, the rectangle, the mouse point and the button state and fills a view
// info: the editor's condition, border style, colours and rectangles, and one button view
// info per visible button with its bounds and state. The view info paints the editor,
// answers which button is under a point and, compared with the view info of the previous
// calculation, invalidates only what changed. Grids build the same objects without an
// editor (the view data's Edit is then nil).
// Declares TcxEditButtonViewInfo, TcxCustomEditViewInfo and TcxCustomEditViewData.
#include "core/Variant.h"
#include "editors/cxContainer.h"
#include "editors/cxEditButtons.h"
#include "editors/cxEditStyles.h"

#include <vector>

class TBitmap;
class TcxCanvas;
class TcxCustomEdit;
class TcxCustomEditProperties;
class TcxControlScrollBar;
class IcxCustomInnerEdit;

// Button states as the view info keeps them.
constexpr Byte ebsDisabled = 0, ebsNormal = 1, ebsPressed = 2, ebsHot = 3;

class TcxEditButtonViewInfo : public TPersistent {
public:
  TRect Bounds;
  TColor BackgroundColor = clWindow;
  String Caption;
  bool IsDefault = false;
  bool Gradient = false;
  bool InPlace = false;
  TcxEditButtonKind Kind = bkDown;
  bool LeftAligned = false;
  bool IsLeftmost = false;
  bool Themed = false;
  bool IsRightmost = false;
  Byte State = ebsNormal;
  TcxEditButtonStyle Style = btsDefault;
  TColor TextColor = clBtnText;
  bool Transparent = false;
  String VisibleCaption;
  bool PartlyTransparentTheme = false;
  bool ComboStyle = false;
  int ThemePart = 0, ThemeState = 0;
  TBitmap* Glyph = nullptr;
  bool HasBackground = false;
  int ButtonIndex = 0;
  bool Stretchable = true;
  TRect VisibleBounds;
  int Width = 0;

  void Assign(TPersistent* Source) override;
  // Empty when the state, style, background and theme state are Other's; else Bounds.
  virtual TcxRegion* ComputeButtonChangedRegion(TcxEditButtonViewInfo* Other);
  virtual bool RepaintButtonIfChanged(TWinControl* AControl, TcxEditButtonViewInfo* Other, TPoint Offset);

private:
  bool Differs(const TcxEditButtonViewInfo* Other) const;
};

using TcxEditButtonViewInfoClass = TcxEditButtonViewInfo* (*)();
using TcxCustomDrawEditorEvent = TEvent<void(TObject* Sender, TcxCanvas* ACanvas, bool& Done)>;
using TcxCustomDrawButtonEvent = TEvent<void(TObject* Sender, TcxCanvas* ACanvas, bool& Done, int AButtonIndex)>;
using TcxCustomDrawButtonBackgroundEvent =
    TEvent<void(TObject* Sender, TcxCanvas* ACanvas, bool& Done, int AButtonIndex, const TRect& R)>;
using TcxButtonStateCalculatedEvent = TEvent<void(Byte& State)>;

class TcxCustomEditViewInfo : public TcxContainerViewInfo {
public:
  TcxCustomEditViewInfo();
  ~TcxCustomEditViewInfo() override;

  TcxCustomDrawEditorEvent OnCustomDrawEditor;
  TcxCustomDrawButtonEvent OnCustomDrawButton;
  TcxCustomDrawButtonBackgroundEvent OnCustomDrawButtonBackground;
  TcxButtonStateCalculatedEvent OnButtonStateCalculated;
  TcxCustomEdit* Edit = nullptr;
  bool DrawingButtons = false;
  TRect BorderExtent;
  TcxEditBorderStyle EditBorderStyle = ebsNone;
  std::vector<TcxEditButtonViewInfo*> Buttons;
  TcxCustomEditProperties* Properties = nullptr;
  bool Enabled = true, Focused = false;
  TFont* Font = nullptr;
  bool HasBackground = false;
  bool InnerEditVisible = false;
  bool InPlaceBorderSet = false;
  TRect InnerEditRect;
  bool ButtonActive = false;
  bool HostsInnerControl = false;
  bool PaintingCopy = false;
  bool Designing = false;
  bool InPlace = false;
  int OffsetX = 0, OffsetY = 0;
  Byte PaintOptions = 0;
  TcxEditPopupBorderStyle PopupBorderStyle = epbsDefault;
  int PressedButton = -1, HotButton = -1;
  TRect ContentArea;
  TColor TextColor = clWindowText;
  HWND WindowHandle = 0;

  int ButtonCount() const { return static_cast<int>(Buttons.size()); }
  // Makes or frees button view infos until there are Count.
  void SetButtonCount(int Count);
  void PaintButtons(TcxCanvas* ACanvas);
  // The button background: an Office 2003 gradient or a solid fill (the drawing helpers
  // call it for the face).
  void PaintButtonBackground(TcxCanvas* ACanvas, int Index, TColor Colour, const TRect& R);

  // ---- new virtual operations, in their order
  virtual void PaintButtonContent(TcxCanvas* ACanvas, int Index);
  virtual TcxEditButtonViewInfoClass GetButtonViewInfoClass();
  virtual bool RepaintsOnConditionChange() { return true; }
  virtual void SetCustomDrawHook(const TcxCustomDrawEditorEvent& Hook) { OnCustomDrawEditor = Hook; }
  virtual void PaintButton(TcxCanvas* ACanvas, int Index);
  virtual void PaintButtonFrame(TcxCanvas* ACanvas, int Index, const TRect& R, TcxEditButtonStyle Style);
  virtual void PaintButtonFace(TcxCanvas* ACanvas, int Index, TColor BackColour, TColor ContentColour,
                               const TRect& C, const TRect& G);
  virtual bool FindHotButton(int& Index);
  virtual bool IsOverButton(TPoint P);
  virtual bool NeedsHint(TcxCanvas* ACanvas, TPoint P, String& Text);
  virtual bool NeedsHintInRect(TcxCanvas* ACanvas, TPoint P, String& Text, const TRect& R) { return false; }
  virtual void PrepareTextMetrics(HDC DC) {}
  virtual bool RepaintChangesFrom(TWinControl* AControl, TcxCustomEditViewInfo* Old);
  virtual bool RepaintChanges(TWinControl* AControl, const TRect& Inner, TcxCustomEditViewInfo* Old);

  // ---- container view info
  TcxContainerBorderStyle GetShownBorderStyle() override { return TcxContainerBorderStyle(EditBorderStyle); }
  void FillBackground(TcxCanvas* ACanvas) override;
  void CopyFrom(TObject* Source) override;
  TcxRegion* ComputeChangedRegion(TcxContainerViewInfo* Older) override;
  void ShiftBy(int DX, int DY) override;
};

// The content parameters an editor may cache (text offsets and corrections).
struct TcxEditContentParameters {
  TRect Rect;
  int OffsetLeft = 0, OffsetTop = 0, OffsetRight = 0, OffsetBottom = 0;
  Byte Flag = 0;
  int HorzSpare = 0;
  int HeightCorrection = 0;
};

// Width limit (negative: none), line count, current width.
struct TcxEditSizeParameters {
  int WidthLimit = -1;
  int LineCount = 1;
  int Width = 0;
};

using TcxGetDefaultButtonWidthEvent = TEvent<void(TObject* Sender, int AButtonIndex, int& Width)>;
using TcxDisplayTextPreparedEvent = TEvent<void(TObject* Sender, String& Text)>;

class TcxCustomEditViewData : public TPersistent {
public:
  TcxCustomEditViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AInPlace);

  bool InPlace;
  int OuterLeftIndex = -1, InnerLeftIndex = -1, InnerRightIndex = -1, OuterRightIndex = -1;
  TcxGetDefaultButtonWidthEvent OnGetDefaultButtonWidth;
  TcxDisplayTextPreparedEvent OnDisplayTextPrepared;
  TcxCustomEdit* Edit = nullptr;
  TcxCustomEditProperties* Properties;
  TcxCustomEditStyle* Style;
  TRect Bounds;
  bool ButtonsOnly = false;
  int VisibleButtonCount = 0;
  TcxContainerConditions Condition;
  TRect InPlaceBorder;
  TcxEditContentParameters ContentParameters;
  bool Enabled = true;
  bool Focused = false;
  TAlignment HorzAlignment = taLeftJustify;
  TcxControlScrollBar* HorzScrollBar = nullptr;
  TcxControlScrollBar* VertScrollBar = nullptr;
  IcxCustomInnerEdit* InnerEdit = nullptr;
  bool Designing = false;
  bool NoValueSource = true;
  bool NativeStyle = false;
  bool TextFlag = false;
  bool HotOrFocused = false;
  TColor TextColorA = TColor(0x20000000), TextColorB = TColor(0x20000000);
  int VertAlignment = 0;
  HWND WindowHandle = 0;
  Byte PaintOptions = 0;

  Byte PaintOptionsByte() const;
  int CapturedButton() const;
  bool IsEditFocusedForDisplay() const;
  void PrepareDisplayTextAndNotify(const Variant& Value, String& Text);
  // Measures an editor for Value: the non-client size plus the content (CalculateAutoSize).
  TSize MeasureEditor(TcxCanvas* ACanvas, const Variant& Value, const TcxEditSizeParameters& Parameters);

  // ---- new virtual operations, in their order
  virtual void CalculateButtonTheme(TcxEditButtonViewInfo* AButton);
  virtual bool CanPressButton(TcxCustomEditViewInfo* V, int Index) { return true; }
  virtual TcxContainerConditions GetEditCondition(const TRect& R, TPoint P, TcxMouseButtonCode Button,
                                                  TShiftState Shift);
  virtual void GetTextOffsets(int& Left, int& Top, int& Right, int& Bottom);
  virtual void InitializeFromProperties();
  virtual bool GetContentParameters(TcxEditContentParameters& P);
  virtual void ClearInPlaceBorder();
  virtual void PrepareDisplayText(const Variant& Value, String& Text) { Text.clear(); }
  virtual void GetButtonsMinHeight(TcxCanvas* ACanvas, TSize& NonClient, TcxCustomEditViewInfo* V, TSize& Min,
                                   const TcxEditSizeParameters& Parameters);
  virtual void GetTextSize(TcxCanvas* ACanvas, const Variant& Value, TSize& Size,
                           const TcxEditSizeParameters& Parameters) {
    Size = TSize{0, 0};
  }
  virtual bool IsButtonPressedByEditor(TcxCustomEditViewInfo* V, int Index) { return false; }
  virtual void ComputeViewInfo(TcxCanvas* ACanvas, const TRect& R, TPoint P, TcxMouseButtonCode Button,
                               TcxCustomEditViewInfo* V, TShiftState Shift, bool Recalculate);
  virtual void PlaceButton(TcxCanvas* ACanvas, TcxCustomEditViewInfo* V, TRect& A, int Index);
  virtual void CalculateButtons(TcxCanvas* ACanvas, const TRect& R, bool Recalculate, TcxCustomEditViewInfo* V,
                                TPoint P, TcxMouseButtonCode Button, TShiftState Shift);
  virtual void FillButton(TcxCanvas* ACanvas, TcxCustomEditViewInfo* V, TRect& A, int Index);
  virtual void FillValueText(TcxCanvas* ACanvas, const Variant& Value, TcxCustomEditViewInfo* V) {}
  virtual TColor ChooseBorderColor();
  virtual void ComputeBorderExtent(TRect& E);
  virtual TcxEditBorderStyle ChooseBorderStyle();
  virtual void GetContentMargins(TcxCanvas* ACanvas, TRect& M);
  virtual void ComputeContentExtent(TcxCanvas* ACanvas, TcxCustomEditViewInfo* V, TRect& E);
  virtual void CalculateMinSize(TcxCanvas* ACanvas, TcxCustomEditViewInfo* V, const Variant& Value, TSize& NonClient,
                                TSize& Min, const TcxEditSizeParameters& Parameters);
  virtual void GetContentSize(TcxCanvas* ACanvas, const Variant& Value, TSize& Size,
                              const TcxEditSizeParameters& Parameters);
  virtual TPoint GetContentOffsetSums();
  virtual bool ShowsShadow();
  static bool UsesNativeEditTheme(TcxLookAndFeel* ALookAndFeel);

private:
  void ConditionStep(const TRect& R, TPoint P, TcxMouseButtonCode Button, TShiftState Shift, TcxCustomEditViewInfo* V);
  void LayoutButtons(TcxCanvas* ACanvas, TcxCustomEditViewInfo* V, TRect& A);
  void StretchButtons(TcxCustomEditViewInfo* V, int Available, int Rest);
  void ButtonStates(TcxCustomEditViewInfo* V, TPoint P, TcxMouseButtonCode Button, TShiftState Shift,
                    int PreviousPressed, const std::vector<Byte>& PreviousStates);
  TcxEditButtonStyle ResolveButtonStyle();
};
