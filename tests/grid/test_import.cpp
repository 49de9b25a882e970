// Reading text and the interchange format back into a shown grid, and its copy, paste and
// delete through the clipboard.
#include "DBGridFixture.h"
#include "grid/DBGridEhImpExp.h"
#include "core/StrUtils.h"
#include "gui/Clipbrd.h"
#include "gui/Dialogs.h"
#include "TempFolder.h"
#include "data/MemDataSet.h"

#include <algorithm>

namespace {

class ImportTest : public DBGridFixture {
protected:
  TColumnEh *CodeCol = nullptr, *AmountCol = nullptr, *QtyCol = nullptr;
  void SetUp() override {
    DBGridFixture::SetUp();
    Clipboard()->Clear();
    CodeCol = AddColumn("Code");
    AmountCol = AddColumn("Amount");
    QtyCol = AddColumn("Qty");
    Grid->SetOptions(Grid->Options() - dgConfirmDelete);
    DS->First();
    Grid->SetSelectedIndex(0);
  }
  void Paste(const String& Text) {
    Clipboard()->SetAsText(Text);
    PasteIntoGrid(Grid, false);
  }
  // Code, Amount and Qty of record n as one text.
  String Rec(int n) {
    DS->SetRecNo(n);
    return Code() + "/" + DS->FieldByName("Amount")->AsString() + "/" + DS->FieldByName("Qty")->AsString();
  }
  String ErrorOf(const std::function<void()>& F) {
    try {
      F();
    } catch (const Exception& e) {
      return e.Message();
    }
    return "";
  }
};

}  // namespace

TEST_F(ImportTest, PastedLinesFillRecordsFromTheCurrentCell) {
  Paste("X1\t5\r\nX2\t6");
  EXPECT_EQ(Rec(1), "X1/5/10");
  EXPECT_EQ(Rec(2), "X2/6/20");
  EXPECT_EQ(Rec(3), "R03/3/30");
  EXPECT_EQ(DS->RecordCount(), 12);
  EXPECT_EQ(DS->State(), dsBrowse) << "every record posted";
  // From the second column on: the first value goes there; surplus values are dropped.
  DS->SetRecNo(4);
  Grid->SetSelectedIndex(1);
  Paste("7\t8\t9\t10\t11");
  EXPECT_EQ(Rec(4), "R04/7/8");
  EXPECT_EQ(Rec(5), "R05/5/50");
}

TEST_F(ImportTest, LineBreaksAndEmptyCells) {
  Paste("A\nB\t\t3");
  EXPECT_EQ(Rec(1), "A\nB//3") << "a lone LF stays in the value; TAB TAB is an empty cell";
  EXPECT_EQ(ErrorOf([&] { Paste("C\rD"); }), "TDBGridEhImportAsText.CheckState: 错误的文本格式");
  EXPECT_EQ(Rec(1), "A\nB//3") << "the record being written is cancelled";
  EXPECT_EQ(DS->State(), dsBrowse);
  Paste("\"q\tr\r\ns\"\"t\"\t4");
  EXPECT_EQ(Rec(1), "q\tr\r\ns\"t/4/3") << "a quoted value keeps its separators";
}

TEST_F(ImportTest, InsertStateAddsEveryLineAndAppendingNeedsPermission) {
  DS->SetRecNo(3);
  DS->Insert();
  Paste("N1\t1\r\nN2\t2\r\n");
  EXPECT_EQ(DS->RecordCount(), 14);
  DS->Locate("Code", Variant("N2"), TLocateOptions());
  EXPECT_EQ(DS->FieldByName("Amount")->AsString(), "2");
  // Three lines at the second-to-last record: two overwrite, the third waits for permission.
  Grid->SetAllowedOperations(Grid->AllowedOperations() - alopAppendEh);
  DS->Last();
  DS->Prior();
  Paste("L1\t1\r\nL2\t2\r\nL3\t3");
  EXPECT_EQ(DS->RecordCount(), 14);
  Grid->SetAllowedOperations(Grid->AllowedOperations() + alopAppendEh);
  DS->Last();
  DS->Prior();
  Paste("M1\t1\r\nM2\t2\r\nM3\t3");
  EXPECT_EQ(DS->RecordCount(), 15);
  DS->Last();
  EXPECT_EQ(Code(), "M3");
}

TEST_F(ImportTest, AFileIsReadToItsLastByteAndOnlyATrailingZeroEnds) {
  TempFolder dir;
  dir.Write("in.txt", Utf8ToGbk("甲\t7"));
  ImportDBGridEhFromFile(NewImporter<TDBGridEhImportAsText>, Grid, dir / "in.txt", false);
  EXPECT_EQ(Rec(1), "甲/7/10") << "the last character is kept, GBK read back";
  dir.Write("in0.txt", String("Z\t8\0", 4));
  DS->First();
  ImportDBGridEhFromFile(NewImporter<TDBGridEhImportAsText>, Grid, dir / "in0.txt", false);
  EXPECT_EQ(Rec(1), "Z/8/10");
}

TEST_F(ImportTest, ABadValueAsksAndNoLeavesNoHalfWrittenRecord) {
  Grid->SetSelectedIndex(2);  // Qty, an integer
  {
    TDialogScript script;
    script.Button(mrNo);
    EXPECT_THROW(Paste("abc"), EAbort) << "No ends silently";
    ASSERT_EQ(script.Asked().size(), 1u);
    EXPECT_EQ(script.Asked()[0].DlgType, mtError);
    EXPECT_EQ(script.Asked()[0].Text.rfind("插入值过程中出错:\n", 0), 0u) << script.Asked()[0].Text;
    EXPECT_NE(script.Asked()[0].Text.find("\n\n忽略错误?"), String::npos);
  }
  EXPECT_EQ(DS->RecordCount(), 12);
  EXPECT_EQ(DS->State(), dsBrowse);
  EXPECT_EQ(Rec(1), "R01/1/10");
  // Yes goes on to the next value; All asks no more.
  DS->First();
  {
    TDialogScript script;
    script.Button(mrYes).Button(mrAll);
    Paste("abc\r\n5\r\nx\r\ny\r\nz\r\n6");
    EXPECT_EQ(script.Asked().size(), 2u);
  }
  EXPECT_EQ(Rec(2), "R02/2/5");
  EXPECT_EQ(Rec(6), "R06/6/6");
}

TEST_F(ImportTest, KeyListTextsOutsideThePickListAreValueErrors) {
  TColumnEh* flag = AddColumn("Flag");
  flag->KeyList()->SetText("Y\r\nN\r\n");
  flag->PickList()->SetText("是\r\n否\r\n");
  Grid->SetSelectedIndex(3);
  Paste("否");
  DS->First();
  EXPECT_EQ(DS->FieldByName("Flag")->AsString(), "N") << "the key of the pick text";
  TDialogScript script;
  script.Button(mrYes);
  Paste("也许");
  EXPECT_EQ(script.Asked().size(), 1u) << "not a silently cleared field";
  DS->First();
  EXPECT_EQ(DS->FieldByName("Flag")->AsString(), "N");
}

// ---------------------------------------------------------------- interchange format

TEST_F(ImportTest, AThreeColumnCopyPastedIntoTwoColumnsWritesTwoValues) {
  CopyGridSelection(Grid, true);
  ASSERT_TRUE(Clipboard()->HasFormat(VcldbifClipboardFormat()));
  QtyCol->SetVisible(false);
  for (int n : {1, 12}) {
    DS->SetRecNo(n);
    DS->Edit();
    DS->FieldByName("Code")->SetAsString("zz");
    DS->FieldByName("Amount")->SetAsFloat(99);
    DS->FieldByName("Qty")->SetAsInteger(555);
    DS->Post();
  }
  DS->First();
  Grid->SetSelectedIndex(0);
  PasteIntoGrid(Grid, false);
  EXPECT_EQ(Rec(1), "R01/1/555") << "the third value has no column";
  EXPECT_EQ(Rec(12), "R12/12/555");
  EXPECT_EQ(DS->RecordCount(), 12);
}

TEST_F(ImportTest, VcldbifLengthsBeyondTheDataAreFormatErrors) {
  String head = String("VCLDBIF\x01", 8) + String("\x01\x00\x00\x00", 4) + String("\x01\x00", 2);
  struct Case {
    const char* What;
    String Data;
  } cases[] = {
      {"a string of 0x7FFFFFFF bytes", head + String("\x05\xFF\xFF\xFF\x7F" "abc", 8)},
      {"a negative length", head + String("\x05\xFF\xFF\xFF\xFF", 5)},
      {"0x7FFFFFFF columns", String("VCLDBIF\x01\xFF\xFF\xFF\x7F\x01\x00", 14)},
      {"a short header", String("VCLDBIF\x01\x01", 9)},
      {"another magic", String("VCLDBIX\x01\x00\x00\x00\x00\x00", 13)},
      {"a missing end tag", head + String("\x03\x01\x00\x00\x00", 5)},
  };
  for (const auto& c : cases) {
    TStringStream s(c.Data);
    EXPECT_EQ(ErrorOf([&] { ImportDBGridEhFromStream(NewImporter<TDBGridEhImportAsVCLDBIF>, Grid, &s, false); }),
              "TDBGridEhImportAsVCLDBIF.ReadPrefix: 错误的 VCLDBIF 格式")
        << c.What;
    EXPECT_EQ(DS->State(), dsBrowse) << c.What;
  }
  EXPECT_EQ(Rec(1), "R01/1/10");
}

// Every header shape with every number of values after it: the import ends, with no more
// records than the values describe (a record per column count, the last one partial), whether
// the end tag follows or the data just stops (a format error then).
TEST_F(ImportTest, VcldbifImportEndsWithNoMoreRecordsThanTheDataDescribes) {
  // One value of each kind in turn: integer, text (a number, so every column takes it), null,
  // unassigned.
  auto value = [](int i) {
    switch (i % 4) {
      case 0: return String("\x03\x07\x00\x00\x00", 5);
      case 1: return String("\x05\x02\x00\x00\x00" "12", 7);
      case 2: return String("\x02", 1);
      default: return String("\x01", 1);
    }
  };
  for (int columns : {0, 1, 3}) {
    for (int values : {0, 1, 2, 5}) {
      for (bool endTag : {true, false}) {
        SCOPED_TRACE(std::to_string(columns) + " columns, " + std::to_string(values) + " values" +
                     (endTag ? ", end tag" : ", no end tag"));
        String data = String("VCLDBIF\x01", 8) + String(reinterpret_cast<const char*>(&columns), 4);
        for (int c = 0; c < columns; ++c) data += String("\x01" "N\0", 3);
        for (int v = 0; v < values; ++v) data += value(v);
        if (endTag) data.push_back('\0');
        int described = columns == 0 ? 0 : (values + columns - 1) / columns;
        for (bool inserting : {true, false}) {
          int before = DS->RecordCount();
          DS->Last();
          if (inserting) DS->Append();
          Grid->SetSelectedIndex(0);
          TStringStream s(data);
          String error = ErrorOf([&] { ImportDBGridEhFromStream(NewImporter<TDBGridEhImportAsVCLDBIF>, Grid, &s, false); });
          if (DS->State() != dsBrowse) DS->Cancel();
          int added = DS->RecordCount() - before;
          EXPECT_LE(added, described) << (inserting ? "appending" : "from the last record");
          bool wellFormed = columns == 0 ? values == 0 : endTag;
          if (wellFormed) {
            EXPECT_EQ(error, "");
            if (inserting) EXPECT_EQ(added, described);
          } else {
            EXPECT_EQ(error, "TDBGridEhImportAsVCLDBIF.ReadPrefix: 错误的 VCLDBIF 格式");
          }
        }
      }
    }
  }
}

// ---------------------------------------------------------------- clipboard

TEST_F(ImportTest, ARectangleCopyHoldsFourFormsEqualToTheirExports) {
  Grid->Selection()->CellRange()->ExtendTo(0, Bm(2), false);
  Grid->Selection()->CellRange()->ExtendTo(1, Bm(3), true);
  ASSERT_EQ(Grid->Selection()->SelectionKind(), gstRectangle);
  DS->Edit();
  DS->FieldByName("Code")->SetAsString("中文");
  DS->Post();
  CopyGridSelection(Grid, false);
  auto exported = [&](TDBGridEhExport* E, TTextEncodingEh Encoding) {
    std::unique_ptr<TDBGridEhExport> e(E);
    e->SetDBGrid(Grid);
    e->SetEncoding(Encoding);
    TStringStream s;
    e->ExportGridToStream(&s, false);
    return s.DataString();
  };
  auto bytes = [](UINT F) {
    TBytes b = Clipboard()->GetAsBytes(F);
    return String(b.begin(), b.end());
  };
  String text = exported(new TDBGridEhExportAsText(), teUtf8);
  EXPECT_EQ(text, "Code\tAmount\r\nR02\t2\r\n中文\t3");
  EXPECT_EQ(Clipboard()->AsText(), text);
  EXPECT_EQ(bytes(CsvClipboardFormat()), exported(new TDBGridEhExportAsCSV(), teUtf8));
  EXPECT_EQ(bytes(RtfClipboardFormat()), exported(new TDBGridEhExportAsRTF(), teUtf8));
  EXPECT_EQ(bytes(VcldbifClipboardFormat()), exported(new TDBGridEhExportAsVCLDBIF(), teGbk));
  EXPECT_EQ(ClipboardFormatMimeType(VcldbifClipboardFormat()), "application/x-kelm-grid");
  EXPECT_EQ(ClipboardFormatMimeType(CsvClipboardFormat()), "text/csv");
  EXPECT_EQ(ClipboardFormatMimeType(RtfClipboardFormat()), "text/rtf");
  EXPECT_FALSE(DS->ControlsDisabled());
}

// ---------------------------------------------------------------- delete

TEST_F(ImportTest, DeleteAsksByKindAndClearsOrDeletes) {
  Grid->SetOptions(Grid->Options() + dgConfirmDelete);
  Select({2, 4});
  Grid->Selection()->ChangeKind(gstRecordBookmarks);
  {
    TDialogScript script;
    script.Button(mrCancel);
    DeleteGridSelection(Grid, false);
    ASSERT_EQ(script.Asked().size(), 1u);
    EXPECT_EQ(script.Asked()[0].Text, "Delete all selected records?");
  }
  EXPECT_EQ(DS->RecordCount(), 12);
  {
    TDialogScript script;
    script.Button(mrOk);
    DeleteGridSelection(Grid, false);
  }
  EXPECT_EQ(DS->RecordCount(), 10);
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstNon);
  // A block is cleared, its position kept.
  Grid->Selection()->CellRange()->ExtendTo(1, Bm(1), false);
  Grid->Selection()->CellRange()->ExtendTo(2, Bm(2), true);
  DS->SetRecNo(5);
  {
    TDialogScript script;
    script.Button(mrOk);
    DeleteGridSelection(Grid, false);
    EXPECT_EQ(script.Asked().at(0).Text, "清除选择的单元?");
  }
  EXPECT_EQ(DS->RecNo(), 5);
  EXPECT_EQ(Rec(1), "R01//");
  EXPECT_EQ(Rec(2), "R03//");
  EXPECT_EQ(Rec(3), "R05/5/50");
  // The whole grid asks too under the option, and empties the table.
  {
    TDialogScript script;
    script.Button(mrOk);
    DeleteGridSelection(Grid, true);
    EXPECT_EQ(script.Asked().size(), 1u);
  }
  EXPECT_TRUE(DS->IsEmpty());
}

TEST_F(ImportTest, WithoutTheOptionTheWholeGridGoesWithoutAsking) {
  TDialogScript script;
  DeleteGridSelection(Grid, true);
  EXPECT_TRUE(script.Asked().empty());
  EXPECT_TRUE(DS->IsEmpty());
}

TEST_F(ImportTest, ABlockWhoseEndRecordIsGoneIsNeitherClearedNorPastedInto) {
  Grid->Selection()->CellRange()->ExtendTo(0, Bm(2), false);
  Grid->Selection()->CellRange()->ExtendTo(1, Bm(3), true);
  DS->SetRecNo(3);
  DS->Delete();
  DeleteGridSelection(Grid, false);
  EXPECT_EQ(Rec(2), "R02/2/20");
  Paste("P\t1\r\nQ\t2");
  EXPECT_EQ(Rec(2), "R02/2/20");
  EXPECT_EQ(Rec(3), "R04/4/40");
}

TEST_F(ImportTest, CutCopiesThenDeletes) {
  Select({5});
  Grid->Selection()->ChangeKind(gstRecordBookmarks);
  CutGridSelection(Grid, false);
  EXPECT_EQ(DS->RecordCount(), 11);
  EXPECT_EQ(Clipboard()->AsText(), "Code\tAmount\tQty\r\nR05\t5\t50");
}

// ---------------------------------------------------------------- lookups and failing posts

namespace {

// Orders with a lookup of the customer's name through CustCode, shown by a grid.
class LookupImportTest : public ::testing::Test {
protected:
  TComponent Owner{nullptr};
  TMemDataSet *Cust = nullptr, *Orders = nullptr;
  TField* CustCode = nullptr;
  TDBGridEh* Grid = nullptr;

  template <class T> T* AddField(const char* Name, TFieldKind Kind = fkData) {
    auto* f = new T(&Owner);
    f->SetFieldName(Name);
    f->SetFieldKind(Kind);
    f->SetDataSet(Orders);
    return f;
  }
  void SetUp() override {
    EnsureGridTestApplication();
    Clipboard()->Clear();
    Cust = new TMemDataSet(&Owner);
    Cust->FieldDefs()->Add("Code", ftString, 10);
    Cust->FieldDefs()->Add("Name", ftWideString, 30);
    Cust->AddRow({Variant("K1"), Variant(String("北京分公司"))});
    Cust->AddRow({Variant("K2"), Variant(String("北京"))});
    Cust->Open();
    Orders = new TMemDataSet(&Owner);
    Orders->FieldDefs()->Add("OrderNo", ftInteger);
    Orders->FieldDefs()->Add("CustCode", ftString, 10);
    for (int i = 1; i <= 3; ++i) Orders->AddRow({Variant(i), Null()});
    AddField<TIntegerField>("OrderNo");
    CustCode = AddField<TStringField>("CustCode");
    TField* name = AddField<TWideStringField>("CustName", fkLookup);
    name->SetKeyFields("CustCode");
    name->SetLookupDataSet(Cust);
    name->SetLookupKeyFields("Code");
    name->SetLookupResultField("Name");
    Orders->Open();
    auto* src = new TDataSource(&Owner);
    src->SetDataSet(Orders);
    Grid = new TDBGridEh(&Owner);
    Grid->SetDataSource(src);
    Grid->Columns()->AddColumn()->SetFieldName("CustName");
    Orders->First();
  }
  String Codes() {
    String r;
    for (Orders->First(); !Orders->Eof(); Orders->Next()) r += (CustCode->IsNull() ? "-" : CustCode->AsString()) + " ";
    return r;
  }
};

}  // namespace

TEST_F(LookupImportTest, AWholeNameBeatsAPrefixAndAnUnknownNameAsks) {
  TDialogScript script;
  script.Button(mrYes);
  Clipboard()->SetAsText("北京\r\n北京分\r\n上海");
  PasteIntoGrid(Grid, false);
  EXPECT_EQ(Codes(), "K2 K1 - ");
  ASSERT_EQ(script.Asked().size(), 1u) << "no silent skip of 上海";
  EXPECT_NE(script.Asked()[0].Text.find("上海"), String::npos);
}

TEST_F(LookupImportTest, AFailingPostCancelsThatRecordOnlyAndReachesTheCaller) {
  Orders->OnWrite = [](const TRowUpdate&) {
    static int writes = 0;
    if (++writes == 2) throw Exception("the database refuses the row");
  };
  Clipboard()->SetAsText("北京\r\n北京\r\n北京");
  try {
    PasteIntoGrid(Grid, false);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "the database refuses the row");
  }
  EXPECT_EQ(Orders->State(), dsBrowse) << "no half-posted record";
  EXPECT_FALSE(Orders->ControlsDisabled());
  EXPECT_EQ(Codes(), "K2 - - ") << "the record before stays";
}

// The interchange format carries a lookup column's key, not its shown text, and a paste
// writes the key back.
TEST_F(LookupImportTest, TheInterchangeFormatCarriesTheLookupKey) {
  Orders->First();
  Orders->Edit();
  CustCode->SetAsString("K2");
  Orders->Post();
  Grid->Selection()->CellRange()->ExtendTo(0, Orders->Bookmark(), false);
  Grid->Selection()->CellRange()->ExtendTo(0, Orders->Bookmark(), true);
  Grid->Selection()->ChangeKind(gstRectangle);
  TStringStream s;
  ExportDBGridEhToStream(NewExporter<TDBGridEhExportAsVCLDBIF>, Grid, &s, false);
  String v = s.DataString();
  ASSERT_EQ(v.size(), 14u + 7 + 1) << "one column's header, one value, the end";
  EXPECT_EQ(v.substr(14, 7), String("\x05\x02\x00\x00\x00K2", 7)) << "the key, not 北京";
  CopyGridSelection(Grid, false);
  Orders->Next();
  Grid->Selection()->Reset();
  PasteIntoGrid(Grid, false);
  EXPECT_EQ(Codes(), "K2 K2 - ");
}

// Binary values go into the interchange format byte for byte; text goes in the file's code
// page.
TEST(VcldbifBlob, BytesStayAsTheyAre) {
  EnsureGridTestApplication();
  TComponent owner(nullptr);
  auto* ds = new TMemDataSet(&owner);
  ds->FieldDefs()->Add("Data", ftBlob);
  ds->FieldDefs()->Add("Name", ftString, 20);
  const String bytes("\xFF\x00\x80\xE4\xB8\xAD", 6);
  ds->AddRow({Variant(bytes), Variant(String("中"))});
  ds->AddRow({Null(), Null()});
  auto* src = new TDataSource(&owner);
  src->SetDataSet(ds);
  auto* grid = new TDBGridEh(&owner);
  grid->SetDataSource(src);
  grid->Columns()->AddColumn()->SetFieldName("Data");
  grid->Columns()->AddColumn()->SetFieldName("Name");
  grid->SetOptions(grid->Options() - dgTitles);
  ds->Open();
  TStringStream s;
  ExportDBGridEhToStream(NewExporter<TDBGridEhExportAsVCLDBIF>, grid, &s, true);
  String v = s.DataString();
  String record = v.substr(12 + 4);
  EXPECT_EQ(record.substr(0, 11), String("\x06\x06\x00\x00\x00", 5) + bytes);
  EXPECT_EQ(record.substr(11, 7), String("\x05\x02\x00\x00\x00\xD6\xD0", 7)) << "中 in GBK";
  // Read back into the second record: the text in its own code page again; a binary column
  // cannot be edited in the grid and is left alone.
  ds->Last();
  grid->SetSelectedIndex(0);
  String second = v.substr(0, 16) + record.substr(0, 18) + String(1, '\0');
  TStringStream in(second);
  ImportDBGridEhFromStream(NewImporter<TDBGridEhImportAsVCLDBIF>, grid, &in, false);
  ds->Last();
  EXPECT_EQ(ds->FieldByName("Name")->AsString(), "中");
  EXPECT_TRUE(ds->FieldByName("Data")->IsNull());
}

// Records deleted since they were selected are left out of every walk.
TEST_F(ImportTest, SelectedRowsThatAreGoneAreSkipped) {
  Select({2, 4, 6});
  Grid->Selection()->ChangeKind(gstRecordBookmarks);
  DS->SetRecNo(4);
  DS->Delete();
  TStringStream s;
  ExportDBGridEhToStream(NewExporter<TDBGridEhExportAsText>, Grid, &s, false);
  EXPECT_EQ(s.DataString(), "Code\tAmount\tQty\r\nR02\t2\t20\r\nR06\t6\t60");
  DeleteGridSelection(Grid, false);
  EXPECT_EQ(DS->RecordCount(), 9);
  DS->First();
  EXPECT_EQ(Code(), "R01");
}

// Clearing selected columns asks under the option, as a block does.
TEST_F(ImportTest, ClearingColumnsAsksToo) {
  Grid->SetOptions(Grid->Options() + dgConfirmDelete);
  DS->SetRecNo(3);
  Grid->Selection()->ColumnSet()->ToggleColumn(AmountCol);
  ASSERT_EQ(Grid->Selection()->SelectionKind(), gstColumns);
  TDialogScript script;
  script.Button(mrOk);
  DeleteGridSelection(Grid, false);
  ASSERT_EQ(script.Asked().size(), 1u);
  EXPECT_EQ(script.Asked()[0].Text, "清除选择的单元?");
  EXPECT_EQ(DS->RecNo(), 3);
  EXPECT_EQ(Rec(1), "R01//10");
  EXPECT_EQ(Rec(12), "R12//120");
}

TEST_F(ImportTest, EditActionsRunOnlyWhenTheGridOffersThem) {
  Grid->SetEditActions(TDBGridEhEditActions{geaCopyEh, geaSelectAllEh});
  Clipboard()->SetAsText("X\t1");
  EXPECT_FALSE(ExecuteGridEditAction(Grid, geaPasteEh));
  EXPECT_EQ(Rec(1), "R01/1/10");
  EXPECT_FALSE(ExecuteGridEditAction(Grid, geaDeleteEh));
  EXPECT_EQ(DS->RecordCount(), 12);
  EXPECT_TRUE(ExecuteGridEditAction(Grid, geaSelectAllEh));
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstAll);
  EXPECT_TRUE(ExecuteGridEditAction(Grid, geaCopyEh));
  String copied = Clipboard()->AsText();
  EXPECT_EQ(std::count(copied.begin(), copied.end(), '\n'), 12) << "the title and twelve records";
  Grid->SetEditActions(Grid->EditActions() + geaDeleteEh);
  EXPECT_TRUE(ExecuteGridEditAction(Grid, geaDeleteEh));
  EXPECT_TRUE(DS->IsEmpty());
}
