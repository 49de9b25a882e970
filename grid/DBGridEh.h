#pragma once
// The data grid's column model: columns (TColumnEh, TDBGridColumnEh in TDBGridColumnsEh) that
// show one field each, their titles with sort markers, their footers with the sums behind
// them, the grid-level default values columns fall back on, and the rules that turn a field
// value into a cell's text, check state or image and an edit back into a field value.
//
// Most visual settings of a column, title or footer have no value of their own until they are
// assigned: they read it from the field, the grid or the grid's ColumnDefValues, and a set of
// assigned-value flags remembers what was assigned. Streaming writes only assigned values.
#include "grid/CellTextEh.h"
#include "core/Classes.h"
#include "core/Component.h"
#include "gui/Controls.h"
#include "gui/Grids.h"
#include "data/DB.h"
#include "grid/DBSumLst.h"
#include "grid/DBGridEhHeadTree.h"
#include "gui/Graphics.h"
#include "gui/ImgList.h"
#include "gui/StdCtrls.h"
#include "grid/ToolCtrlsEh.h"
#include "core/Variant.h"

#include <deque>
#include <memory>

class TCustomDBGridEh;
class TColumnEh;
class TDBGridEhStyle;
struct TCellSpan;
class TColumnFooterEh;
class TColumnsEhList;
class TDBGridColumnsEh;
class TColumnDropDownBoxEh;
class TSTColumnFilterEh;

// ================================================================ enumerations

// Which of a column's (and its title's) settings were assigned; the element order is fixed.
KELM_ENUM(TColumnEhValue, evColor, evWidth, evFont, evAlignment, evReadOnly, evTitleColor, evTitleCaption,
          evTitleAlignment, evTitleFont, evTitleButton, evTitleEndEllipsis, evTitleToolTips, evTitleOrientation,
          evImeMode, evImeName, evWordWrap, evLookupDisplayFields, evCheckboxes, evAlwaysShowEditButton,
          evEndEllipsis, evAutoDropDown, evDblClickNextVal, evToolTips, evDropDownSizing, evDropDownShowTitles,
          evLayout, evHighlightRequired, evBiDiMode)
using TColumnEhValues = TSet<TColumnEhValue>;

KELM_ENUM(TColumnButtonStyleEh, cbsAuto, cbsEllipsis, cbsNone, cbsUpDown, cbsDropDown)
// What a cell of the column shows; the ordinals are fixed.
KELM_ENUM(TColumnEhKind, ckText, ckPickList, ckLookup, ckKeyList, ckImage, ckCheckbox)
KELM_ENUM(TSortMarkerEh, smNoneEh, smDownEh, smUpEh)
KELM_ENUM(TTextOrientationEh, tohHorizontal, tohVertical)
KELM_ENUM(TFooterValueType, fvtNon, fvtSum, fvtAvg, fvtCount, fvtFieldValue, fvtStaticText)

KELM_ENUM(TDBGridEhOption, dghFixed3D, dghFrozen3D, dghFooter3D, dghData3D, dghResizeWholeRightPart,
          dghHighlightFocus, dghClearSelection, dghFitRowHeightToText, dghAutoSortMarking, dghMultiSortMarking,
          dghEnterAsTab, dghTraceColSizing, dghIncSearch, dghPreferIncSearch, dghRowHighlight,
          dghDblClickOptimizeColWidth, dghDialogFind, dghRecordMoving)
using TDBGridEhOptions = TSet<TDBGridEhOption>;
KELM_ENUM(TDBGridEhAllowedOperation, alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh)
using TDBGridEhAllowedOperations = TSet<TDBGridEhAllowedOperation>;

// ================================================================ cell parameters

// What the grid draws in one cell; filled by the column and changed by OnGetCellParams.
class TColCellParamsEh : public TObject {
public:
  TColor Background() const { return FBackground; }
  void SetBackground(TColor Value) { FBackground = Value; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value) { FAlignment = Value; }
  TCheckBoxState CheckboxState() const { return FCheckboxState; }
  void SetCheckboxState(TCheckBoxState Value) { FCheckboxState = Value; }
  int Col() const { return FCol; }
  void SetCol(int Value) { FCol = Value; }
  int Row() const { return FRow; }
  void SetRow(int Value) { FRow = Value; }
  // The font the cell is drawn with (not owned).
  TFont* Font() const { return FFont; }
  void SetFont(TFont* Value) { FFont = Value; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value) { FImageIndex = Value; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  TGridDrawState State() const { return FState; }
  void SetState(TGridDrawState Value) { FState = Value; }
  const String& Text() const { return FText; }
  void SetText(const String& Value) { FText = Value; }

private:
  TColor FBackground = clWindow;
  TAlignment FAlignment = taLeftJustify;
  TCheckBoxState FCheckboxState = cbUnchecked;
  int FCol = -1, FRow = -1;
  TFont* FFont = nullptr;
  int FImageIndex = -1;
  bool FReadOnly = false;
  TGridDrawState FState;
  String FText;
};

// ================================================================ events

KELM_EVENT(TGetColCellParamsEventEh, void(TObject* Sender, bool EditMode, TColCellParamsEh* Params));
KELM_EVENT(TNotInListEventEh, void(TObject* Sender, const String& NewText, bool& RecheckInList));
KELM_EVENT(TColCellUpdateDataEventEh, void(TObject* Sender, String& Text, Variant& Value, bool& UseText, bool& Handled));
KELM_EVENT(TOnColumnCheckDrawRequiredStateEventEh, void(TObject* Sender, const String& Text, bool& DrawState));
KELM_EVENT(TGetFooterParamsEvent, void(TObject* Sender, int DataCol, int Row, TColumnEh* Column, TFont* AFont,
                                       TColor& Background, TAlignment& Alignment, TGridDrawState State, String& Text));

// ================================================================ grid-level defaults

class TColumnTitleDefValuesEh : public TPersistent {
  KELM_CLASS(TColumnTitleDefValuesEh, TPersistent)
  template <class B> static void Published(B& b) {
    using C = TColumnTitleDefValuesEh;
    b.Prop("Alignment", &C::Alignment, &C::SetAlignment).NoDefault().Stored(&C::IsAlignmentStored);
    b.Prop("Color", &C::Color, &C::SetColor).Type("TColor").NoDefault().Stored(&C::IsColorStored);
    b.Prop("EndEllipsis", &C::EndEllipsis, &C::SetEndEllipsis).Default(false);
    b.Prop("Orientation", &C::Orientation, &C::SetOrientation).Default(tohHorizontal);
    b.Prop("TitleButton", &C::TitleButton, &C::SetTitleButton).Default(false);
    b.Prop("ToolTips", &C::ToolTips, &C::SetToolTips).Default(false);
  }
public:
  explicit TColumnTitleDefValuesEh(TCustomDBGridEh* AGrid) : FGrid(AGrid) {}
  void Assign(TPersistent* Source) override;
  TCustomDBGridEh* Grid() const { return FGrid; }

  // Centred under multi-level titles, else left; while not assigned.
  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value);
  // The grid's FixedColor while not assigned.
  TColor Color() const;
  void SetColor(TColor Value);
  bool EndEllipsis() const { return FEndEllipsis; }
  void SetEndEllipsis(bool Value);
  TTextOrientationEh Orientation() const { return FOrientation; }
  void SetOrientation(TTextOrientationEh Value);
  bool TitleButton() const { return FTitleButton; }
  void SetTitleButton(bool Value) { FTitleButton = Value; }
  bool ToolTips() const { return FToolTips; }
  void SetToolTips(bool Value) { FToolTips = Value; }
  bool AlignmentAssigned() const { return FAlignmentAssigned; }
  bool ColorAssigned() const { return FColorAssigned; }

private:
  bool IsAlignmentStored() const { return FAlignmentAssigned; }
  bool IsColorStored() const { return FColorAssigned; }
  TCustomDBGridEh* FGrid;
  TAlignment FAlignment = taLeftJustify;
  bool FAlignmentAssigned = false;
  TColor FColor = clBtnFace;
  bool FColorAssigned = false;
  bool FEndEllipsis = false;
  TTextOrientationEh FOrientation = tohHorizontal;
  bool FTitleButton = false;
  bool FToolTips = false;
};

class TColumnFooterDefValuesEh : public TPersistent {
  KELM_CLASS(TColumnFooterDefValuesEh, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("ToolTips", &TColumnFooterDefValuesEh::ToolTips, &TColumnFooterDefValuesEh::SetToolTips).Default(false);
  }
public:
  explicit TColumnFooterDefValuesEh(TCustomDBGridEh* AGrid) : FGrid(AGrid) {}
  void Assign(TPersistent* Source) override;
  bool ToolTips() const { return FToolTips; }
  void SetToolTips(bool Value) { FToolTips = Value; }

private:
  TCustomDBGridEh* FGrid;
  bool FToolTips = false;
};

class TColumnDefValuesEh : public TPersistent {
  KELM_CLASS(TColumnDefValuesEh, TPersistent)
public:
  explicit TColumnDefValuesEh(TCustomDBGridEh* AGrid);
  ~TColumnDefValuesEh() override;
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;
  TCustomDBGridEh* Grid() const { return FGrid; }

  bool AlwaysShowEditButton() const { return FAlwaysShowEditButton; }
  void SetAlwaysShowEditButton(bool Value);
  bool AutoDropDown() const { return FAutoDropDown; }
  void SetAutoDropDown(bool Value) { FAutoDropDown = Value; }
  bool DblClickNextVal() const { return FDblClickNextVal; }
  void SetDblClickNextVal(bool Value) { FDblClickNextVal = Value; }
  bool DropDownShowTitles() const { return FDropDownShowTitles; }
  void SetDropDownShowTitles(bool Value) { FDropDownShowTitles = Value; }
  bool DropDownSizing() const { return FDropDownSizing; }
  void SetDropDownSizing(bool Value) { FDropDownSizing = Value; }
  bool EndEllipsis() const { return FEndEllipsis; }
  void SetEndEllipsis(bool Value);
  TColumnFooterDefValuesEh* Footer() const { return FFooter.get(); }
  void SetFooter(TColumnFooterDefValuesEh* Value) { FFooter->Assign(Value); }
  bool HighlightRequired() const { return FHighlightRequired; }
  void SetHighlightRequired(bool Value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  TColumnTitleDefValuesEh* Title() const { return FTitle.get(); }
  void SetTitle(TColumnTitleDefValuesEh* Value) { FTitle->Assign(Value); }
  bool ToolTips() const { return FToolTips; }
  void SetToolTips(bool Value) { FToolTips = Value; }

private:
  TCustomDBGridEh* FGrid;
  std::unique_ptr<TColumnTitleDefValuesEh> FTitle;
  std::unique_ptr<TColumnFooterDefValuesEh> FFooter;
  bool FAlwaysShowEditButton = false;
  bool FAutoDropDown = false;
  bool FDblClickNextVal = false;
  bool FDropDownShowTitles = false;
  bool FDropDownSizing = false;
  bool FEndEllipsis = false;
  bool FHighlightRequired = false;
  TTextLayout FLayout = tlTop;
  bool FToolTips = false;
};

// The grid's published ColumnDefValues.
class TDBGridEhColumnDefValuesEh : public TColumnDefValuesEh {
  KELM_CLASS(TDBGridEhColumnDefValuesEh, TColumnDefValuesEh)
  template <class B> static void Published(B& b) {
    using C = TDBGridEhColumnDefValuesEh;
    b.Prop("AlwaysShowEditButton", &C::AlwaysShowEditButton, &C::SetAlwaysShowEditButton).Default(false);
    b.Prop("AutoDropDown", &C::AutoDropDown, &C::SetAutoDropDown).Default(false);
    b.Prop("DblClickNextVal", &C::DblClickNextVal, &C::SetDblClickNextVal).Default(false);
    b.Prop("DropDownShowTitles", &C::DropDownShowTitles, &C::SetDropDownShowTitles).Default(false);
    b.Prop("DropDownSizing", &C::DropDownSizing, &C::SetDropDownSizing).Default(false);
    b.Prop("EndEllipsis", &C::EndEllipsis, &C::SetEndEllipsis).Default(false);
    b.Prop("Footer", &C::Footer, &C::SetFooter);
    b.Prop("HighlightRequired", &C::HighlightRequired, &C::SetHighlightRequired).Default(false);
    b.Prop("Layout", &C::Layout, &C::SetLayout).Default(tlTop);
    b.Prop("Title", &C::Title, &C::SetTitle);
    b.Prop("ToolTips", &C::ToolTips, &C::SetToolTips).Default(false);
  }
public:
  explicit TDBGridEhColumnDefValuesEh(TCustomDBGridEh* AGrid) : TColumnDefValuesEh(AGrid) {}
};

// ================================================================ title

class TColumnTitleEh : public TPersistent {
  KELM_CLASS(TColumnTitleEh, TPersistent)
  template <class B> static void Published(B& b) {
    using C = TColumnTitleEh;
    b.Prop("Alignment", &C::Alignment, &C::SetAlignment).NoDefault().Stored(&C::IsAlignmentStored);
    b.Prop("Caption", &C::Caption, &C::SetCaption).Stored(&C::IsCaptionStored);
    b.Prop("Color", &C::Color, &C::SetColor).Type("TColor").NoDefault().Stored(&C::IsColorStored);
    b.Prop("EndEllipsis", &C::EndEllipsis, &C::SetEndEllipsis).NoDefault().Stored(&C::IsEndEllipsisStored);
    b.Prop("Font", &C::Font, &C::SetFont).Stored(&C::IsFontStored);
    b.Prop("Hint", &C::Hint, &C::SetHint);
    b.Prop("ImageIndex", &C::ImageIndex, &C::SetImageIndex).Default(-1);
    b.Prop("Orientation", &C::Orientation, &C::SetOrientation).NoDefault().Stored(&C::IsOrientationStored);
    b.Prop("SortIndex", &C::SortIndex, &C::SetSortIndex).Default(0);
    b.Prop("SortMarker", &C::SortMarker, &C::SetSortMarker).Default(smNoneEh);
    b.Prop("TitleButton", &C::TitleButton, &C::SetTitleButton).NoDefault().Stored(&C::IsTitleButtonStored);
    b.Prop("ToolTips", &C::ToolTips, &C::SetToolTips).NoDefault().Stored(&C::IsToolTipsStored);
  }
public:
  explicit TColumnTitleEh(TColumnEh* Column);
  ~TColumnTitleEh() override;
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;
  TColumnEh* Column() const { return FColumn; }

  // ---- published
  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value);
  // The field's display name, else the column's FieldName, while not assigned.
  String Caption() const;
  virtual void SetCaption(const String& Value);
  TColor Color() const;
  void SetColor(TColor Value);
  bool EndEllipsis() const;
  void SetEndEllipsis(bool Value);
  TFont* Font() const;
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  TTextOrientationEh Orientation() const;
  void SetOrientation(TTextOrientationEh Value);
  // 0 = not sort-marked; else the column's place in the grid's sort order, from 1.
  int SortIndex() const { return FSortIndex; }
  void SetSortIndex(int Value);
  TSortMarkerEh SortMarker() const { return FSortMarker; }
  void SetSortMarker(TSortMarkerEh Value);
  bool TitleButton() const;
  void SetTitleButton(bool Value);
  bool ToolTips() const;
  void SetToolTips(bool Value);

  // ---- behaviour
  // A title-button click under automatic sort marking: down, up, then none with Ctrl held or
  // down again without.
  void CycleSortMarker(bool CtrlHeld);
  // Pixels the title keeps free at its right for the marker and the sort index.
  int SortMarkerSpace() const;
  virtual void ResetToDefaults();
  TFont* DefaultFont() const;
  String DefaultCaption() const;

private:
  friend class TColumnEh;
  friend class TCustomDBGridEh;
  bool Flagged(TColumnEhValue V) const;
  void Flag(TColumnEhValue V);
  // The grid's title default (Get), else Fallback.
  template <class T> T DefaultOf(T (TColumnTitleDefValuesEh::*Get)() const, T Fallback) const;
  // Own once the title was given V, else DefaultOf(Get, Fallback).
  template <class T>
  T Followed(TColumnEhValue V, const T& Own, T (TColumnTitleDefValuesEh::*Get)() const, T Fallback) const;
  // Whether Own was given and differs from DefaultOf(Get, Fallback), so a layout writes it.
  template <class T>
  bool OwnStored(TColumnEhValue V, const T& Own, T (TColumnTitleDefValuesEh::*Get)() const, T Fallback) const;
  void FontChanged(TObject* Sender);
  void RefreshDefaultFont() const;
  TColumnsEhList* SortMarkedList() const;
  bool IsAlignmentStored() const;
  bool IsCaptionStored() const;
  bool IsColorStored() const;
  bool IsEndEllipsisStored() const;
  bool IsFontStored() const;
  bool IsOrientationStored() const;
  bool IsTitleButtonStored() const;
  bool IsToolTipsStored() const;

  TAlignment FAlignment = taLeftJustify;
  String FCaption;
  TColor FColor = clBtnFace;
  TColumnEh* FColumn;
  bool FEndEllipsis = false;
  std::unique_ptr<TFont> FFont;
  String FHint;
  int FImageIndex = -1;
  TTextOrientationEh FOrientation = tohHorizontal;
  int FSortIndex = 0;
  bool FToolTips = false;
  TSortMarkerEh FSortMarker = smNoneEh;
  bool FTitleButton = false;
};

// ================================================================ footers

class TColumnFooterEh : public TCollectionItem {
  KELM_CLASS(TColumnFooterEh, TCollectionItem)
  template <class B> static void Published(B& b) {
    using C = TColumnFooterEh;
    b.Prop("Alignment", &C::Alignment, &C::SetAlignment).NoDefault().Stored(&C::IsAlignmentStored);
    b.Prop("Color", &C::Color, &C::SetColor).Type("TColor").NoDefault().Stored(&C::IsColorStored);
    b.Prop("DisplayFormat", &C::DisplayFormat, &C::SetDisplayFormat);
    b.Prop("EndEllipsis", &C::EndEllipsis, &C::SetEndEllipsis).Default(false);
    b.Prop("FieldName", &C::FieldName, &C::SetFieldName);
    b.Prop("Font", &C::Font, &C::SetFont).Stored(&C::IsFontStored);
    b.Prop("ToolTips", &C::ToolTips, &C::SetToolTips).NoDefault().Stored(&C::IsToolTipsStored);
    b.Prop("Value", &C::Value, &C::SetValue);
    b.Prop("ValueType", &C::ValueType, &C::SetValueType).Default(fvtNon);
    b.Prop("WordWrap", &C::WordWrap, &C::SetWordWrap).Default(false);
  }
public:
  // An item of a column's Footers.
  explicit TColumnFooterEh(TCollection* Collection);
  // A column's single Footer.
  explicit TColumnFooterEh(TColumnEh* Column);
  ~TColumnFooterEh() override;
  void Assign(TPersistent* Source) override;
  TColumnEh* Column() const { return FColumn; }

  // ---- published
  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value);
  TColor Color() const;
  void SetColor(TColor Value);
  const String& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const String& Value);
  bool EndEllipsis() const { return FEndEllipsis; }
  void SetEndEllipsis(bool Value);
  // The field summed, averaged or shown; for sums and averages '' means the column's field.
  const String& FieldName() const { return FFieldName; }
  void SetFieldName(const String& Value);
  TFont* Font() const;
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool ToolTips() const;
  void SetToolTips(bool Value);
  const String& Value() const { return FValue; }
  void SetValue(const String& Value);
  TFooterValueType ValueType() const { return FValueType; }
  void SetValueType(TFooterValueType Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);

  // ---- model
  // The aggregate this footer keeps in the grid's sum list; nullptr while none is needed.
  TDBSum* SumItem() const;
  // Keeps the aggregate item in step with ValueType and FieldName.
  void SyncSumItem();
  virtual void ResetAssignedValues();
  bool AlignmentAssigned() const { return FAssignedAlignment; }
  bool ColorAssigned() const { return FAssignedColor; }
  bool FontAssigned() const { return FAssignedFont; }
  bool ToolTipsAssigned() const { return FAssignedToolTips; }
  TAlignment DefaultAlignment() const;
  TColor DefaultColor() const;
  TFont* DefaultFont() const;
  bool DefaultToolTips() const;

private:
  void Init();
  void FontChanged(TObject* Sender);
  void RefreshDefaultFont() const;
  void ColumnChanged(bool AllColumns);
  void InvalidateFooterRows();
  bool IsAlignmentStored() const { return FAssignedAlignment && FAlignment != DefaultAlignment(); }
  bool IsColorStored() const { return FAssignedColor && FColor != DefaultColor(); }
  bool IsFontStored() const { return FAssignedFont; }
  bool IsToolTipsStored() const { return FAssignedToolTips && FToolTips; }

  TColumnEh* FColumn = nullptr;
  TAlignment FAlignment = taLeftJustify;
  TColor FColor = clWindow;
  String FDisplayFormat;
  bool FEndEllipsis = false;
  String FFieldName;
  std::unique_ptr<TFont> FFont;
  bool FToolTips = false;
  String FValue;
  TFooterValueType FValueType = fvtNon;
  bool FWordWrap = false;
  bool FAssignedAlignment = false, FAssignedColor = false, FAssignedFont = false, FAssignedToolTips = false;
  // The item is found by its ID, so a sum list emptied behind the footer's back leaves no
  // dangling reference.
  int FSumItemID = -1;
};

class TColumnFootersEh : public TCollection {
  KELM_CLASS(TColumnFootersEh, TCollection)
public:
  TColumnFootersEh(TColumnEh* Column, TClass FooterClass);
  TColumnFooterEh* Items(int Index) const { return static_cast<TColumnFooterEh*>(TCollection::Items(Index)); }
  TColumnFooterEh* operator[](int Index) const { return Items(Index); }
  TColumnFooterEh* Add() { return static_cast<TColumnFooterEh*>(TCollection::Add()); }
  TPersistent* GetOwner() const override;
  TColumnEh* Column() const { return FColumn; }

protected:
  void Update(TCollectionItem* Item) override;

private:
  TColumnEh* FColumn;
};

// ================================================================ the column

class TColumnEh : public TCollectionItem {
  KELM_CLASS(TColumnEh, TCollectionItem)
public:
  explicit TColumnEh(TCollection* Collection);
  ~TColumnEh() override;
  void Assign(TPersistent* Source) override;
  String DisplayName() const override;
  void SetIndex(int Value) override;

  // ---- properties (published by TDBGridColumnEh)
  TAlignment Alignment() const;
  virtual void SetAlignment(TAlignment Value);
  bool AlwaysShowEditButton() const;
  void SetAlwaysShowEditButton(bool Value);
  bool AutoDropDown() const;
  void SetAutoDropDown(bool Value);
  bool AutoFitColWidth() const { return FAutoFitColWidth; }
  virtual void SetAutoFitColWidth(bool Value);
  TBiDiMode BiDiMode() const;
  void SetBiDiMode(TBiDiMode Value);
  TColumnButtonStyleEh ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TColumnButtonStyleEh Value);
  bool Checkboxes() const;
  void SetCheckboxes(bool Value);
  TColor Color() const;
  void SetColor(TColor Value);
  bool DblClickNextVal() const;
  void SetDblClickNextVal(bool Value);
  const String& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const String& Value);
  Cardinal DropDownRows() const { return FDropDownRows; }
  void SetDropDownRows(Cardinal Value) { FDropDownRows = Value; }
  bool DropDownShowTitles() const;
  void SetDropDownShowTitles(bool Value);
  bool DropDownSizing() const;
  void SetDropDownSizing(bool Value);
  // 0 or less: the editor's width; -1: the drop-down's own optimal width.
  int DropDownWidth() const { return FDropDownWidth; }
  void SetDropDownWidth(int Value);
  TEditButtonsEh* EditButtons() const { return FEditButtons.get(); }
  void SetEditButtons(TEditButtonsEh* Value) { FEditButtons->Assign(Value); }
  TSpecRowEh* DropDownSpecRow() const { return FDropDownSpecRow.get(); }
  void SetDropDownSpecRow(TSpecRowEh* Value) { FDropDownSpecRow->Assign(Value); }
  TMRUListEh* MRUList() const { return FMRUList.get(); }
  void SetMRUList(TMRUListEh* Value) { FMRUList->Assign(Value); }
  // The lookup grid's settings and the filter row's condition of the column.
  TColumnDropDownBoxEh* DropDownBox() const { return FDropDownBox.get(); }
  void SetDropDownBox(TColumnDropDownBoxEh* Value);
  TSTColumnFilterEh* STFilter() const { return FSTFilter.get(); }
  void SetSTFilter(TSTColumnFilterEh* Value);
  const String& EditMask() const { return FEditMask; }
  void SetEditMask(const String& Value);
  bool EndEllipsis() const;
  void SetEndEllipsis(bool Value);
  const String& FieldName() const { return FFieldName; }
  void SetFieldName(const String& Value);
  TFont* Font() const;
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TColumnFooterEh* Footer() const { return FFooter.get(); }
  void SetFooter(TColumnFooterEh* Value) { FFooter->Assign(Value); }
  TColumnFootersEh* Footers() const { return FFooters.get(); }
  void SetFooters(TColumnFootersEh* Value) { FFooters->Assign(Value); }
  bool HideDuplicates() const { return FHideDuplicates; }
  virtual void SetHideDuplicates(bool Value);
  bool HighlightRequired() const;
  virtual void SetHighlightRequired(bool Value);
  TCustomImageList* ImageList() const { return FImageList; }
  void SetImageList(TCustomImageList* Value);
  TImeMode ImeMode() const;
  virtual void SetImeMode(TImeMode Value);
  String ImeName() const;
  virtual void SetImeName(const String& Value);
  Extended Increment() const { return FIncrement; }
  void SetIncrement(Extended Value) { FIncrement = Value; }
  // Stored values matching PickList texts position for position; created on first read.
  TStrings* KeyList() const;
  void SetKeyList(TStrings* Value);
  TTextLayout Layout() const;
  void SetLayout(TTextLayout Value);
  String LookupDisplayFields() const;
  virtual void SetLookupDisplayFields(const String& Value);
  int MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int Value);
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int Value);
  int NotInKeyListIndex() const { return FNotInKeyListIndex; }
  void SetNotInKeyListIndex(int Value);
  // Texts shown (and offered) for the cell; created on first read.
  TStrings* PickList() const;
  void SetPickList(TStrings* Value);
  // The popup menu (a TPopupMenu of the menus module, or nullptr).
  TComponent* PopupMenuComponent() const { return FPopupMenu; }
  void SetPopupMenuComponent(TComponent* Value);
  bool ReadOnly() const;
  virtual void SetReadOnly(bool Value);
  bool ShowImageAndText() const { return FShowImageAndText; }
  void SetShowImageAndText(bool Value);
  int Tag() const { return FTag; }
  void SetTag(int Value) { FTag = Value; }
  TColumnTitleEh* Title() const { return FTitle.get(); }
  void SetTitle(TColumnTitleEh* Value) { FTitle->Assign(Value); }
  bool ToolTips() const;
  void SetToolTips(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  int Width() const;
  virtual void SetWidth(int Value);
  bool WordWrap() const;
  virtual void SetWordWrap(bool Value);

  TOnColumnCheckDrawRequiredStateEventEh OnCheckDrawRequiredState;
  TButtonClickEventEh OnEditButtonClick;
  TButtonDownEventEh OnEditButtonDown;
  const TGetColCellParamsEventEh& OnGetCellParams() const { return FOnGetCellParams; }
  void SetOnGetCellParams(const TGetColCellParamsEventEh& Value);
  TNotInListEventEh OnNotInList;
  TColCellUpdateDataEventEh OnUpdateData;

  // ---- model
  // The grid holding the column; nullptr when its collection belongs to no grid.
  TCustomDBGridEh* Grid() const;
  // The field shown; bound late, whenever it is asked for, once the grid's dataset has it.
  TField* Field() const;
  virtual void SetField(TField* Value);
  TColumnEhValues AssignedValues() const { return FAssignedValues; }
  // Made by the grid's layout pass from the dataset's fields (not persistent).
  virtual bool IsTransient() const { return !FPersistent; }
  bool Persistent() const { return FPersistent; }
  void SetPersistent(bool Value) { FPersistent = Value; }
  // The width auto-fitting distributes from.
  int InitialWidth() const { return FInitialWidth; }
  void SetInitialWidth(int Value) { FInitialWidth = Value; }
  int ClampWidth(int W) const;
  int DefaultWidth() const;
  TFont* DefaultFont() const;
  // Footers[Index] when there is one, else Footer.
  TColumnFooterEh* FooterAt(int Index) const;
  // Re-binds every footer's aggregate item to the column's current settings.
  void RebindFooterSums();
  // The list of a lookup drop-down: the field's lookup dataset.
  TDataSet* ListDataSet() const;
  bool IsRightToLeft() const;
  bool UseRightToLeftReading() const;
  // Fits the width to the content through the grid.
  virtual void OptimizeWidth();
  virtual void ResetToDefaults();

  // ---- values and editing
  TColumnEhKind ColumnKind() const;
  // The current record's cell text.
  String CellText() const;
  TCheckBoxState CellCheckState() const;
  void SetCellCheckState(TCheckBoxState Value);
  int CellImageIndex() const;
  void FillCellParams(TColCellParamsEh* Params) const;
  virtual void FireGetCellParams(bool EditMode, TColCellParamsEh* Params);
  // Whether the current record's cell may be edited now; with TryEdit the dataset is put
  // into edit state on the way.
  bool IsEditable(bool TryEdit);
  void WriteValue(const String& Text, const Variant& Value, bool UseText);
  // Moves the value one step forward (Step = 1) or backward: the next key, pick text, list
  // record or check state, or the number plus Step.
  void StepValue(Extended Step);

protected:
  friend class TColumnTitleEh;
  friend class TSTColumnFilterEh;
  friend class TColumnFooterEh;
  friend class TColumnFootersEh;
  friend class TCustomDBGridEh;
  virtual TEditButtonsEh* NewEditButtons();
  virtual TColumnFooterEh* NewFooter();
  virtual TColumnFootersEh* NewFooters();
  virtual TSTColumnFilterEh* NewSTFilter();
  virtual TColumnTitleEh* NewTitle();
  void FontChanged(TObject* Sender);
  void EditButtonsChanged(TObject* Sender);
  void ImageListChanged(TObject* Sender);
  void Flag(TColumnEhValue V) { FAssignedValues.Include(V); }
  bool Flagged(TColumnEhValue V) const { return FAssignedValues.Contains(V); }
  // Assigns a setting that follows its default until assigned: stores Value and flags V;
  // false when it was assigned with that value already, so nothing needs to be signalled.
  template <class T, class TValue> bool AssignFlagged(TColumnEhValue V, T& Field, const TValue& Value) {
    if (Flagged(V) && Field == Value) return false;
    Field = Value;
    Flag(V);
    return true;
  }
  void SetAssignedValues(TColumnEhValues Value) { FAssignedValues = Value; }
  // Forgets a field that is being freed, keeping the name to bind again.
  void FieldGone() { FField = nullptr; }

  // Followed values.
  TAlignment DefaultAlignment() const;
  bool DefaultAlwaysShowEditButton() const;
  bool DefaultAutoDropDown() const;
  TBiDiMode DefaultBiDiMode() const;
  bool DefaultCheckboxes() const;
  TColor DefaultColor() const;
  bool DefaultDblClickNextVal() const;
  bool DefaultDropDownShowTitles() const;
  bool DefaultDropDownSizing() const;
  bool DefaultEndEllipsis() const;
  bool DefaultHighlightRequired() const;
  TImeMode DefaultImeMode() const;
  String DefaultImeName() const;
  TTextLayout DefaultLayout() const;
  String DefaultLookupDisplayFields() const;
  bool DefaultReadOnly() const;
  bool DefaultToolTips() const;
  bool DefaultWordWrap() const;

private:
  void RefreshDefaultFont() const;
  bool LinkActive() const;
  TColumnDefValuesEh* DefValues() const;
  bool InColumnsUpdate() const;
  // The key fields of a lookup field, the edit field first; none when it has no key fields.
  std::vector<TField*> LookupKeyFieldList() const;
  void WriteCheckState(TCheckBoxState Value);
  bool IsEditableForStep();

protected:
  // stored-ness for streaming
  bool IsAlignmentStored() const;
  bool IsAlwaysShowEditButtonStored() const;
  bool IsAutoDropDownStored() const;
  bool IsBiDiModeStored() const { return Flagged(evBiDiMode); }
  bool IsCheckboxesStored() const { return Flagged(evCheckboxes); }
  bool IsColorStored() const;
  bool IsDblClickNextValStored() const;
  bool IsDropDownShowTitlesStored() const;
  bool IsDropDownSizingStored() const;
  bool IsEndEllipsisStored() const;
  bool IsFontStored() const { return Flagged(evFont); }
  bool IsHighlightRequiredStored() const;
  bool IsImeModeStored() const;
  bool IsImeNameStored() const;
  bool IsKeyListStored() const { return FKeyList && FKeyList->Count() > 0; }
  bool IsLayoutStored() const;
  bool IsLookupDisplayFieldsStored() const;
  bool IsPickListStored() const { return FPickList && FPickList->Count() > 0; }
  bool IsReadOnlyStored() const;
  bool IsToolTipsStored() const;
  bool IsWidthStored() const;
  bool IsWordWrapStored() const;
  bool IsFootersStored() const { return FFooters->Count() > 0; }
  bool IsEditButtonsStored() const { return FEditButtons->Count() > 0; }

private:
  TAlignment FAlignment = taLeftJustify;
  TColumnEhValues FAssignedValues;
  TBiDiMode FBiDiMode = bdLeftToRight;
  TColumnButtonStyleEh FButtonStyle = cbsAuto;
  bool FCheckboxes = false;
  TColor FColor = clWindow;
  bool FDblClickNextVal = false;
  String FDisplayFormat;
  Cardinal FDropDownRows = 7;
  bool FDropDownShowTitles = false;
  bool FDropDownSizing = false;
  int FDropDownWidth = 0;
  std::unique_ptr<TEditButtonsEh> FEditButtons;
  std::unique_ptr<TSpecRowEh> FDropDownSpecRow;
  std::unique_ptr<TMRUListEh> FMRUList;
  std::unique_ptr<TColumnDropDownBoxEh> FDropDownBox;
  std::unique_ptr<TSTColumnFilterEh> FSTFilter;
  String FEditMask;
  mutable TField* FField = nullptr;
  mutable String FFieldName;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TColumnFooterEh> FFooter;
  std::unique_ptr<TColumnFootersEh> FFooters;
  bool FHideDuplicates = false;
  bool FHighlightRequired = false;
  TCustomImageList* FImageList = nullptr;
  std::unique_ptr<TChangeLink> FImageChangeLink;
  TImeMode FImeMode = imDontCare;
  String FImeName;
  Extended FIncrement = 1;
  TTextLayout FLayout = tlTop;
  mutable std::unique_ptr<TStringList> FKeyList;
  int FMaxWidth = 0;
  int FMinWidth = 0;
  int FNotInKeyListIndex = -1;
  TGetColCellParamsEventEh FOnGetCellParams;
  mutable std::unique_ptr<TStringList> FPickList;
  TComponent* FPopupMenu = nullptr;
  bool FReadOnly = false;
  bool FPersistent = true;
  bool FShowImageAndText = false;
  int FTag = 0;
  std::unique_ptr<TColumnTitleEh> FTitle;
  bool FToolTips = false;
  bool FVisible = true;
  int FWidth = 0;
  bool FAlwaysShowEditButton = false;
  bool FAutoDropDown = false;
  bool FAutoFitColWidth = true;
  bool FEndEllipsis = false;
  int FInitialWidth = 0;
  String FLookupDisplayFields;
  bool FWordWrap = false;
};

// The item class of every grid's Columns: the column with its properties published.
class TDBGridColumnEh : public TColumnEh {
  KELM_CLASS(TDBGridColumnEh, TColumnEh)
  template <class B> static void Published(B& b) {
    using C = TDBGridColumnEh;
    b.Prop("Alignment", &C::Alignment, &C::SetAlignment).NoDefault().Stored(&C::IsAlignmentStored);
    b.Prop("AlwaysShowEditButton", &C::AlwaysShowEditButton, &C::SetAlwaysShowEditButton)
        .NoDefault()
        .Stored(&C::IsAlwaysShowEditButtonStored);
    b.Prop("AutoDropDown", &C::AutoDropDown, &C::SetAutoDropDown).NoDefault().Stored(&C::IsAutoDropDownStored);
    b.Prop("AutoFitColWidth", &C::AutoFitColWidth, &C::SetAutoFitColWidth).Default(true);
    b.Prop("BiDiMode", &C::BiDiMode, &C::SetBiDiMode).NoDefault().Stored(&C::IsBiDiModeStored);
    b.Prop("ButtonStyle", &C::ButtonStyle, &C::SetButtonStyle).Default(cbsAuto);
    b.Prop("Checkboxes", &C::Checkboxes, &C::SetCheckboxes).NoDefault().Stored(&C::IsCheckboxesStored);
    b.Prop("Color", &C::Color, &C::SetColor).Type("TColor").NoDefault().Stored(&C::IsColorStored);
    b.Prop("DblClickNextVal", &C::DblClickNextVal, &C::SetDblClickNextVal)
        .NoDefault()
        .Stored(&C::IsDblClickNextValStored);
    b.Prop("DisplayFormat", &C::DisplayFormat, &C::SetDisplayFormat);
    b.Prop("DropDownBox", &C::DropDownBox, &C::SetDropDownBox);
    b.Prop("DropDownRows", &C::DropDownRows, &C::SetDropDownRows).Default(7);
    b.Prop("DropDownShowTitles", &C::DropDownShowTitles, &C::SetDropDownShowTitles)
        .NoDefault()
        .Stored(&C::IsDropDownShowTitlesStored);
    b.Prop("DropDownSizing", &C::DropDownSizing, &C::SetDropDownSizing).NoDefault().Stored(&C::IsDropDownSizingStored);
    b.Prop("DropDownSpecRow", &C::DropDownSpecRow, &C::SetDropDownSpecRow);
    b.Prop("DropDownWidth", &C::DropDownWidth, &C::SetDropDownWidth).Default(0);
    b.Prop("EditButtons", &C::EditButtons, &C::SetEditButtons).Stored(&C::IsEditButtonsStored);
    b.Prop("EditMask", &C::EditMask, &C::SetEditMask);
    b.Prop("EndEllipsis", &C::EndEllipsis, &C::SetEndEllipsis).NoDefault().Stored(&C::IsEndEllipsisStored);
    b.Prop("FieldName", &C::FieldName, &C::SetFieldName);
    b.Prop("Font", &C::Font, &C::SetFont).Stored(&C::IsFontStored);
    b.Prop("Footer", &C::Footer, &C::SetFooter);
    b.Prop("Footers", &C::Footers, &C::SetFooters).Stored(&C::IsFootersStored);
    b.Prop("HideDuplicates", &C::HideDuplicates, &C::SetHideDuplicates).Default(false);
    b.Prop("HighlightRequired", &C::HighlightRequired, &C::SetHighlightRequired)
        .NoDefault()
        .Stored(&C::IsHighlightRequiredStored);
    b.Prop("ImageList", &C::ImageList, &C::SetImageList);
    b.Prop("ImeMode", &C::ImeMode, &C::SetImeMode).NoDefault().Stored(&C::IsImeModeStored);
    b.Prop("ImeName", &C::ImeName, &C::SetImeName).Type("TImeName").Stored(&C::IsImeNameStored);
    b.Prop("Increment", &C::Increment, &C::SetIncrement).Default(1.0L);
    b.Prop("KeyList", &C::KeyList, &C::SetKeyList).Stored(&C::IsKeyListStored);
    b.Prop("Layout", &C::Layout, &C::SetLayout).NoDefault().Stored(&C::IsLayoutStored);
    b.Prop("LookupDisplayFields", &C::LookupDisplayFields, &C::SetLookupDisplayFields)
        .Stored(&C::IsLookupDisplayFieldsStored);
    b.Prop("MaxWidth", &C::MaxWidth, &C::SetMaxWidth).Default(0);
    b.Prop("MinWidth", &C::MinWidth, &C::SetMinWidth).Default(0);
    b.Prop("MRUList", &C::MRUList, &C::SetMRUList);
    b.Prop("NotInKeyListIndex", &C::NotInKeyListIndex, &C::SetNotInKeyListIndex).Default(-1);
    b.Prop("PickList", &C::PickList, &C::SetPickList).Stored(&C::IsPickListStored);
    b.Prop("PopupMenu", &C::PopupMenuComponent, &C::SetPopupMenuComponent).Type("TPopupMenu");
    b.Prop("ReadOnly", &C::ReadOnly, &C::SetReadOnly).NoDefault().Stored(&C::IsReadOnlyStored);
    b.Prop("ShowImageAndText", &C::ShowImageAndText, &C::SetShowImageAndText).Default(false);
    b.Prop("STFilter", &C::STFilter, &C::SetSTFilter);
    b.Prop("Tag", &C::Tag, &C::SetTag).Default(0);
    b.Prop("Title", &C::Title, &C::SetTitle);
    b.Prop("ToolTips", &C::ToolTips, &C::SetToolTips).NoDefault().Stored(&C::IsToolTipsStored);
    b.Prop("Visible", &C::Visible, &C::SetVisible).Default(true);
    b.Prop("Width", &C::Width, &C::SetWidth).NoDefault().Stored(&C::IsWidthStored);
    b.Prop("WordWrap", &C::WordWrap, &C::SetWordWrap).NoDefault().Stored(&C::IsWordWrapStored);
    b.Prop("OnCheckDrawRequiredState", &C::OnCheckDrawRequiredState, &C::OnCheckDrawRequiredState);
    b.Prop("OnEditButtonClick", &C::OnEditButtonClick, &C::OnEditButtonClick);
    b.Prop("OnEditButtonDown", &C::OnEditButtonDown, &C::OnEditButtonDown);
    b.Prop("OnGetCellParams", &C::OnGetCellParams, &C::SetOnGetCellParams);
    b.Prop("OnNotInList", &C::OnNotInList, &C::OnNotInList);
    b.Prop("OnUpdateData", &C::OnUpdateData, &C::OnUpdateData);
  }
public:
  explicit TDBGridColumnEh(TCollection* Collection) : TColumnEh(Collection) {}
};

class TDBGridColumnsEh : public TCollection {
  KELM_CLASS(TDBGridColumnsEh, TCollection)
public:
  TDBGridColumnsEh(TCustomDBGridEh* Grid, TClass ColumnClass);
  TColumnEh* Items(int Index) const { return static_cast<TColumnEh*>(TCollection::Items(Index)); }
  TColumnEh* operator[](int Index) const { return Items(Index); }
  TColumnEh* GetItem(int Index) const { return Items(Index); }
  TPersistent* GetOwner() const override;
  TCustomDBGridEh* Grid() const { return FGrid; }

  // A persistent column appended at the end.
  TColumnEh* AddColumn() { return static_cast<TColumnEh*>(TCollection::Add()); }
  // A column of the grid's own making (the layout pass only).
  TColumnEh* AddTransientColumn();
  // The grid keeps its own columns instead of generating them from the fields.
  bool IsCustomized() const;
  int UpdateLockCount() const { return UpdateCount(); }

protected:
  void Update(TCollectionItem* Item) override;

private:
  TCustomDBGridEh* FGrid;
};

// ================================================================ column lists

// An ordered list of columns it does not own.
class TColumnsEhList : public TObjectList {
public:
  TColumnsEhList() : TObjectList(false) {}
  int Add(TColumnEh* Column) { return TObjectList::Add(Column); }
  void Insert(int Index, TColumnEh* Column) { TObjectList::Insert(Index, Column); }
  int Remove(TColumnEh* Column) { return TObjectList::Remove(Column); }
  int IndexOf(TColumnEh* Column) const { return TObjectList::IndexOf(Column); }
  TColumnEh* Items(int Index) const { return static_cast<TColumnEh*>(TObjectList::Items(Index)); }
  void SetItems(int Index, TColumnEh* Column) { TObjectList::SetItems(Index, Column); }
  TColumnEh* operator[](int Index) const { return Items(Index); }
};

// ================================================================ the grid's sum list

// The grid's SumList: computes while the grid is designed, starts inactive, and leaves the
// dataset's handlers alone in a designed grid.
class TDBGridEhSumList : public TDBSumListProducer {
  KELM_CLASS(TDBGridEhSumList, TDBSumListProducer)
  template <class B> static void Published(B& b) {
    using C = TDBGridEhSumList;
    b.Prop("Active", &C::Active, &C::SetActive).Default(false);
    b.Prop("ExternalRecalc", &C::ExternalRecalc, &C::SetExternalRecalc).Default(false);
    b.Prop("OnRecalcAll", [](const C* c) { return c->OnRecalcAll; }, [](C* c, const TNotifyEvent& e) { c->OnRecalcAll = e; });
    b.Prop("OnAfterRecalcAll", [](const C* c) { return c->OnAfterRecalcAll; },
           [](C* c, const TNotifyEvent& e) { c->OnAfterRecalcAll = e; });
    b.Prop("SumListChanged", [](const C* c) { return c->SumListChanged; },
           [](C* c, const TNotifyEvent& e) { c->SumListChanged = e; });
    b.Prop("VirtualRecords", &C::VirtualRecords, &C::SetVirtualRecords).Default(false);
  }
public:
  explicit TDBGridEhSumList(TComponent* AOwner);
  ~TDBGridEhSumList() override;

protected:
  void HookDataSet() override;
  void UnhookDataSet() override;

private:
  bool Designing() const;
};

// ================================================================ the grid's data link

// How the grid follows its dataset: the field map from grid data columns to dataset fields,
// the modified flag of the in-cell editor's record, and the dataset's notifications passed on
// to the grid.
class TGridDataLinkEh : public TDataLink {
public:
  // The map never holds more entries than this.
  static constexpr int MaxMapSize = 268435455;

  explicit TGridDataLinkEh(TCustomDBGridEh* AGrid) : FGrid(AGrid) {}
  ~TGridDataLinkEh() override;
  TCustomDBGridEh* Grid() const { return FGrid; }

  // The in-cell editor or a column write changed the current record; a write-back is due.
  bool Modified() const { return FModified; }
  void MarkModified() { FModified = true; }
  // Escape: re-reads a modified record (dropping the editor's text), else cancels the edit.
  void ResetRecord();
  // Field map: one dataset field index per grid data column, -1 where the name is unknown.
  bool AddFieldMapping(const String& FieldName);
  void ClearFieldMap();
  TField* FieldAt(int Index) const;
  int FieldCount() const { return FFieldCount; }
  int MapCapacity() const { return static_cast<int>(FFieldMap.size()); }
  bool SparseFieldMap() const { return FSparseMap; }
  void SetSparseFieldMap(bool Value) { FSparseMap = Value; }
  // Whether stored columns can be regenerated: no dataset, or default fields all mapped.
  bool AllFieldsMapped() const;
  int MoveBy(int Distance) override;

protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void DataSetScrolled(int Distance) override;
  void FocusControl(TField** Field) override;
  void EditingChanged() override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;

private:
  TCustomDBGridEh* FGrid;
  std::vector<int> FFieldMap;  // its size is the capacity
  int FFieldCount = 0;
  bool FInUpdateData = false;
  bool FSparseMap = false;
  bool FModified = false;
};

// Makes a record of the link's buffer the active one for reading and puts the previous one
// back however the scope ends. Without a record, the scope only puts the active one back (a
// loop that visits the buffer's records).
class TActiveRecordScopeEh {
public:
  explicit TActiveRecordScopeEh(TGridDataLinkEh* Link) : FLink(Link), FSaved(Link->ActiveRecord()) {}
  TActiveRecordScopeEh(TGridDataLinkEh* Link, int Record) : TActiveRecordScopeEh(Link) {
    FLink->SetActiveRecord(Record);
  }
  ~TActiveRecordScopeEh() { FLink->SetActiveRecord(FSaved); }
  int Saved() const { return FSaved; }  // the record active before the scope
  TActiveRecordScopeEh(const TActiveRecordScopeEh&) = delete;
  TActiveRecordScopeEh& operator=(const TActiveRecordScopeEh&) = delete;

private:
  TGridDataLinkEh* FLink;
  int FSaved;
};

// ================================================================ selected rows

// The grid's selected rows: bookmark strings kept in the dataset's bookmark order, found by a
// binary search with a one-entry cache.
class TBookmarkListEh : public TObject {
public:
  explicit TBookmarkListEh(TCustomDBGridEh* AGrid) : FGrid(AGrid) {}
  ~TBookmarkListEh() override;

  int Count() const { return static_cast<int>(FList.size()); }
  // EListError "List index out of bounds (i)" outside 0..Count-1.
  const String& Items(int Index) const;
  const String& operator[](int Index) const { return Items(Index); }
  // "Cannot perform this operation on a closed dataset" while the link is inactive.
  String CurrentRowBookmark() const;
  // The place of B (found) or where it would go.
  bool Find(const String& B, int& Index);
  int IndexOf(const String& B);
  bool CurrentRowSelected();
  void SetCurrentRowSelected(bool Value);
  void Clear();
  void SetLinkActive(bool Active);
  bool LinkActive() const { return FLinkActive; }
  void DeleteSelected();
  // The grid rows (left 0 .. last column) of the selected records the grid shows; all -1
  // when none.
  TGridRect RowsInView();
  // Drops the bookmarks of records that are gone and puts the rest back into the dataset's
  // order (after a sort), so walks and the binary search stay right.
  void Refresh();
  // Whether the last Find was answered from the cache.
  bool LastFindCached() const { return FLastCached; }
  // Puts a bookmark in its place without touching the grid's selection: for a list that
  // hands records to an event rather than showing them.
  void InsertBookmark(const String& B);

private:
  int Compare(const String& A, const String& B) const;
  TDataSet* DataSet() const;
  void ListChanged() { FCacheIndex = -1; }
  bool RowSelectedInBuffer(int Record);

  TCustomDBGridEh* FGrid;
  std::deque<String> FList;
  String FCache;
  int FCacheIndex = -1;
  bool FCacheFind = false;
  bool FLastCached = false;
  bool FLinkActive = false;
};

// ================================================================ selection objects

KELM_ENUM(TDBGridEhSelectionType, gstNon, gstRecordBookmarks, gstRectangle, gstColumns, gstAll)
using TDBGridEhAllowedSelections = TSet<TDBGridEhSelectionType>;

// A cell of a block selection: an index into the grid's Columns and a record's bookmark.
struct TDBCell {
  int Col = -1;
  String Row;
};

// The selected columns, kept in the order of the grid's Columns.
class TDBGridEhSelectionCols : public TColumnsEhList {
public:
  explicit TDBGridEhSelectionCols(TCustomDBGridEh* AGrid) : FGrid(AGrid) {}
  void Clear() override;
  void AddInOrder(TColumnEh* Column);
  void SelectColumn(TColumnEh* Column, bool AddSel);
  void ToggleColumn(TColumnEh* Column);
  void ExtendToColumn(TColumnEh* Column);
  void DropVanishedColumns();
  // Forgets a column that is being freed.
  void ColumnGone(TColumnEh* Column);
  TGridRect BoundsInGrid() const;
  TColumnEh* AnchorColumn() const { return FAnchor; }
  TColumnEh* LastShiftColumn() const { return FShiftCol; }
  TColumnsEhList* ShiftAddedColumns() { return &FShiftAdded; }

private:
  int ColumnIndex(TColumnEh* Column) const;
  void InvalidateColumnArea(TColumnEh* Column);
  void WalkColumns(int From, int To, int Step, bool Add, int Cross);
  TCustomDBGridEh* FGrid;
  TColumnEh* FAnchor = nullptr;
  TColumnEh* FShiftCol = nullptr;
  TColumnsEhList FShiftAdded;
};

// A block of cells between two corners.
class TDBGridEhSelectionRect : public TObject {
public:
  explicit TDBGridEhSelectionRect(TCustomDBGridEh* AGrid) : FGrid(AGrid) {}
  bool IsUsable() const;
  const TDBCell& AnchorCell() const { return FAnchor; }
  const TDBCell& ExtentCell() const { return FExtent; }
  String TopRowBookmark() const;
  String BottomRowBookmark() const;
  int LeftColumnIndex() const;
  int RightColumnIndex() const;
  bool ContainsDataCell(int ColIndex, const String& Bookmark) const;
  void Reset();
  void ExtendTo(int Col, const String& Bookmark, bool KeepAnchor);
  // The client pixels of the block as far as the grid shows it.
  TRect CellRangeBox(int Col1, int Col2, String Row1, String Row2);
  TGridRect BoundsInGrid();

private:
  void CheckUsable(const char* Message) const;
  TCustomDBGridEh* FGrid;
  TDBCell FAnchor, FExtent;
};

class TDBGridEhSelection : public TObject {
public:
  explicit TDBGridEhSelection(TCustomDBGridEh* AGrid);
  ~TDBGridEhSelection() override;
  TDBGridEhSelectionType SelectionKind() const { return FKind; }
  TDBGridEhSelectionCols* ColumnSet() const { return FColumns.get(); }
  TDBGridEhSelectionRect* CellRange() const { return FRect.get(); }
  TBookmarkListEh* RowBookmarks() const;
  bool ContainsDataCell(int ColIndex, const String& Bookmark) const;
  void Reset();
  void SelectWholeGrid();
  void ChangeKind(TDBGridEhSelectionType Kind);
  void SyncWithContent();
  void DataLinkSwitched(bool Active);
  TGridRect BoundsInGrid();
  virtual void NotifyChanged();

private:
  TCustomDBGridEh* FGrid;
  TDBGridEhSelectionType FKind = gstNon;
  std::unique_ptr<TDBGridEhSelectionCols> FColumns;
  std::unique_ptr<TDBGridEhSelectionRect> FRect;
};

// ================================================================ owned settings objects

// A scroll bar's settings as layouts store them.
KELM_ENUM(TScrollBarVisibleModeEh, sbAlwaysShowEh, sbNeverShowEh, sbAutoShowEh)

class TDBGridEhScrollBar : public TPersistent {
  KELM_CLASS(TDBGridEhScrollBar, TPersistent)
  template <class B> static void Published(B& b) {
    using C = TDBGridEhScrollBar;
    b.Prop("ExtScrollBar", &C::ExtScrollBar, &C::SetExtScrollBar).Type("TScrollBar");
    b.Prop("Tracking", &C::Tracking, &C::SetTracking).Default(false);
    b.Prop("Visible", &C::Visible, &C::SetVisible).Default(true);
  }

public:
  TDBGridEhScrollBar(TCustomDBGridEh* AGrid, int Kind) : FGrid(AGrid), FKind(Kind) {}
  // An external bar gets its own window procedure back.
  ~TDBGridEhScrollBar() override;
  void Assign(TPersistent* Source) override;
  // A TScrollBar that scrolls the grid instead of the grid's own bar. Its window procedure is
  // taken over: a bar whose procedure another object holds is refused ("Possible <Name>
  // already attached to the other control.").
  TComponent* ExtScrollBar() const { return FExtScrollBar; }
  void SetExtScrollBar(TComponent* Value);
  bool Tracking() const { return FTracking; }
  void SetTracking(bool Value) { FTracking = Value; }
  // True unless never shown; setting it chooses sbAutoShowEh or sbNeverShowEh.
  bool Visible() const { return FVisibleMode != sbNeverShowEh; }
  void SetVisible(bool Value) { SetVisibleMode(Value ? sbAutoShowEh : sbNeverShowEh); }
  TScrollBarVisibleModeEh VisibleMode() const { return FVisibleMode; }
  void SetVisibleMode(TScrollBarVisibleModeEh Value);
  int Kind() const { return FKind; }
  // Whether the bar shows now: the external one's visibility, else the grid window's bar.
  bool IsShownNow() const;
  // The platform's scroll information of the external bar or of the grid's own.
  bool ReadScrollInfo(SCROLLINFO& Info) const;
  // The external bar is being freed: it is forgotten without touching it.
  void ExtScrollBarGone();

private:
  void Detach();
  void ExtBarMessage(TMessage& Message);
  TCustomDBGridEh* FGrid;
  int FKind;
  TComponent* FExtScrollBar = nullptr;
  TWndMethod FExtOwnProc;  // the external bar's own procedure while the grid holds it
  bool FTracking = false;
  TScrollBarVisibleModeEh FVisibleMode = sbAutoShowEh;
};

class TVertDBGridEhScrollBar : public TDBGridEhScrollBar {
  KELM_CLASS(TVertDBGridEhScrollBar, TDBGridEhScrollBar)
  template <class B> static void Published(B& b) {
    using C = TVertDBGridEhScrollBar;
    b.Prop("Visible", &C::Visible, &C::SetVisible).Stored(false);
    b.Prop("VisibleMode", &C::VisibleMode, &C::SetVisibleMode).Default(sbAutoShowEh);
  }

public:
  explicit TVertDBGridEhScrollBar(TCustomDBGridEh* AGrid) : TDBGridEhScrollBar(AGrid, SB_VERT) {}
};

// The simple-text filter row's settings.
class TSTDBGridEhFilter : public TPersistent {
  KELM_CLASS(TSTDBGridEhFilter, TPersistent)
  template <class B> static void Published(B& b) {
    using C = TSTDBGridEhFilter;
    b.Prop("Local", &C::Local, &C::SetLocal).Default(false);
    b.Prop("Visible", &C::Visible, &C::SetVisible).Default(false);
  }

public:
  explicit TSTDBGridEhFilter(TCustomDBGridEh* AGrid) : FGrid(AGrid) {}
  void Assign(TPersistent* Source) override;
  bool Local() const { return FLocal; }
  void SetLocal(bool Value) { FLocal = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  // While suspended (column widths changing) the grid neither hides nor moves the filter
  // row's editor.
  void SuspendEditorMoves() { ++FUpdateDepth; }
  void ResumeEditorMoves() { --FUpdateDepth; }
  int UpdateDepth() const { return FUpdateDepth; }

private:
  TCustomDBGridEh* FGrid;
  int FUpdateDepth = 0;
  bool FLocal = false;
  bool FVisible = false;
};

// A dataset that lets the grid scroll by record position and read tree levels. The grid
// only asks for it; no dataset of this system offers it.
class IMemTableEh {
public:
  virtual ~IMemTableEh() = default;
  virtual int GetInstantReadCurRow() const = 0;
  virtual void InstantReadEnter(int RowNum) = 0;
  virtual void InstantReadLeave() = 0;
  virtual int InstantReadRowCount() const = 0;
  virtual int GetTreeNodeLevel(int RowNum) const = 0;
  // The tree view over the records: on, the current record's level and whether its node is
  // open; opening or closing the node of a data row.
  virtual bool TreeViewActive() const { return false; }
  virtual int NodeLevel() const { return 0; }
  virtual bool NodeExpanded() const { return false; }
  virtual void SetNodeExpanded(int RowNum, bool Value) {}
};

// ================================================================ grid options and events

KELM_ENUM(TDBGridOption, dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines,
          dgTabs, dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit, dgMultiSelect)
using TDBGridOptions = TSet<TDBGridOption>;
KELM_ENUM(TDBGridEhEditAction, geaCutEh, geaCopyEh, geaPasteEh, geaDeleteEh, geaSelectAllEh)
using TDBGridEhEditActions = TSet<TDBGridEhEditAction>;

KELM_EVENT(TDBGridEhClickEvent, void(TColumnEh* Column));
KELM_EVENT(TCheckTitleEhBtnEvent, void(TObject* Sender, int ACol, TColumnEh* Column, bool& Enabled));
KELM_EVENT(TDrawColumnEhCellEvent, void(TObject* Sender, const TRect& Rect, int DataCol, TColumnEh* Column,
                                        TGridDrawState State));
KELM_EVENT(TDrawDataCellEvent, void(TObject* Sender, const TRect& Rect, TField* Field, TGridDrawState State));
KELM_EVENT(TDrawFooterCellEvent, void(TObject* Sender, int DataCol, int Row, TColumnEh* Column, const TRect& Rect,
                                      TGridDrawState State));
KELM_EVENT(TGetBtnEhParamsEvent, void(TObject* Sender, TColumnEh* Column, TFont* AFont, TColor& Background,
                                      TSortMarkerEh& SortMarker, bool IsDown));
KELM_EVENT(TGetCellEhParamsEvent, void(TObject* Sender, TColumnEh* Column, TFont* AFont, TColor& Background,
                                       TGridDrawState State));
KELM_EVENT(TGridMoveRecordsEventEh, bool(TObject* Sender, TBookmarkListEh* BookmarkList, int& ToRecNo,
                                         int& TreeLevel, bool CheckOnly));
KELM_EVENT(TTitleEhClickEvent, void(TObject* Sender, int ACol, TColumnEh* Column));

// ================================================================ the grid

// The data grid engine on the platform's scrolling grid: data source and link, columns and
// their defaults, options, selection, the edit hooks the base grid calls with the write-back
// into the record, layout locks and the deferred layout pass, loading and removal handling.
// Painting, the layout pass proper, keyboard and mouse behaviour come with their own parts.
class TCustomDBGridEh : public TCustomGrid {
  KELM_CLASS(TCustomDBGridEh, TCustomGrid)
public:
  explicit TCustomDBGridEh(TComponent* AOwner);
  ~TCustomDBGridEh() override;
  void Loaded() override;
  void DefineProperties(TFiler* Filer) override;

  // ---- data
  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  TDataSet* DataSet() const { return DataSource() ? DataSource()->DataSet() : nullptr; }
  TGridDataLinkEh* DataLink() const { return FDataLink.get(); }
  TDBGridColumnsEh* Columns() const { return FColumns.get(); }
  void SetColumns(TDBGridColumnsEh* Value) { FColumns->Assign(Value); }
  TColumnDefValuesEh* ColumnDefValues() const { return FColumnDefValues.get(); }
  void SetColumnDefValues(TColumnDefValuesEh* Value) { FColumnDefValues->Assign(Value); }
  TDBGridEhSumList* SumList() const { return FSumList.get(); }
  void SetSumList(TDBGridEhSumList* Value) { FSumList->Assign(Value); }
  // The sort-marked columns in sort order: entry k has SortIndex k + 1.
  TColumnsEhList* SortMarkedColumns() const { return FSortMarkedColumns.get(); }
  // Rebuilds the sort-marked list from the titles' sort indices.
  void RebuildSortMarkedColumns();
  TColumnsEhList* VisibleColumns() const { return FVisibleColumns.get(); }
  TBookmarkListEh* SelectedRows() const { return FBookmarks.get(); }
  TDBGridEhSelection* Selection() const { return FSelection.get(); }
  // The dataset's memory-table interface, nullptr without one; asked of the current dataset
  // each time, so a dataset switched behind the link is never answered for.
  IMemTableEh* MemTableSupport() const;

  // ---- published settings
  TDBGridOptions Options() const { return FOptions; }
  void SetOptions(TDBGridOptions Value);
  TDBGridEhOptions OptionsEh() const { return FOptionsEh; }
  void SetOptionsEh(TDBGridEhOptions Value);
  TDBGridEhAllowedOperations AllowedOperations() const { return FAllowedOperations; }
  void SetAllowedOperations(TDBGridEhAllowedOperations Value) { FAllowedOperations = Value; }
  TDBGridEhAllowedSelections AllowedSelections() const { return FAllowedSelections; }
  void SetAllowedSelections(TDBGridEhAllowedSelections Value);
  bool AutoFitColWidths() const { return FAutoFitColWidths; }
  void SetAutoFitColWidths(bool Value);
  // The base grid's; a change lays the grid out again.
  void SetDefaultColWidth(int Value);
  bool DefaultDrawing() const { return FDefaultDrawing; }
  void SetDefaultDrawing(bool Value) { FDefaultDrawing = Value; }
  bool DrawMemoText() const { return FDrawMemoText; }
  void SetDrawMemoText(bool Value);
  TDBGridEhEditActions EditActions() const { return FEditActions; }
  void SetEditActions(TDBGridEhEditActions Value) { FEditActions = Value; }
  // The grid Color until assigned.
  TColor EvenRowColor() const { return FEvenRowColorAssigned ? FEvenRowColor : Color(); }
  void SetEvenRowColor(TColor Value);
  TColor OddRowColor() const { return FOddRowColorAssigned ? FOddRowColor : Color(); }
  void SetOddRowColor(TColor Value);
  bool EvenRowColorAssigned() const { return FEvenRowColorAssigned; }
  bool OddRowColorAssigned() const { return FOddRowColorAssigned; }
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  TColor FooterColor() const { return FFooterColor; }
  void SetFooterColor(TColor Value);
  TFont* FooterFont() const { return FFooterFont.get(); }
  void SetFooterFont(TFont* Value) { FFooterFont->Assign(Value); }
  int FooterRowCount() const { return FFooterRowCount; }
  void SetFooterRowCount(int Value);
  int FrozenCols() const { return FFrozenCols; }
  void SetFrozenCols(int Value);
  TDBGridEhScrollBar* HorzScrollBar() const { return FHorzScrollBar.get(); }
  void SetHorzScrollBar(TDBGridEhScrollBar* Value) { FHorzScrollBar->Assign(Value); }
  TDBGridEhScrollBar* VertScrollBar() const { return FVertScrollBar.get(); }
  void SetVertScrollBar(TDBGridEhScrollBar* Value) { FVertScrollBar->Assign(Value); }
  int MinAutoFitWidth() const { return FMinAutoFitWidth; }
  void SetMinAutoFitWidth(int Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  int RowHeight() const { return FRowHeight; }
  void SetRowHeight(int Value);
  int RowLines() const { return FRowLines; }
  void SetRowLines(int Value);
  bool RowSizingAllowed() const { return FRowSizingAllowed; }
  void SetRowSizingAllowed(bool Value);
  bool SortLocal() const { return FSortLocal; }
  void SetSortLocal(bool Value) { FSortLocal = Value; }
  TSTDBGridEhFilter* STFilter() const { return FSTFilter.get(); }
  void SetSTFilter(TSTDBGridEhFilter* Value) { FSTFilter->Assign(Value); }
  TFont* TitleFont() const { return FTitleFont.get(); }
  void SetTitleFont(TFont* Value) { FTitleFont->Assign(Value); }
  int TitleHeight() const { return FTitleHeight; }
  void SetTitleHeight(int Value);
  TCustomImageList* TitleImages() const { return FTitleImages; }
  void SetTitleImages(TCustomImageList* Value);
  int TitleLines() const { return FTitleLines; }
  void SetTitleLines(int Value);
  bool UseMultiTitle() const { return FUseMultiTitle; }
  void SetUseMultiTitle(bool Value);
  int VTitleMargin() const { return FVTitleMargin; }
  void SetVTitleMargin(int Value);
  // The font sort indices are written in (and measured with).
  static TFont* SortIndexFont();

  // ---- events
  TNotifyEvent OnApplyFilter;
  TDBGridEhClickEvent OnCellClick;
  TCheckTitleEhBtnEvent OnCheckButton;
  TNotifyEvent OnColEnter;
  TNotifyEvent OnColExit;
  TNotifyEvent OnColWidthsChanged;
  TDrawColumnEhCellEvent OnDrawColumnCell;
  TDrawDataCellEvent OnDrawDataCell;
  TDrawFooterCellEvent OnDrawFooterCell;
  TNotifyEvent OnEditButtonClick;
  TGetBtnEhParamsEvent OnGetBtnParams;
  TGetCellEhParamsEvent OnGetCellParams;
  TGetFooterParamsEvent OnGetFooterParams;
  TGridMoveRecordsEventEh OnMoveRecords;
  TNotifyEvent OnSelectionChanged;
  TNotifyEvent OnSortMarkingChanged;
  TNotifyEvent OnSumListRecalcAll;
  TNotifyEvent OnSumListAfterRecalcAll;
  TTitleEhClickEvent OnTitleBtnClick;
  TDBGridEhClickEvent OnTitleClick;

  // ---- coordinates
  int IndicatorOffset() const { return FOptions.Contains(dgIndicator) ? 1 : 0; }
  virtual int TitleRowCount() const { return FOptions.Contains(dgTitles) ? 1 : 0; }
  virtual int FilterRowCount() const { return FSTFilter->Visible() ? 1 : 0; }
  int TopDataOffset() const { return TitleRowCount() + FilterRowCount(); }
  int DataToRawColumn(int DataCol) const { return DataCol + IndicatorOffset(); }
  int RawToDataColumn(int RawCol) const { return RawCol - IndicatorOffset(); }
  // The column at the current grid column; nullptr on the indicator or without columns.
  TColumnEh* CurrentColumn() const;
  int SelectedIndex() const { return RawToDataColumn(Col()); }
  void SetSelectedIndex(int Value);
  TField* SelectedField() const;
  // Makes the columns showing Field current in turn.
  void SelectField(TField* Field);

  // ---- footers
  // The text of footer row Row of a column.
  virtual String GetFooterText(int Row, TColumnEh* Column);
  void FireGetFooterParams(int DataCol, int Row, TColumnEh* Column, TFont* AFont, TColor& Background,
                           TAlignment& Alignment, TGridDrawState State, String& Text);
  virtual void InvalidateFooterRows();

  // ---- editing
  // Whether the grid lets the current record be edited: link active, updates allowed (or an
  // insert going on), and inserting allowed when the dataset is empty.
  bool OperationsAllowEdit() const;
  // The in-cell editor, as the column model sees it.
  virtual bool InplaceEditorVisible() const;
  virtual String InplaceEditorText() const;
  // The text last put into or read from the editor, and the value behind it.
  const String& EditText() const { return FEditText; }
  const Variant& EditValue() const { return FEditValue; }
  // Writes the edit text into the record by column kind (the data link's update request).
  virtual void UpdateData();
  // The editor's read-only state set from outside: unset, read-only or writable.
  enum TEditorReadOnly { erNotSet, erReadOnly, erWritable };
  void SetEditorReadOnly(TEditorReadOnly Value) { FEditorReadOnly = Value; }
  bool IncSearchActive() const { return FIncSearchActive; }
  const String& IncSearchText() const { return FIncSearchText; }

  // ---- keys, mouse and search (DBGridEhKeys.cpp, DBGridEhMouse.cpp)
  // Appends Text to the search and looks for a record whose current-column text starts with
  // it: Direction 0 from the current record (then the first), 1 forward, 2 backward. A
  // TimeOut of 0 or more (ms) ends the search after that long without keys.
  void IncSearch(const String& Text, int TimeOut, int Direction);
  void StopIncSearch();
  // Moves the dataset by Distance records (to the end in its direction with ToTheEnd),
  // extending the row or rectangle selection when asked.
  void MoveByRows(bool Extend, int Distance, bool RowMode, bool ToTheEnd);
  // Makes data column DataCol current; Direction (-1, 1) skips zero-width columns that way.
  void MoveToDataColumn(int DataCol, int Direction, bool Extend);
  bool SelectionKindAllowed(TDBGridEhSelectionType Kind) const;
  // Reports a change of the sort markers: OnSortMarkingChanged, else the default sorting.
  void SortMarkingChanged();
  virtual void ApplySortingDefault();
  // Puts the current column's value of the record above into the current record.
  void CopyFromRecordAbove();
  // Opens the find dialog for a grid (set by the find dialog's unit; none: nothing opens).
  // Text is what the dialog starts with (the editor's selected text, else empty).
  static inline void (*OpenFindDialogHook)(TCustomDBGridEh* Grid, bool Modal, const String& Text) = nullptr;
  // The data column whose title is held down by the mouse, -1 for none.
  int PressedTitleColumn() const { return FPressedTitle; }
  // The title of DataCol is held down with the mouse over it (drawn pressed).
  bool TitlePressed(int DataCol) const { return FPressedTitle >= 0 && FPressedTitle == DataCol && FPressedTitleIn; }

  // ---- virtual operations
  virtual bool AcquireFocus();
  virtual bool HasInputFocus() const;
  virtual bool ShouldShowEditor() const;
  virtual bool FindDialogModal() const { return true; }
  virtual void OpenEditor();
  virtual void SyncCurrentRow();
  virtual void RefreshLayout();
  virtual void BuildFieldMap();
  virtual void UpdateTabStops();
  // Row count from the record buffer, filler and footer rows; the vertical bar from the
  // dataset's record numbers.
  virtual void RecalcRowCount();
  virtual void RefreshVertScrollBar();
  void UpdateExtHorzScrollBar();

  // ---- layout
  // Runs the layout pass now, or when the outermost layout lock ends.
  virtual void RebuildLayout();
  void BeginLayout();
  // Ending the outermost lock runs the pass, unless told not to (the caller defers it).
  void EndLayout(bool RunPass = true);
  int LayoutLockCount() const { return FLayoutLock; }
  int InternalUpdateCount() const { return FUpdateLock; }
  // Queues one deferred layout pass (WM_DEFERREDLAYOUT) unless one is queued already.
  void DeferLayout();
  // True while the data link is reporting a layout change of the dataset.
  bool InDataLinkLayoutChange() const { return FDataLinkLayoutChanging; }
  // Fits the listed columns' widths to their content.
  virtual void OptimizeColumnWidths(TColumnsEhList* ColumnsList);
  bool Loading() const { return ComponentState().Contains(csLoading); }
  bool Designing() const { return ComponentState().Contains(csDesigning); }
  // Scales fonts and column widths by M/D (column widths by running sums, so the total keeps).
  void ChangeScale(int M, int D) override;
  // Edit-button size taken at window creation.
  int EditButtonWidth() const { return FEditButtonWidth; }
  int EditButtonHeight() const { return FEditButtonHeight; }

  // ---- geometry
  // One axis's pixels: lines, the fixed (and frozen) cells, what is fully visible, footers.
  struct TAxisDrawInfoEh {
    int LineWidth = 0;
    int FirstGridCell = 0;     // the first scrolling cell shown
    int FixedBoundary = 0;     // pixels of the fixed cells with their lines
    int FixedCellCount = 0;
    int FooterExtent = 0;      // vertical axis: the footer rows' pixels
    int FrozenExtent = 0;      // horizontal axis: the frozen columns' pixels
    int FullVisBoundary = 0;   // after the last fully visible cell
    int GridBoundary = 0;      // where the drawn cells end
    int GridCellCount = 0;
    int GridExtent = 0;        // the client width or height
    int LastFullVisibleCell = 0;
  };
  struct TGridAxesInfoEh {
    TAxisDrawInfoEh Horz, Vert;
  };
  void ComputeDrawInfo(TGridAxesInfoEh& Info) const;
  void ComputeDrawInfo(TGridAxesInfoEh& Info, int Width, int Height) const;
  // (areas of GetCellType: the low byte the column area, the high byte the row's)
  enum TColAreaEh { caIndicator = 0, caData = 1 };
  enum TRowAreaEh { raTitle = 0, raFilter = 1, raData = 2, raFiller = 3, raFooter = 4 };
  static int CellArea(int ColArea, int RowArea) { return ColArea | (RowArea << 8); }
  // The area of a grid cell; DataCol and DataRow receive its data coordinates.
  int GetCellType(int ACol, int ARow, int& DataCol, int& DataRow) const;
  // The data cells in grid coordinates.
  TGridRect DataCellBox() const;
  int DataRowCount() const;
  int VisibleDataRowCount() const;
  bool CellDrawn3D(int ACol, int ARow, TGridDrawState State) const;
  // Makes a column current, a frozen one too.
  void MoveToColumn(int ACol);
  void InvalidateCellRange(const TGridRect& Range);
  // Pixels of the frozen columns alone.
  int FrozenExtent() const;
  // The title tree (UseMultiTitle) and the leaf of each column after the layout pass.
  THeadTreeNode* HeadTree() const { return FHeadTree.get(); }
  THeadTreeNode* LeafOf(int DataCol) const;
  // Rows are tall enough for word-wrapped text.
  bool WordWrapPossible() const { return FWordWrapPossible; }
  // Pixels a title or row adds to a text height: 2 in a flat grid, else 4.
  int TextMargin() const;
  bool LayingOut() const { return FLayingOut; }
  // The record count behind the vertical bar, or -1 without record numbers.
  int ScrollBarRecordCount() const;
  // Adds every field of the dataset, in field order (nothing without one).
  void CollectDataSetFields(std::vector<TField*>& List) const;
  // After a change of the column layout: rows, the bar and the filter row, or the whole
  // pass under auto-fit.
  void ApplyColumnLayout();
  virtual void TitleButtonClicked(int ACol, TColumnEh* Column);
  // Whether a title button may be pressed: false outside the columns, else OnCheckButton's say.
  virtual void CheckTitleButton(int DataCol, bool& Enabled);
  void FireGetCellParams(TColumnEh* Column, TFont* AFont, TColor& Background, TGridDrawState State);
  // ---- painting
  TDBGridEhStyle* Style() const { return FStyle; }
  void SetStyle(TDBGridEhStyle* Value);
  // Standard drawing of a data cell of the record being drawn, with the canvas as set.
  void DrawColumnCellDefault(const TRect& Rect, int DataCol, TColumnEh* Column, TGridDrawState State);
  bool GetFixedCellColors(int ACol, int ARow, TFont* AFont, TColor& Background, bool Highlighted, int CellType);
  bool IsDataCellHighlighted(int DataCol, int DataRow, TFont* AFont, TColor& Background, TGridDrawState& State);
  bool CanDrawRowFocus() const;
  // The 3-D frame of a cell in the canvas's brush colour: raised, sunken when highlighted or
  // pressed; the flags say which of the left and right sides it closes.
  void DrawCellFrame(const TRect& R, bool RightFlag, bool LeftFlag, bool Highlighted, bool Pressed);

  // ---- selection by the mouse, automatic scrolling and record dragging (DBGridEhTracking.cpp)
  // What a held mouse button is doing; the numbers are fixed.
  enum TMouseModeEh {
    mmNone = 0, mmRowSelecting = 1, mmColSelecting = 2, mmRectSelecting = 3, mmColSizing = 5, mmFrozenColSizing = 6,
    mmRecordDragging = 7
  };
  TMouseModeEh MouseMode() const { return FMouseMode; }
  // Whether a data cell (grid coordinates, its record's bookmark, its data column) is drawn
  // selected.
  bool IsCellSelected(int ACol, int ARow, const String& Bookmark, int DataCol) const;
  // Repaints what the selection covers and the current row; notes the focus state.
  void InvalidateSelection();
  // Repaints the selection when the grid (its editor included) gained or lost the input focus
  // since it was last painted.
  void RefreshFocusHighlight() {
    if (HasInputFocus() != FHadInputFocus) InvalidateSelection();
  }
  // Ctrl+F: starts the incremental search, or (during one, when the find dialog is allowed, or
  // with the dialog alone) opens the find dialog with Text. False when the grid offers neither.
  bool StartFind(const String& Text);
  // The data cells' pixels: right of the indicator, below the titles and the filter row,
  // above the footers.
  TRect DataAreaRect() const;
  // Timer 1 of a selection drag: (re)started with a new interval, stopped.
  void StartScrollTimer(int Interval);
  void StopScrollTimer();
  // One tick of timer 1 while a selection is being dragged beyond the data area.
  virtual void TimerScroll();
  // Ends any mouse tracking without accepting it (cancel mode, Esc).
  void CancelMouseTracking();
  // Record dragging under dghRecordMoving, from the indicator of a (selected) row.
  virtual bool BeginRowsDrag(int X, int Y, bool TestOnly);
  virtual bool CanBeginRowsDrag(int StartRow, int EndRow, TPoint P) { return true; }
  // The x where the drop marker starts; Level receives the target tree level (-1 without).
  virtual int CalcDragTargetLevel(int ARow, TPoint P, int& Level);
  virtual void TrackRowsDrag(int Y, int ARow, TPoint P, bool FromTracking);
  virtual void EndRowsDrag(int X, int Y, bool Accept);
  virtual bool MoveDraggedRecords(int ToDataRow, int TreeLevel, bool CheckOnly);
  virtual bool MoveRecordsTo(TBookmarkListEh* BookmarkList, int ToDataRow, int TreeLevel, bool CheckOnly);
  virtual bool MoveRecordsDefault(TBookmarkListEh* BookmarkList, int ToRecNo, int TreeLevel, bool CheckOnly);
  // The record number shown in a data row (0 with an inactive link).
  int RecordNumberOfRow(int DataRow);
  // The grid row the drop marker stands at, -1 while no record is dragged.
  int DragTargetRow() const { return FMouseMode == mmRecordDragging ? FDragEndRow : -1; }

  // ---- messages, hints, scrolling and edit operations (DBGridEhMessages.cpp)
  bool CanCopySelection() const;
  bool CanDeleteSelection() const;
  bool CanCutSelection() const;
  bool CanPasteSelection() const;
  bool CanSelectAll() const;
  // An action offered to the grid goes to its data link, where a dataset action takes the
  // grid's data source as its target; otherwise the grid answers as any control.
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;
  // The grid is its form's active control (or, without a form, holds the focus).
  bool GridIsActiveControl() const;
  bool CellEditorShown() const { return InplaceEditorVisible(); }
  // Hands filtering to the data service; ApplyingFilter is set meanwhile.
  virtual void ApplyFilterDefault();
  bool ApplyingFilter() const { return FApplyingFilter; }
  // Whether painting goes through an off-screen bitmap; once on it stays on.
  virtual bool WantsDoubleBuffer() const;
  bool DoubleBuffering() const { return FDoubleBuffering; }
  // The flat border's inset (1 or 0), fixed when the window is made.
  int FlatBorderInset() const { return FFlatInset; }

  void Dispatch(TMessage& Message) override;
  void WndProc(TMessage& Message) override;

protected:
  friend class TGridDataLinkEh;
  friend class TDBGridColumnsEh;
  friend class TColumnEh;
  friend class TBookmarkListEh;
  friend class TDBGridEhSelection;
  friend class TDBGridEhSelectionRect;
  friend class TDBGridEhSelectionCols;
  friend class TDBGridInplaceEdit;
  virtual TColumnDefValuesEh* CreateColumnDefValues();
  virtual TDBGridColumnsEh* CreateColumns();
  virtual TDBGridEhScrollBar* CreateScrollBar(int Kind);
  // The link became active or inactive.
  virtual void LinkActiveChanged(bool Active);
  virtual void DataSetScrolled(int Distance);
  virtual void EditingChanged();
  virtual void RecordChanged(TField* Field);
  // The layout pass: the grid's columns, rows and widths are laid out again.
  virtual void LayoutChanged();
  // A change of one column (nullptr: of the whole collection).
  virtual void ColumnsChanged(TColumnEh* Column);
  // Repaints the cells of one column.
  virtual void InvalidateColumn(TColumnEh* Column);
  void InvalidateCurrentRow();
  // Moves the data rows' pixels by Distance records (all of them repainted when more move
  // than show).
  void ScrollDataRows(int Distance);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void CreateWnd() override;
  void CreateParams(TCreateParams& Params) override;
  // ---- base grid hooks
  TInplaceEdit* CreateEditor() override;
  bool CanEditAcceptKey(Char Key) override;
  bool CanEditModify() override;
  bool CanEditShow() override;
  int GetEditLimit() override;
  String GetEditMask(int ACol, int ARow) override;
  String GetEditText(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const String& Value) override;
  void ColumnMoved(int FromIndex, int ToIndex) override;
  void ColWidthsChanged() override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  bool SelectCell(int ACol, int ARow) override;
  void CurrentChanged(int OldCol, int OldRow) override;
  void DoExit() override;
  void Paint() override;
  // The grid sets its vertical bar from the dataset, whatever the horizontal one does.
  bool OwnsVertScrollBar() const override { return true; }
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  void RowHeightsChanged() override;
  // A new client size: rows (and fitted widths) follow it.
  void Resize() override;
  // The external horizontal bar follows the left column.
  void TopLeftChanged() override;
  void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs) override;
  // ---- notification hooks
  virtual void ColEnter();
  virtual void ColExit();
  virtual void CheckMemTable();

private:
  // ---- layout pass steps
  void RemoveTransientColumns();
  void GenerateDefaultColumns();
  void RebuildVisibleColumns();
  void LayoutRowHeight();
  void LayoutTitleHeight();
  void LayoutHorzScrollBar();
  void AutoFitWidths();
  int MeasureTitleCaption(THeadTreeNode* Node);
  int OptimalTitleWidth(TColumnEh* Column);
  int OptimalCellWidth(TColumnEh* Column);
  void SizeAutoFitColumn(int Index, int Old, int New);
  // ---- painting steps (the cell kinds return whether they drew highlighted)
  void PaintLines(const std::vector<TCellSpan>& Cols, const std::vector<TCellSpan>& Rows);
  void PaintCells(const std::vector<TCellSpan>& Cols, const std::vector<TCellSpan>& Rows, const TRect& Clip);
  bool DrawIndicatorCell(int ARow, int DataRow, TRect R, int CellType);
  bool DrawTitleCell(int DataCol, TRect R, TGridDrawState State, bool Is3D);
  void DrawDataCell(int ACol, int DataCol, int DataRow, TRect R, TGridDrawState State, bool Is3D);
  bool DrawFooterCell(int DataCol, int FooterRow, TRect R, TGridDrawState State, bool Is3D);
  void DrawTitleBands(THeadTreeNode* Leaf, const TRect& CellRect, bool Highlighted);
  void DrawRequiredMark(TColumnEh* Column, int DataRow, const TRect& R);
  // The cell text the parameter events give for a record of the buffer.
  String CellParamsText(TColumnEh* Column, int DataRow, TGridDrawState State);
  // The typed search text over the start of the current cell's text.
  void DrawIncSearchOverlay(TColumnEh* Column, const TRect& R, TGridDrawState State, int Inset);
  // The buttons a column always shows in its cells, left to right.
  struct TCellButton {
    TButtonFaceStyle Face;
    int Width;
    TEditButtonEh* Glyph = nullptr;  // a glyph-style button: its picture instead of a face
  };
  std::vector<TCellButton> CellButtons(TColumnEh* Column) const;
  void DrawCellButtons(const std::vector<TCellButton>& Buttons, const TRect& Area, const TRect& Cell, TColor Back,
                       bool Is3D);
  // One always-shown button in R, clipped to the cell.
  void PaintCellButton(const TCellButton& Button, TRect R, const TRect& Cell, TColor Back);
  // Text in a cell as the column writes it; a right-to-left column in a mirrored paint is
  // written unmirrored, its alignment and margins swapped, so its glyphs read right.
  void WriteCellText(TColumnEh* Column, const TRect& R, bool Fill, int DX, int DY, const String& Text,
                     TAlignment Alignment, TTextLayout Layout, bool MultiLine, bool EndEllipsis, int LeftMarg,
                     int RightMarg);
  // Mirroring paused for one cell of a mirrored paint: the cell's device rectangle.
  struct TUnmirroredCell {
    TCustomDBGridEh* Grid;
    TRect Device;
    TUnmirroredCell(TCustomDBGridEh* G, const TRect& Logical);
    ~TUnmirroredCell();
  };
  bool TitleInSelection(int DataCol) const;
  int TextInset(bool Is3D) const;
  TColor RowColor(TColumnEh* Column) const;
  void SumListChangedHandler(TObject* Sender);
  void SumListRecalcAllHandler(TObject* Sender);
  void SumListAfterRecalcAllHandler(TObject* Sender);
  void FooterFontChanged(TObject* Sender);
  void TitleFontChanged(TObject* Sender);
  void TitleImagesChanged(TObject* Sender);
  void ApplyBaseOptions();
  void ScaleFontsAndWidths(int M, int D);
  void ReadColumns(TReader* Reader);
  void WriteColumns(TWriter* Writer);
  void ColumnWidthChanged(TColumnEh* Column);
  void UnbindField(TComponent* Field);
  bool CanModifyField(TColumnEh* Column, TField* Field) const;
  void WriteKeyList(TColumnEh* Column, const String& Text);
  void WriteLookup(TColumnEh* Column, TField* Field, const String& Text);
  String FieldEditText(TColumnEh* Column, TField* Field) const;
  // The current record's text for the editor in a grid column, before the cell-parameter
  // handlers; sets the edit value.
  String CellEditText(int ACol);
  // ---- keys and search steps
  bool SearchKey(Word& Key, TShiftState Shift);
  void CtrlKey(Word& Key, TShiftState Shift);
  void PlainKey(Word& Key, TShiftState Shift);
  void VerticalKey(Word Key, TShiftState Shift);
  void StepColumn(bool Forward);
  void ConfirmDelete();
  bool IncSearchAllowed() const;
  bool CellTextMatches(const String& Upper);
  bool SearchWalk(const String& Upper, int Direction);
  struct TViewPosition {
    String Bookmark;
    int Distance = 0;
  };
  TViewPosition SaveViewPosition();
  void RestoreViewPosition(const TViewPosition& P);
  bool ExtendRowStep(int Dir, bool Keep, bool& Away);
  // ---- mouse steps
  bool PressTitle(TMouseButton Button, TShiftState Shift, int X, int Y);
  void PressDataRow(TMouseButton Button, TShiftState Shift, TGridCoord Cell);
  void ReleaseTitle(TShiftState Shift, int X, int Y);
  bool ChangesByMouse() const;
  bool PressSizing(TMouseButton Button, TShiftState Shift, int X, int Y);
  bool PressColumnSelect(TShiftState Shift, int X, int Y);
  void PressEditButtons(TGridCoord Cell, int X, int Y);
  void TrackMouse(TShiftState Shift, int X, int Y);
  void OptimizeWidthsAt(int RawCol);
  // The data column whose title's column-select band holds the point, -1 for none.
  int ColumnSelectZone(int X, int Y) const;
  // The frozen column whose sizing band holds the point, -1 for none.
  int FrozenSizingColumn(int X, int Y) const;
  void DrawSizingLine(int X);
  void DrawDragMarker();
  void MoveByTimer(int Distance, int Direction);
  void TimerScrollColumns();
  // ---- message steps
  void WMVScroll(TMessage& Message);
  void WMHScroll(TMessage& Message);
  void WMSetCursor(TMessage& Message);
  void CMHintShow(TMessage& Message);
  void CMHintShowPause(TMessage& Message);
  // The tool tip of a cell whose text does not show whole: what each kind of cell would
  // show (TCellTip, DBGridEhMessages.cpp), then where the tip goes.
  struct TCellTip;
  bool CellToolTip(int ACol, int ARow, THintInfo& Info);
  void TitleTip(TColumnEh* Column, int DataCol, TCellTip& Tip);
  void FooterTip(TColumnEh* Column, int Row, TCellTip& Tip);
  bool DataTip(TColumnEh* Column, int DataRow, TGridCoord Cell, int CursorX, TCellTip& Tip);
  bool PlaceToolTip(const TCellTip& Tip, TGridCoord Cell, THintInfo& Info);
  void FocusChanged(TMessage& Message);
  void ApplyColumnImeMode();

  std::unique_ptr<TColumnDefValuesEh> FColumnDefValues;
  std::unique_ptr<TDBGridColumnsEh> FColumns;
  std::unique_ptr<TColumnsEhList> FVisibleColumns;
  std::unique_ptr<TColumnsEhList> FSortMarkedColumns;
  std::unique_ptr<TGridDataLinkEh> FDataLink;
  std::unique_ptr<TFont> FTitleFont;
  std::unique_ptr<TBookmarkListEh> FBookmarks;
  std::unique_ptr<TDBGridEhSumList> FSumList;
  std::unique_ptr<TDBGridEhScrollBar> FHorzScrollBar;
  std::unique_ptr<TDBGridEhScrollBar> FVertScrollBar;
  std::unique_ptr<TDBGridEhSelection> FSelection;
  std::unique_ptr<TColCellParamsEh> FCellParams;
  std::unique_ptr<TSTDBGridEhFilter> FSTFilter;
  std::unique_ptr<TFont> FFooterFont;
  std::unique_ptr<TChangeLink> FTitleImageChangeLink;
  TCustomImageList* FTitleImages = nullptr;
  IMemTableEh* FMemTable = nullptr;
  TDBGridOptions FOptions = {dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                             dgConfirmDelete, dgCancelOnExit};
  TDBGridEhOptions FOptionsEh = {dghFixed3D, dghHighlightFocus, dghClearSelection, dghDialogFind};
  TDBGridEhAllowedOperations FAllowedOperations = {alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh};
  TDBGridEhAllowedSelections FAllowedSelections = {gstRecordBookmarks, gstRectangle, gstColumns, gstAll};
  TDBGridEhEditActions FEditActions;
  bool FAutoFitColWidths = false;
  bool FDefaultDrawing = true;
  bool FDrawMemoText = false;
  TColor FEvenRowColor = clWindow, FOddRowColor = clWindow;
  bool FEvenRowColorAssigned = false, FOddRowColorAssigned = false;
  bool FFlat = false;
  TColor FFooterColor = clWindow;
  int FFooterRowCount = 0;
  int FFrozenCols = 0;
  int FMinAutoFitWidth = 0;
  bool FReadOnly = false;
  int FRowHeight = 0, FRowLines = 0;
  bool FRowSizingAllowed = false;
  bool FSortLocal = false;
  int FTitleHeight = 0, FTitleLines = 0;
  bool FUseMultiTitle = false;
  int FVTitleMargin = 10;
  int FLayoutLock = 0;
  int FUpdateLock = 0;
  bool FDataLinkLayoutChanging = false;
  bool FLayoutPending = false;  // a WM_DEFERREDLAYOUT is queued
  bool FRefreshing = false;
  bool FSettingTitleFont = false;
  String FEditText;
  Variant FEditValue;
  TEditorReadOnly FEditorReadOnly = erNotSet;
  bool FIncSearchActive = false;
  String FIncSearchText;
  int FIncSearchTimeOut = -1;
  bool FKeepSelection = false;
  String FRowAnchor;          // the first row of a row extension
  bool FRowAnchorSelected = false;
  int FPressedTitle = -1;     // data column of a held title button
  bool FPressedTitleIn = false;
  TPoint FPressPoint;
  bool FRowTracking = false;
  bool FSortMarkedWithCtrl = false;
  TMouseModeEh FMouseMode = mmNone;
  bool FTracking = false;       // cell tracking by the held button
  TShiftState FPressShift;      // the keys held at the press
  TPoint FLastMouse;            // client point of the last mouse event
  int FScrollTimerInterval = -1;  // -1: timer 1 stopped
  int FSizingCol = -1, FSizingOffset = 0, FSizingLineX = -1;  // traced and frozen sizing
  bool FDragPrepared = false;   // a drag starts when the mouse moves
  bool FInClickWithDragMode = false;
  bool FRightAsLeft = false;    // the right button moves a column as the left would
  int FDragStartRow = -1, FDragEndRow = -1, FDragStartLevel = -1, FDragTargetLevel = -1, FDragMarkerX = 0;
  bool FDragMarkerShown = false;
  String FDragBookmark;
  bool FHadInputFocus = false;
  bool FIgnoreThumbPosition = false;
  bool FApplyingFilter = false;
  bool FDoubleBuffering = false;
  int FFlatInset = 0;
  std::unique_ptr<TFont> FToolTipFont;
  bool FSearching = false;    // the search itself moves the dataset
  TGridCoord FCheckCell{-1, -1};  // a check-box or image cell pressed, toggled at release
  int FEditButtonWidth = 0, FEditButtonHeight = 0;
  std::unique_ptr<THeadTreeNode> FHeadTree;
  std::vector<THeadTreeNode*> FLeaves;
  std::vector<bool> FOutOfRange;  // auto-fit: per column, limited during this fit
  bool FWordWrapPossible = false;
  bool FLayingOut = false;
  TDBGridEhStyle* FStyle = nullptr;
  TImeMode FOriginalImeMode = imDontCare;
  String FOriginalImeName;
};

// The published grid: every list window of the application shows its rows in one.
class TDBGridEh : public TCustomDBGridEh {
  KELM_CLASS(TDBGridEh, TCustomDBGridEh)
  template <class B> static void Published(B& b) {
    using C = TDBGridEh;
    PublishAlign(b);
    PublishAnchors(b);
    PublishBiDiMode(b);
    b.Prop("BorderStyle", &C::BorderStyle, &C::SetBorderStyle).Default(bsSingle);
    PublishColor(b);
    PublishConstraints(b);
    PublishCtl3D(b);
    PublishDragCursor(b);
    PublishDragKind(b);
    PublishDragMode(b);
    PublishEnabled(b);
    PublishFont(b);
    PublishImeMode(b);
    PublishImeName(b);
    PublishParentBiDiMode(b);
    PublishParentColor(b).Default(false);
    PublishParentCtl3D(b);
    PublishParentFont(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    PublishShowHint(b);
    PublishTabOrder(b);
    PublishTabStop(b).Default(true);
    PublishVisible(b);
    b.Prop("AllowedOperations", &C::AllowedOperations, &C::SetAllowedOperations)
        .Default(TDBGridEhAllowedOperations{alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh});
    b.Prop("AllowedSelections", &C::AllowedSelections, &C::SetAllowedSelections)
        .Default(TDBGridEhAllowedSelections{gstRecordBookmarks, gstRectangle, gstColumns, gstAll});
    b.Prop("AutoFitColWidths", &C::AutoFitColWidths, &C::SetAutoFitColWidths).Default(false);
    b.Prop("ColumnDefValues", &C::ColumnDefValues, &C::SetColumnDefValues);
    b.Prop("DataSource", &C::DataSource, &C::SetDataSource);
    b.Prop("DefaultDrawing", &C::DefaultDrawing, &C::SetDefaultDrawing).Default(true);
    b.Prop("DrawMemoText", &C::DrawMemoText, &C::SetDrawMemoText).Default(false);
    b.Prop("EditActions", &C::EditActions, &C::SetEditActions).Default(TDBGridEhEditActions());
    b.Prop("EvenRowColor", &C::EvenRowColor, &C::SetEvenRowColor).Type("TColor").NoDefault().Stored(&C::EvenRowColorAssigned);
    b.Prop("FixedColor", &C::FixedColor, &C::SetFixedColor).Type("TColor").Default(clBtnFace);
    b.Prop("Flat", &C::Flat, &C::SetFlat).Default(false);
    b.Prop("FooterColor", &C::FooterColor, &C::SetFooterColor).Type("TColor").Default(clWindow);
    b.Prop("FooterFont", &C::FooterFont, &C::SetFooterFont);
    b.Prop("FooterRowCount", &C::FooterRowCount, &C::SetFooterRowCount).Default(0);
    b.Prop("FrozenCols", &C::FrozenCols, &C::SetFrozenCols).Default(0);
    b.Prop("HorzScrollBar", &C::HorzScrollBar, &C::SetHorzScrollBar);
    b.Prop("MinAutoFitWidth", &C::MinAutoFitWidth, &C::SetMinAutoFitWidth).Default(0);
    b.Prop("OddRowColor", &C::OddRowColor, &C::SetOddRowColor).Type("TColor").NoDefault().Stored(&C::OddRowColorAssigned);
    b.Prop("Options", &C::Options, &C::SetOptions)
        .Default(TDBGridOptions{dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                                dgConfirmDelete, dgCancelOnExit});
    b.Prop("OptionsEh", &C::OptionsEh, &C::SetOptionsEh)
        .Default(TDBGridEhOptions{dghFixed3D, dghHighlightFocus, dghClearSelection, dghDialogFind});
    b.Prop("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
    b.Prop("RowHeight", &C::RowHeight, &C::SetRowHeight).Default(0);
    b.Prop("RowLines", &C::RowLines, &C::SetRowLines).Default(0);
    b.Prop("RowSizingAllowed", &C::RowSizingAllowed, &C::SetRowSizingAllowed).Default(false);
    b.Prop("SortLocal", &C::SortLocal, &C::SetSortLocal).Default(false);
    b.Prop("STFilter", &C::STFilter, &C::SetSTFilter);
    b.Prop("SumList", &C::SumList, &C::SetSumList);
    b.Prop("TitleFont", &C::TitleFont, &C::SetTitleFont);
    b.Prop("TitleHeight", &C::TitleHeight, &C::SetTitleHeight).Default(0);
    b.Prop("TitleImages", &C::TitleImages, &C::SetTitleImages);
    b.Prop("TitleLines", &C::TitleLines, &C::SetTitleLines).Default(0);
    b.Prop("UseMultiTitle", &C::UseMultiTitle, &C::SetUseMultiTitle).Default(false);
    b.Prop("VertScrollBar", &C::VertScrollBar, &C::SetVertScrollBar);
    b.Prop("VTitleMargin", &C::VTitleMargin, &C::SetVTitleMargin).Default(10);
    b.Prop("OnApplyFilter", &C::OnApplyFilter, &C::OnApplyFilter);
    b.Prop("OnCellClick", &C::OnCellClick, &C::OnCellClick);
    b.Prop("OnCheckButton", &C::OnCheckButton, &C::OnCheckButton);
    b.Prop("OnColEnter", &C::OnColEnter, &C::OnColEnter);
    b.Prop("OnColExit", &C::OnColExit, &C::OnColExit);
    b.Prop("OnColumnMoved", &C::OnColumnMoved, &C::OnColumnMoved);
    b.Prop("OnColWidthsChanged", &C::OnColWidthsChanged, &C::OnColWidthsChanged);
    b.Prop("OnDrawColumnCell", &C::OnDrawColumnCell, &C::OnDrawColumnCell);
    b.Prop("OnDrawDataCell", &C::OnDrawDataCell, &C::OnDrawDataCell);
    b.Prop("OnDrawFooterCell", &C::OnDrawFooterCell, &C::OnDrawFooterCell);
    b.Prop("OnEditButtonClick", &C::OnEditButtonClick, &C::OnEditButtonClick);
    b.Prop("OnGetBtnParams", &C::OnGetBtnParams, &C::OnGetBtnParams);
    b.Prop("OnGetCellParams", &C::OnGetCellParams, &C::OnGetCellParams);
    b.Prop("OnGetFooterParams", &C::OnGetFooterParams, &C::OnGetFooterParams);
    b.Prop("OnMoveRecords", &C::OnMoveRecords, &C::OnMoveRecords);
    b.Prop("OnSelectionChanged", &C::OnSelectionChanged, &C::OnSelectionChanged);
    b.Prop("OnSortMarkingChanged", &C::OnSortMarkingChanged, &C::OnSortMarkingChanged);
    b.Prop("OnSumListRecalcAll", &C::OnSumListRecalcAll, &C::OnSumListRecalcAll);
    b.Prop("OnSumListAfterRecalcAll", &C::OnSumListAfterRecalcAll, &C::OnSumListAfterRecalcAll);
    b.Prop("OnTitleBtnClick", &C::OnTitleBtnClick, &C::OnTitleBtnClick);
    b.Prop("OnTitleClick", &C::OnTitleClick, &C::OnTitleClick);
    PublishOnContextPopup(b);
    PublishOnDblClick(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    PublishOnEndDock(b);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    PublishOnKeyDown(b);
    PublishOnKeyPress(b);
    PublishOnKeyUp(b);
    PublishOnMouseDown(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnStartDock(b);
    PublishOnStartDrag(b);
  }
public:
  explicit TDBGridEh(TComponent* AOwner) : TCustomDBGridEh(AOwner) {}
};

// Holds the grid's layout lock for the scope's lifetime (no grid: nothing), so the layout
// pass runs once at the end, also when the scope is left by an exception.
class TDBGridEhLayoutLock {
public:
  explicit TDBGridEhLayoutLock(TCustomDBGridEh* Grid) : FGrid(Grid) {
    if (FGrid) FGrid->BeginLayout();
  }
  ~TDBGridEhLayoutLock() {
    if (FGrid) FGrid->EndLayout();
  }
  TDBGridEhLayoutLock(const TDBGridEhLayoutLock&) = delete;
  TDBGridEhLayoutLock& operator=(const TDBGridEhLayoutLock&) = delete;

private:
  TCustomDBGridEh* FGrid;
};

// The indicator pictures (current, edited, inserted, multi-dot, multi-arrow, current and
// selected, current during incremental search) and the sort markers (down, up) all grids share.
TImageList* GridIndicatorImages();
TImageList* GridSortMarkerImages();

// ================================================================ cell values

// The field's text through a display format: numbers by FormatFloat, dates by
// FormatDateTime, the display text when the format is empty, '' for Null and other types.
String FormatFieldValue(TField* Field, const String& Format);
// The field's lookup dataset is open and the field has a value.
bool LookupValueFound(TField* Field);
// Whether one of the ";"-separated parts of List equals Value, ignoring case.
bool ValueInList(const String& List, const String& Value);
// Every field can be modified (true for none).
bool AllFieldsModifiable(const std::vector<TField*>& Fields);
