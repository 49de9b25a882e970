#pragma once
// The report library's combo boxes: a flat one (TfrxComboBox, on TfrxCustomComboBox), a
// font-name box that keeps the five fonts chosen last at the top of its list and shows the
// chosen font in a small window beside it (TfrxFontComboBox, TfrxFontPreview), and an edit
// box with a button at its right (TfrxComboEdit).
//
// The flat box draws its own frame and an 11-pixel button over the platform's combo box: a
// sunken frame and a raised button while it is active (focused, dropped down or under the
// pointer), a plain outline otherwise. Its list is ListWidth wide (0: the box's width - 1)
// and as high as its entries up to DropDownCount, plus 4 pixels.
// Declares TfrxCustomComboBox, TfrxComboBox, TfrxFontPreview, TfrxFontComboBox, TfrxComboEdit.
#include "gui/ComboBox.h"
#include "gui/ExtCtrls.h"

class TfrxCustomComboBox : public TCustomComboBox {
  KELM_CLASS(TfrxCustomComboBox, TCustomComboBox)
public:
  explicit TfrxCustomComboBox(TComponent* AOwner);

  int ListWidth() const { return FListWidth; }
  void SetListWidth(int Value) { FListWidth = Value; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  int ButtonWidth() const { return FButtonWidth; }
  int EditOffset() const { return FEditOffset; }
  bool MouseInControl() const { return FMouseInControl; }
  bool UpDropdown() const { return FUpDropdown; }
  // The entry height: the font's character cell.
  int EntryHeight() const { return FEntryHeight; }

  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  TRect EditRect() const override;
  void SizeDropDown(TRect& Bounds) override;
  // Paints the picture area left of the edit part for the current entry (filled with the
  // window colour when there is such an area).
  virtual void PaintPicture(HDC DC, const TRect& Area, int Index);
  virtual int ComputeEntryHeight();
  void SetEditOffset(int Value) { FEditOffset = Value; }
  void RecalcEntryHeight();

private:
  void PaintFlat(HDC DC);
  bool Active() const;

  int FListWidth = 0;
  bool FReadOnly = false;
  int FButtonWidth = 11;
  int FEditOffset = 0;
  int FEntryHeight = 16;
  bool FMouseInControl = false;
  bool FUpDropdown = false;
};

class TfrxComboBox : public TfrxCustomComboBox {
  KELM_CLASS(TfrxComboBox, TfrxCustomComboBox)
public:
  explicit TfrxComboBox(TComponent* AOwner) : TfrxCustomComboBox(AOwner) {}
};

// The window beside an open font list that shows the selected font: 200 x 50, borderless,
// one panel in 18-point type.
class TfrxFontPreview : public TWinControl {
  KELM_CLASS(TfrxFontPreview, TWinControl)
public:
  explicit TfrxFontPreview(TComponent* AOwner);
  TPanel* Panel() const { return FPanel; }

protected:
  void CreateParams(TCreateParams& Params) override;

private:
  TPanel* FPanel;
};

class TfrxFontComboBox : public TfrxCustomComboBox {
  KELM_CLASS(TfrxFontComboBox, TfrxCustomComboBox)
public:
  static const char* const DefaultMRURegKey;  // "\Software\Zude Vizerav\MRUFont"
  static constexpr int MRUCount = 5;

  explicit TfrxFontComboBox(TComponent* AOwner);
  ~TfrxFontComboBox() override;

  bool ShowMRU() const { return FShowMRU; }
  void SetShowMRU(bool Value) { FShowMRU = Value; }
  const String& MRURegKey() const { return FMRURegKey; }
  void SetMRURegKey(const String& Value) { FMRURegKey = Value.empty() ? String(DefaultMRURegKey) : Value; }
  int LastMRUIndex() const { return FLastMRUIndex; }
  TfrxFontPreview* Preview() const { return FPreview; }

  // The installed families by name, then the recent ones above them (see the file's top).
  virtual void FillFontList();

protected:
  void Loaded() override;
  void Click() override;
  void DropDown() override;
  void CloseUp() override;
  // An entry: its font type's mark, its name, and a rule in the button-shadow colour between
  // the recent fonts and the full list; the selected entry shows in the preview.
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
  void PaintPicture(HDC DC, const TRect& Area, int Index) override;

private:
  int FontTypeAt(int Index) const;
  static void PaintTypeMark(HDC DC, const TRect& Area, int FontType);
  void UpdateMRU();
  void WriteMRU();

  bool FShowMRU = true;
  String FMRURegKey;
  int FLastMRUIndex = -1;
  bool FFilling = false;
  TfrxFontPreview* FPreview = nullptr;
};

class TSpeedButton;

// An edit box with a small flat button at its right: the button focuses the edit, then runs
// OnButtonClick. Enter and Escape reach the form first, so its default and cancel buttons
// answer them. The button follows the box's enabled state; ButtonEnabled sets it alone.
class TfrxComboEdit : public TCustomComboBox {
  KELM_CLASS(TfrxComboEdit, TCustomComboBox)
public:
  explicit TfrxComboEdit(TComponent* AOwner);

  TBitmap* Glyph() const;
  void SetGlyph(TBitmap* Value);
  bool ButtonEnabled() const;
  void SetButtonEnabled(bool Value);
  String ButtonHint() const;
  void SetButtonHint(const String& Value);
  TPanel* ButtonPanel() const { return FPanel; }
  TSpeedButton* Button() const { return FButton; }
  TNotifyEvent OnButtonClick;

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void SetEnabled(bool Value) override;

protected:
  void KeyPress(Char& Key) override;
  TRect EditRect() const override;

private:
  void ButtonClick(TObject* Sender);
  void PlaceButton();

  TPanel* FPanel;
  TSpeedButton* FButton;
};
