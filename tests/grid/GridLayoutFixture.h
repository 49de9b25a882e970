#pragma once
// A shown grid whose paintings are read back at probe pixels; a failing test keeps its
// picture as a PNG file under screenshots/. PaintGrid puts a small table of its own behind it.
#include "DBGridFixture.h"

#include <filesystem>
#include <initializer_list>
#include <utility>

class LayoutGrid : public DBGridFixture, public TPaintSurface {
protected:
  void SetUp() override {
    DBGridFixture::SetUp();
    Grid->SetBorderStyle(bsNone);
  }
  void TearDown() override {
    if (HasFailure() && Bitmap) {
      std::filesystem::create_directories("screenshots");
      const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
      Bitmap->SaveToPngFile(String("screenshots/layout_") + info->name() + ".png");
    }
    DBGridFixture::TearDown();
  }
  // The grid's pixels as it paints them now.
  void Snap() {
    Application->ProcessMessages();
    Reset(Grid->Width(), Grid->Height());
    Grid->PaintTo(Canvas(), 0, 0);
  }
  void Columns(std::initializer_list<const char*> Fields) {
    TDBGridEhLayoutLock lock(Grid);
    for (const char* f : Fields) AddColumn(f);
  }
  int LineHeight(TFont* Font) {
    TBitmap b;
    b.SetSize(4, 4);
    b.Canvas()->Font()->Assign(Font);
    TEXTMETRIC tm;
    GetTextMetrics(b.Canvas()->Handle(), &tm);
    return tm.tmHeight + tm.tmExternalLeading;
  }
  int TextHeight(TFont* Font) {
    TBitmap b;
    b.SetSize(4, 4);
    b.Canvas()->Font()->Assign(Font);
    return b.Canvas()->TextHeight("Wg");
  }
  bool Dark(COLORREF C) { return GetRValue(C) < 100 && GetGValue(C) < 100 && GetBValue(C) < 100; }
  TRect Cell(int Col, int Row) { return Grid->CellRect(Col, Row); }
};

// A grid over its own small table.
class PaintGrid : public LayoutGrid {
protected:
  TMemDataSet* T = nullptr;
  void Table(std::initializer_list<std::pair<const char*, TFieldType>> Fields,
             std::initializer_list<std::vector<Variant>> Rows) {
    T = new TMemDataSet(Form);
    for (auto& [name, type] : Fields) T->FieldDefs()->Add(name, type, type == ftString ? 20 : 0);
    for (const auto& r : Rows) T->AddRow(r);
    Source->SetDataSet(T);
    T->Open();
    Application->ProcessMessages();
  }
  TColumnEh* Col(int I) { return Grid->Columns()->Items(I); }
  TRect DataCell(int DataCol, int DataRow) {
    return Cell(Grid->DataToRawColumn(DataCol), Grid->TopDataOffset() + DataRow);
  }
  TRect Inner(TRect R, int D = 2) {
    InflateRect(R, -D, -D);
    return R;
  }
  // The one colour that fills most of the cell.
  COLORREF Fill(const TRect& R) { return Pixel(R.Left + 2, R.Top + 2); }
};
