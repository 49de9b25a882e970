#pragma once
// What the program's lists give out, read back by the programs a person reads them with: the
// preview's pages printed to PDF and read by pdftotext, an exported spreadsheet converted to
// CSV by the office suite, and the grid as those files should show it. The program's windows
// are made through ProgramStart.h: the data module's header and the print layer's cannot
// share a unit.
#include "../platform/print/PrintTestUtil.h"
#include "OfficeConvert.h"
#include "ProgramFolder.h"
#include "ProgramStart.h"

#include "core/FileUtils.h"
#include "core/StringList.h"
#include "grid/DBGridEh.h"
#include "grid/PrViewEh.h"
#include "grid/PrViewFormEh.h"
#include "gui/Dialogs.h"

#include <vector>

class ListOutputFixture : public ::testing::Test {
protected:
  void TearDown() override {
    if (SharedPreviewForm()) SharedPreviewForm()->Close();
    RenewApplication();
  }
  // The pages in the shown preview printed to a PDF file; their text as pdftotext reads it.
  std::string PreviewAsPdf(const String& Name) {
    TPreviewFormEh* form = SharedPreviewForm();
    EXPECT_NE(form, nullptr);
    if (!form) return "";
    EXPECT_TRUE(form->Visible());
    String file = Dir / (Name + ".pdf");
    {
      TDialogScript script;
      script.Print("PDF", 0, 0, file);
      form->PreviewEh1->PrintPages();
    }
    return printtest::PdfText(file);
  }
  // The grid as the office suite should read it: titles, each row's field texts (numbers as
  // the cell's number, not the column's format; an empty value a blank cell, whatever the
  // grid shows for it, such as "(Memo)"), then the footer row the export writes below the
  // rows.
  static std::vector<String> GridLines(TCustomDBGridEh* Grid) {
    std::vector<String> lines;
    String titles;
    TDBGridColumnsEh* columns = Grid->Columns();
    for (int i = 0; i < columns->Count(); ++i) titles += (i ? "," : "") + columns->Items(i)->Title()->Caption();
    lines.push_back(titles);
    TDataSet* d = Grid->DataSource()->DataSet();
    for (d->First(); !d->Eof(); d->Next()) {
      String row;
      for (int i = 0; i < columns->Count(); ++i) {
        TField* f = columns->Items(i)->Field();
        row += (i ? "," : "") + (f->IsNull() ? String() : f->DisplayText());
      }
      lines.push_back(row);
    }
    d->First();
    if (auto* g = dynamic_cast<TDBGridEh*>(Grid); g && g->FooterRowCount() > 0) {
      String footer;
      for (int i = 0; i < columns->Count(); ++i) footer += (i ? "," : "") + g->GetFooterText(0, columns->Items(i));
      lines.push_back(footer);
    }
    return lines;
  }
  // The spreadsheet Dir/Name.xls as the office suite reads it, a line a row.
  std::vector<String> XlsLines(const String& Name) {
    String xls = Dir / (Name + ".xls");
    EXPECT_TRUE(FileExists(xls));
    String csv = ConvertWithOffice(Dir, xls, "csv:Text - txt - csv (StarCalc):44,34,76", ".csv");
    TStringList rows;
    rows.SetText(csv);
    std::vector<String> lines;
    for (int i = 0; i < rows.Count(); ++i) lines.push_back(rows.Strings(i));
    return lines;
  }

  TProgramFolder Folder;
  TempFolder Dir;
};
