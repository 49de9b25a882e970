#pragma once
// The objects that feed the drop-downs: a special row above the list (TSpecRowEh), the
// distinct values of a field (TDatasetFieldValueListEh over a TDataLinkEh) and field-name
// lists.
#include "grid/ToolCtrlsEhPopups.h"

// ================================================================ objects feeding drop-downs

// A row a drop-down list shows above its data rows (a row that stands for no value, say).
class TSpecRowEh : public TPersistent {
  KELM_CLASS(TSpecRowEh, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("CellsText", &TSpecRowEh::CellsText, &TSpecRowEh::SetCellsText);
    b.Prop("Color", &TSpecRowEh::Color, &TSpecRowEh::SetColor).Stored(&TSpecRowEh::ColorSet);
    b.Prop("Font", &TSpecRowEh::Font, &TSpecRowEh::SetFont).Stored(&TSpecRowEh::FontSet);
    b.Prop("ShortCut", &TSpecRowEh::ShortCut, &TSpecRowEh::SetShortCut).Type("TShortCut").Default(32814);
    b.Prop("ShowIfNotInKeyList", &TSpecRowEh::ShowIfNotInKeyList, &TSpecRowEh::SetShowIfNotInKeyList).Default(true);
    b.Prop("Value", &TSpecRowEh::Value, &TSpecRowEh::SetValue).Stored(&TSpecRowEh::IsValueStored);
    b.Prop("Visible", &TSpecRowEh::Visible, &TSpecRowEh::SetVisible).Default(false);
  }
public:
  explicit TSpecRowEh(TPersistent* AOwner = nullptr);
  ~TSpecRowEh() override;
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override { return FOwner; }

  // ---- published
  const String& CellsText() const { return FCellsText; }
  void SetCellsText(const String& Value);
  TColor Color() const;
  void SetColor(TColor Value);
  TFont* Font() const;
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value) { FShortCut = Value; }
  bool ShowIfNotInKeyList() const { return FShowIfNotInKeyList; }
  void SetShowIfNotInKeyList(bool Value);
  const Variant& Value() const { return FValue; }
  void SetValue(const Variant& Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool ColorSet() const { return FColorSet; }
  bool FontSet() const { return FFontSet; }
  bool IsValueStored() const { return !VarIsNull(FValue); }

  // The Index-th cell, empty outside the cells.
  String CellText(int Index) const;
  int CellCount() const { return FCells->Count(); }
  void HoldChanges() { ++FHold; }
  void ReleaseChanges();
  TNotifyEvent OnSpecRowChanged;

private:
  void Changed();
  void FontChanged(TObject* Sender);
  TPersistent* FOwner;
  String FCellsText;
  std::unique_ptr<TStringList> FCells;
  TColor FColor = clWindow;
  std::unique_ptr<TFont> FFont;
  TShortCut FShortCut = scAlt | VK_DELETE;
  bool FShowIfNotInKeyList = true;
  Variant FValue = Null();
  bool FVisible = false;
  bool FColorSet = false;
  bool FFontSet = false;
  bool FFontSyncing = false;
  int FHold = 0;
};

// The cells of a special row's text: items split at ";" or control characters, double-quoted
// items may hold them (a doubled quote stands for one).
std::vector<String> ParseSpecRowCellsEh(const String& Text);

KELM_EVENT(TDataEventRelayEh, void(TDataEvent Event, NativeInt Info));

// A data link that passes every data event on to its hook after handling it.
class TDataLinkEh : public TDataLink {
public:
  TDataEventRelayEh OnDataEventRelay;
  void DataEvent(TDataEvent Event, NativeInt Info) override;
};

// The sorted distinct string values of one field of a dataset.
class IMemTableDataFieldValueListEh {
public:
  virtual ~IMemTableDataFieldValueListEh() = default;
  virtual TStrings* ValueList() = 0;
};

// The distinct values of SourceField in SourceDataSet, built on first request and again after
// the dataset changed (not on mere scrolling or record edits). Shared by reference.
class TDatasetFieldValueListEh : public TObject, public IMemTableDataFieldValueListEh {
public:
  TDatasetFieldValueListEh();
  ~TDatasetFieldValueListEh() override;
  TDataSet* SourceDataSet() const { return FDataLink->DataSet(); }
  void SetSourceDataSet(TDataSet* Value);
  const String& SourceField() const { return FSourceField; }
  void SetSourceField(const String& Value);
  bool Stale() const { return FStale; }
  TStrings* ValueList() override;
  // Walks the dataset; the current record and the controls are restored, also on failure.
  void Reload();

protected:
  virtual void DataSetEvent(TDataEvent Event, NativeInt Info);

private:
  std::unique_ptr<TStringList> FValues;
  std::unique_ptr<TDataSource> FDataSource;
  std::unique_ptr<TDataLinkEh> FDataLink;
  String FSourceField;
  bool FStale = true;
};

// Resolves "A;B;C" to fields of DataSet; the first unknown name raises "Field '%s' not found"
// attributed to Component.
void CollectFieldsByNames(std::vector<TField*>* List, TDataSet* DataSet, const TComponent* Component,
                          const String& Names);
void FieldsByNamesArray(TDataSet* DataSet, const TComponent* Component, const String& Names,
                        std::vector<TField*>& Fields);
// Null clears the named fields; otherwise Value (an array for several names) is written field by
// field. A field refusing its value puts back those already written before the error goes on.
void AssignFieldValues(TDataSet* DataSet, const String& Names, const Variant& Value);
