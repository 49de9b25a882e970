#pragma once
// A shown data grid over a small in-memory table (Code R01..R12, Amount 1..12, Qty, Flag,
// Note as a memo), with the grid's protected hooks opened for the tests and its layout passes
// and deferred-layout messages counted.
#include "GridPaintFixture.h"
#include "grid/DBGridEh.h"
#include "data/MemDataSet.h"
#include "gui/Forms.h"

#include <gtest/gtest.h>

class TProbeDBGrid : public TDBGridEh {
  KELM_CLASS(TProbeDBGrid, TDBGridEh)
public:
  explicit TProbeDBGrid(TComponent* AOwner) : TDBGridEh(AOwner) {}
  int Passes = 0;
  int DeferredMessages = 0;
  using TCustomDBGridEh::CalcSizingState;
  using TCustomDBGridEh::CanEditModify;
  using TCustomDBGridEh::CanEditShow;
  using TCustomDBGridEh::GetEditLimit;
  using TCustomDBGridEh::GetEditText;
  using TCustomDBGridEh::SetEditText;
  void Dispatch(TMessage& M) override {
    if (M.Msg == WM_DEFERREDLAYOUT) ++DeferredMessages;
    TDBGridEh::Dispatch(M);
  }

  // The clip rectangle of each paint since the last clear: what the paint had to draw.
  std::vector<TRect> PaintClips;

protected:
  void LayoutChanged() override {
    ++Passes;
    TDBGridEh::LayoutChanged();
  }
  void Paint() override {
    PaintClips.push_back(Canvas()->ClipRect());
    TDBGridEh::Paint();
  }
};

namespace dbgridtest {

inline TMemDataSet* MakeTable(TComponent* Owner, int Rows) {
  auto* ds = new TMemDataSet(Owner);
  ds->FieldDefs()->Add("Code", ftString, 10);
  ds->FieldDefs()->Add("Amount", ftFloat);
  ds->FieldDefs()->Add("Qty", ftInteger);
  ds->FieldDefs()->Add("Flag", ftString, 5);
  ds->FieldDefs()->Add("Note", ftMemo);
  for (int i = 1; i <= Rows; ++i)
    ds->AddRow({Variant(Format("R%.2d", {i})), Variant(double(i)), Variant(i * 10), Null(), Variant(String("n"))});
  return ds;
}

}  // namespace dbgridtest

class DBGridFixture : public ::testing::Test {
protected:
  TForm* Form = nullptr;
  TProbeDBGrid* Grid = nullptr;
  TMemDataSet* DS = nullptr;
  TDataSource* Source = nullptr;
  int SelectionChanges = 0;

  void SetUp() override {
    EnsureGridTestApplication();
    Form = new TForm(Application);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(20, 20, 520, 360);
    Grid = new TProbeDBGrid(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(0, 0, 500, 340);
    Grid->OnSelectionChanged = TNotifyEvent::Lambda([this](TObject*) { ++SelectionChanges; });
    DS = dbgridtest::MakeTable(Form, 12);
    Source = new TDataSource(Form);
    Source->SetDataSet(DS);
    Grid->SetDataSource(Source);
    DS->Open();
    Grid->DataLink()->SetBufferCount(8);
    Grid->SetRowCount(9);
    Form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    delete Form;
    Application->ProcessMessages();
  }
  TColumnEh* AddColumn(const String& FieldName) {
    TColumnEh* c = Grid->Columns()->AddColumn();
    c->SetFieldName(FieldName);
    return c;
  }
  // The bookmark of record n (1-based); the dataset stays there.
  String Bm(int n) {
    DS->SetRecNo(n);
    return DS->Bookmark();
  }
  void Select(std::initializer_list<int> Records) {
    for (int n : Records) {
      DS->SetRecNo(n);
      Grid->SelectedRows()->SetCurrentRowSelected(true);
    }
  }
  String Code() { return DS->FieldByName("Code")->AsString(); }
  // The codes of the selected rows in list order.
  std::vector<String> SelectedCodes() {
    std::vector<String> r;
    for (int i = 0; i < Grid->SelectedRows()->Count(); ++i) {
      DS->GotoBookmark(Grid->SelectedRows()->Items(i));
      r.push_back(Code());
    }
    return r;
  }
};
