// The grid's exporters over a SQLite table: the spreadsheet records byte for byte, text and
// CSV, the interchange format, rich text, and files that are only replaced by a whole export.
#include "ExportFixture.h"
#include "data/MemDataSet.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

using namespace exporttest;

namespace {

std::vector<String> FolderEntries(const String& Path) {
  std::vector<String> r;
  for (const auto& e : std::filesystem::directory_iterator(Path)) r.push_back(e.path().filename().string());
  std::sort(r.begin(), r.end());
  return r;
}

int Count(const String& S, const String& What) {
  int n = 0;
  for (std::size_t p = S.find(What); p != String::npos; p = S.find(What, p + What.size())) ++n;
  return n;
}

}  // namespace

// ---------------------------------------------------------------- spreadsheet

TEST_F(ExportFixture, XlsExportAllWritesEveryCellKindAndTheFooterTotals) {
  String xls = Export<TDBGridEhExportAsXLS>();
  EXPECT_EQ(Hex(xls.substr(0, 12)), "09 08 08 00 00 00 10 00 00 00 00 00") << "BOF";
  EXPECT_EQ(Hex(xls.substr(12, 6)), "42 00 02 00 A8 03") << "the code page 936 right after BOF";
  EXPECT_EQ(Hex(xls.substr(xls.size() - 4)), "0A 00 00 00") << "EOF last";
  auto cells = XlsCells(ReadXls(xls));
  ASSERT_EQ(cells.size(), 7u * 5) << "title, three records and the footer row, seven columns each";
  // Title row.
  EXPECT_EQ(cells[P(0, 0)].Label(), "编号");
  EXPECT_EQ(cells[P(0, 1)].Label(), "金额|数值") << "captions as they are";
  // Record 1.
  const TXlsRecord& id = cells[P(1, 0)];
  EXPECT_EQ(id.Type, 0x027E);
  EXPECT_EQ(Hex(id.Body.substr(6)), "AA 00 00 00") << "RK of 42";
  EXPECT_EQ(cells[P(1, 1)].Type, 0x0203);
  EXPECT_DOUBLE_EQ(cells[P(1, 1)].Number(), 1.5);
  EXPECT_DOUBLE_EQ(cells[P(1, 2)].Number(), 10.25) << "currency as NUMBER";
  EXPECT_EQ(cells[P(1, 3)].Label(), "2024-01-02") << "a date as its display text";
  EXPECT_EQ(cells[P(1, 4)].Label(), "合同名称");
  EXPECT_EQ(cells[P(1, 5)].Type, 0x0204) << "a Boolean as its text";
  EXPECT_EQ(cells[P(1, 6)].Label(), "启用") << "a key list writes its pick text, not the key";
  // Record 2: nulls.
  for (int c : {0, 1, 3}) {
    EXPECT_EQ(cells[P(2, c)].Type, 0x0201) << "column " << c;
    EXPECT_EQ(cells[P(2, c)].FormatIndex(), 0x0017);
    EXPECT_EQ(cells[P(2, c)].Body.size(), 6u);
  }
  EXPECT_EQ(cells[P(2, 6)].Label(), "停用");
  // Record 3: beyond the RK range.
  EXPECT_EQ(cells[P(3, 0)].Type, 0x0203) << "2^30 would wrap in an RK";
  EXPECT_DOUBLE_EQ(cells[P(3, 0)].Number(), 1073741824.0);
  // Footer row.
  EXPECT_EQ(cells[P(4, 1)].Type, 0x0203);
  EXPECT_DOUBLE_EQ(cells[P(4, 1)].Number(), 3.75) << "1.5 + null + 2.25";
  EXPECT_DOUBLE_EQ(cells[P(4, 4)].Number(), 3) << "the count counts records with nulls too";
  EXPECT_EQ(cells[P(4, 0)].Type, 0x0204);
  EXPECT_EQ(cells[P(4, 0)].Body.size(), 8u) << "an empty LABEL for a footer without value";
}

TEST_F(ExportFixture, XlsWithoutTitlesStartsAtRowZeroAndFooterRowsFollow) {
  Grid->SetOptions(Grid->Options() - dgTitles);
  Grid->SetFooterRowCount(0);
  auto recs = ReadXls(Export<TDBGridEhExportAsXLS>());
  auto cells = XlsCells(recs);
  EXPECT_EQ(cells.size(), 7u * 3);
  EXPECT_EQ(cells[P(0, 4)].Label(), "合同名称") << "the first record is row 0";
  int maxRow = 0;
  for (const auto& [rc, rec] : cells) maxRow = std::max(maxRow, rc.first);
  EXPECT_EQ(maxRow, 2);
}

TEST_F(ExportFixture, XlsLabelsAreCutAtACharacterBoundary) {
  Query->Edit();
  String longText;
  for (int i = 0; i < 200; ++i) longText += "合";
  Query->FieldByName("name")->SetAsString(longText);
  Query->Post();
  Grid->SetOptions(Grid->Options() - dgTitles);
  auto cells = XlsCells(ReadXls(Export<TDBGridEhExportAsXLS>()));
  const TXlsRecord& label = cells[P(0, 4)];
  EXPECT_EQ(label.Word(6), 254) << "127 whole characters of two bytes; 255 would split one";
  EXPECT_EQ(label.Body.size(), 8u + 254);
  EXPECT_EQ(label.Label(), longText.substr(0, 127 * 3));
}

TEST(XlsExport, MoreRowsThanASheetHoldsFailInsteadOfWrapping) {
  TComponent owner(nullptr);
  auto* ds = new TMemDataSet(&owner);
  ds->FieldDefs()->Add("N", ftInteger);
  for (int i = 0; i < TDBGridEhExportAsXLS::MaxRows + 1; ++i) ds->AddRow({Variant(i)});
  auto* src = new TDataSource(&owner);
  src->SetDataSet(ds);
  auto* grid = new TDBGridEh(&owner);
  grid->SetDataSource(src);
  grid->Columns()->AddColumn()->SetFieldName("N");
  grid->SetOptions(grid->Options() - dgTitles);
  ds->Open();
  TStringStream s;
  try {
    ExportDBGridEhToStream(NewExporter<TDBGridEhExportAsXLS>, grid, &s, true);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Too many rows for a worksheet: it holds at most 65536");
  }
  ds->SetRecNo(1);
  grid->SetOptions(grid->Options() + dgTitles);
  ds->Last();
  ds->Delete();
  ds->Delete();  // 65,535 records and the title fill the sheet exactly
  TStringStream full;
  ExportDBGridEhToStream(NewExporter<TDBGridEhExportAsXLS>, grid, &full, true);
  auto recs = ReadXls(full.DataString());
  EXPECT_EQ(recs[recs.size() - 2].Row(), 65535);
}

// ---------------------------------------------------------------- text and CSV

TEST_F(ExportFixture, CsvQuotesEveryCellAndTextSeparatesWithTabs) {
  for (TColumnEh* c : {Id, Amount, Signed, Done, State}) c->SetVisible(false);
  String csv = GbkToUtf8(Export<TDBGridEhExportAsCSV>());
  EXPECT_EQ(csv, "\"金额|货币\";\"合同名称\"\r\n\"10.25\";\"合同名称\"\r\n\"0\";\"a\"\"b\"\r\n\"5\";\"项目{A}\\x\"\r\n\"\";\"3\"");
  String text = GbkToUtf8(Export<TDBGridEhExportAsText>());
  EXPECT_EQ(text, "金额|货币\t合同名称\r\n10.25\t合同名称\r\n0\ta\"b\r\n5\t项目{A}\\x\r\n\t3") << "no line end after the last row";
  EXPECT_NE(Export<TDBGridEhExportAsText>().find("\xBA\xCF\xCD\xAC"), String::npos) << "files carry GBK";
}

TEST_F(ExportFixture, NothingSelectedWritesNothingInAnyFormat) {
  ASSERT_EQ(Grid->Selection()->SelectionKind(), gstNon);
  EXPECT_EQ(Export<TDBGridEhExportAsText>(false), "");
  EXPECT_EQ(Export<TDBGridEhExportAsCSV>(false), "");
  EXPECT_EQ(Export<TDBGridEhExportAsXLS>(false), "");
  EXPECT_EQ(Export<TDBGridEhExportAsVCLDBIF>(false), "");
  EXPECT_EQ(Export<TDBGridEhExportAsRTF>(false), "") << "an empty walk leaves no empty document";
}

TEST_F(ExportFixture, TextQuotesValuesHoldingItsSeparators) {
  for (TColumnEh* c : {Id, Amount, Money, Signed, Done, State}) c->SetVisible(false);
  Grid->SetOptions(Grid->Options() - dgTitles);
  Grid->SetFooterRowCount(0);
  Query->SetRecNo(2);
  Query->Edit();
  Query->FieldByName("name")->SetAsString("x\ty\r\nz");
  Query->Post();
  EXPECT_EQ(GbkToUtf8(Export<TDBGridEhExportAsText>()), "合同名称\r\n\"x\ty\r\nz\"\r\n项目{A}\\x");
}

TEST_F(ExportFixture, SelectionKindsChooseRecordsAndColumns) {
  Grid->SetOptions(Grid->Options() - dgTitles);
  Grid->SetFooterRowCount(0);
  // Selected rows: in dataset order, all visible columns.
  Query->SetRecNo(3);
  Grid->SelectedRows()->SetCurrentRowSelected(true);
  Query->SetRecNo(1);
  Grid->SelectedRows()->SetCurrentRowSelected(true);
  Grid->Selection()->ChangeKind(gstRecordBookmarks);
  String rows = GbkToUtf8(Export<TDBGridEhExportAsText>(false));
  EXPECT_EQ(Count(rows, "\r\n"), 1);
  EXPECT_EQ(rows.substr(0, 3), "42\t");
  // A block: columns 4..5 of records 2..3.
  Grid->Selection()->Reset();
  SelectBlock(4, 2, 5, 3);
  EXPECT_EQ(GbkToUtf8(Export<TDBGridEhExportAsText>(false)), "a\"b\tFalse\r\n项目{A}\\x\tFalse");
  EXPECT_EQ(Query->RecNo(), 3) << "the position the block left is restored";
}

TEST_F(ExportFixture, ABlockWhoseBottomRecordIsGoneRunsToTheEnd) {
  Grid->SetOptions(Grid->Options() - dgTitles);
  Grid->SetFooterRowCount(0);
  SelectBlock(4, 1, 4, 2);
  Query->SetRecNo(2);
  Query->Delete();
  EXPECT_EQ(GbkToUtf8(Export<TDBGridEhExportAsText>(false)), "合同名称\r\n项目{A}\\x");
}

TEST_F(ExportFixture, CellParameterEventsSeeAndChangeWhatIsExported) {
  int gridCalls = 0;
  Grid->OnGetCellParams = TGetCellEhParamsEvent::Lambda(
      [&](TObject*, TColumnEh* Column, TFont*, TColor& Background, TGridDrawState) {
        ++gridCalls;
        if (Column == Name) Background = clRed;
      });
  TColor seen = clNone;
  Name->SetOnGetCellParams(TGetColCellParamsEventEh::Lambda([&](TObject*, bool EditMode, TColCellParamsEh* P) {
    EXPECT_FALSE(EditMode);
    seen = P->Background();
    P->SetText(P->Text() + "!");
  }));
  Grid->OnGetFooterParams = TGetFooterParamsEvent::Lambda(
      [&](TObject*, int, int, TColumnEh* Column, TFont*, TColor&, TAlignment&, TGridDrawState, String& Text) {
        if (Column == Name) Text = "共" + Text + "份";
      });
  String text = GbkToUtf8(Export<TDBGridEhExportAsText>());
  EXPECT_EQ(gridCalls, 7 * 3);
  EXPECT_EQ(seen, clRed) << "the column's event sees the background the grid's left";
  EXPECT_NE(text.find("合同名称!"), String::npos);
  EXPECT_NE(text.find("\t共3份\t"), String::npos);
}

TEST_F(ExportFixture, FooterTotalsFollowTheSummedFieldsFormat) {
  Grid->SetFooterRowCount(2);
  Id->Footer()->SetValueType(fvtSum);
  Money->Footer()->SetValueType(fvtSum);
  Id->Footers()->Add()->SetValueType(fvtSum);
  Id->Footers()->Add()->SetValueType(fvtAvg);
  auto* amount = static_cast<TFloatField*>(Query->FieldByName("amount"));
  amount->SetDisplayFormat("0.000");
  Grid->SetOptions(Grid->Options() - dgTitles);
  String text = GbkToUtf8(Export<TDBGridEhExportAsText>());
  auto lines = Split(text, "\r\n");
  ASSERT_EQ(lines.size(), 5u);
  auto footer0 = Split(lines[3], "\t");
  EXPECT_EQ(footer0[0], "1073741866") << "an integer sum in decimal";
  EXPECT_EQ(footer0[1], "3.750") << "the field's display format";
  auto footer1 = Split(lines[4], "\t");
  EXPECT_EQ(footer1[0], Grid->GetFooterText(1, Id)) << "an average is the grid's own footer text";
}

// ---------------------------------------------------------------- interchange format

TEST_F(ExportFixture, VcldbifHeaderTagsAndEnd) {
  for (TColumnEh* c : {Signed, Done, State, Money}) c->SetVisible(false);
  String v = Export<TDBGridEhExportAsVCLDBIF>();
  EXPECT_EQ(Hex(v.substr(0, 18)), "56 43 4C 44 42 49 46 01 03 00 00 00 01 00 01 00 01 00")
      << "12 bytes and two per column";
  String r1 = v.substr(18, 5 + 9 + 5 + 8);
  EXPECT_EQ(Hex(r1.substr(0, 5)), "03 2A 00 00 00") << "integer 42";
  EXPECT_EQ(r1[5], '\x04');
  EXPECT_EQ(Hex(r1.substr(14, 5)), "06 08 00 00 00") << "a wide string: its 8 GBK bytes as binary";
  EXPECT_EQ(GbkToUtf8(r1.substr(19, 8)), "合同名称");
  String r2 = v.substr(18 + r1.size(), 2);
  EXPECT_EQ(Hex(r2), "02 02") << "two nulls";
  EXPECT_EQ(v.back(), '\0') << "the end tag";
  // Record 3 holds 2^30, 2.25 and the 9 GBK bytes of 项目{A}\x; the footer row adds nothing.
  EXPECT_EQ(v.size(), 18u + r1.size() + (2 + 5 + 3) + (5 + 9 + 5 + 9) + 1);
}

// ---------------------------------------------------------------- rich text

TEST_F(ExportFixture, RtfTablesHoldOnlyTheColoursAndFontsUsed) {
  Grid->SetFooterRowCount(0);
  Grid->SetOptions(Grid->Options() - dgTitles);
  for (TColumnEh* c : {Id, Amount, Signed, Done, State}) c->SetVisible(false);
  Money->SetColor(clWhite);
  Name->SetColor(clWhite);
  Money->Font()->SetSize(12);
  Money->SetWidth(64);
  Name->SetWidth(64);
  String rtf = Export<TDBGridEhExportAsRTF>();
  EXPECT_EQ(rtf.substr(0, 13), "{\\rtf0\\ansi\r\n");
  EXPECT_NE(rtf.find("{\\colortbl\\red0\\green0\\blue0;\\red255\\green255\\blue255;\\red"), String::npos);
  EXPECT_EQ(Count(rtf.substr(0, rtf.find("}\r\n")), ";"), 3) << "black, white, button face";
  String fonts = rtf.substr(rtf.find("{\\fonttbl"));
  fonts = fonts.substr(0, fonts.find("}\r\n"));
  EXPECT_EQ(Count(fonts, "\\fnil"), 1) << "fonts differing in size share an entry";
  Money->Font()->SetName(UpperCase(Name->Font()->Name()));
  String upper = Export<TDBGridEhExportAsRTF>();
  EXPECT_EQ(Count(upper.substr(0, upper.find("\\trowd")), "\\fnil"), 1) << "names compared without case";
  EXPECT_NE(rtf.find("\\fs24\\f0\\cf0\\cb1 10.25\\cell}"), String::npos);
  // Column right edges add up in twips: 64 pixels at 96 per inch are 960.
  EXPECT_NE(rtf.find("\\cellx960\r\n"), String::npos);
  EXPECT_NE(rtf.find("\\cellx1920\r\n"), String::npos);
  EXPECT_NE(rtf.find("\\sb24\\sa24"), String::npos) << "a 3-D grid";
  Grid->SetFlat(true);
  EXPECT_NE(Export<TDBGridEhExportAsRTF>().find("\\sb12\\sa12"), String::npos);
  // Braces balance outside escapes; the values' own are escaped.
  int depth = 0;
  for (std::size_t i = 0; i < rtf.size(); ++i) {
    if (rtf[i] == '\\') {
      ++i;
      continue;
    }
    depth += rtf[i] == '{' ? 1 : rtf[i] == '}' ? -1 : 0;
    ASSERT_GE(depth, 0);
  }
  EXPECT_EQ(depth, 0);
  EXPECT_NE(rtf.find("\\u-26503?\\u30446?\\{A\\}\\\\x"), String::npos) << "项目{A}\\x escaped";
  EXPECT_EQ(rtf.find("\\clshdng"), String::npos) << "cell colours as backgrounds";
  EXPECT_NE(rtf.find("\\clcbpat1\\cellx"), String::npos);
}

TEST(RtfText, EscapesControlWordsLineBreaksAndWideCharacters) {
  EXPECT_EQ(RtfEscaped("a\\b{c}"), "a\\\\b\\{c\\}");
  EXPECT_EQ(RtfEscaped("1\r\n2\n3\r4"), "1\\line 2\\line 3\\line 4");
  EXPECT_EQ(RtfEscaped("合"), "\\u21512?");
  EXPECT_EQ(RtfEscaped("\xEF\xBF\xBD"), "\\u-3?") << "code units above 32767 go negative";
  EXPECT_EQ(RtfEscaped("\xF0\x9F\x98\x80"), "\\u-10179?\\u-8704?") << "a surrogate pair";
}

TEST_F(ExportFixture, RtfMultiLevelTitleMergesSharedCaptions) {
  for (TColumnEh* c : {Id, Signed, Done, State}) c->SetVisible(false);
  // Columns "金额|数值", "金额|货币", "合同名称": the first two share the upper caption.
  Grid->SetUseMultiTitle(true);
  Grid->SetVTitleMargin(10);
  Grid->SetFooterRowCount(0);
  String rtf = Export<TDBGridEhExportAsRTF>();
  String body = rtf.substr(rtf.find("\\trowd"));
  auto rows = Split(body, "\\row}");
  ASSERT_GE(rows.size(), 3u);
  auto cellFrames = [](const String& Row) {
    std::vector<String> r;
    String head = Row.substr(0, Row.find("{\\trrh0"));
    for (std::size_t p = 0, q; (q = head.find("\\cellx", p)) != String::npos; p = q + 6) r.push_back(head.substr(p, q - p));
    return r;
  };
  auto upper = cellFrames(rows[0]);
  ASSERT_EQ(upper.size(), 3u);
  EXPECT_EQ(upper[0].find("\\clbrdrr"), String::npos) << "the first shared cell has no right border";
  EXPECT_NE(upper[0].find("\\clbrdrl"), String::npos);
  EXPECT_EQ(upper[1].find("\\clbrdrl"), String::npos) << "the second no left border";
  EXPECT_EQ(upper[2].find("\\clbrdrb"), String::npos) << "the third spans both rows";
  auto lower = cellFrames(rows[1]);
  EXPECT_EQ(lower[2].find("\\clbrdrt"), String::npos);
  EXPECT_NE(lower[0].find("\\clbrdrt"), String::npos);
  EXPECT_NE(rows[0].find("\\qc\\sb55\\sa55"), String::npos) << "VTitleMargin 10 at 96 ppi";
  EXPECT_NE(rows[0].find("\\u-28207?\\u-26467?\\cell}"), String::npos) << "金额 once";
  EXPECT_EQ(Count(rows[0], "\\u-28207?\\u-26467?"), 1);
  EXPECT_NE(rows[0].find("\\u21512?\\u21516?\\u21517?\\u31216?\\cell}"), String::npos) << "合同名称 on the upper row";
  EXPECT_EQ(Count(rows[1], "\\u21512?\\u21516?\\u21517?\\u31216?"), 0) << "and not again below";
  EXPECT_NE(rows[1].find("\\u25968?\\u20540?"), String::npos) << "数值 on the lower row";
}

// ---------------------------------------------------------------- files

TEST_F(ExportFixture, AFailedExportLeavesTheOldFileWholeAndNoTemporaryFile) {
  String target = Dir / "list.xls";
  Dir.Write("list.xls", "the old list");
  ::mkdir((Dir / "folder").c_str(), 0777);
  Dir.Write("ro.xls", "read-only");
  ::chmod((Dir / "ro.xls").c_str(), 0444);
  struct Case {
    String File, Error;
  } cases[] = {
      {Dir / "missing/list.xls", "Cannot create file \"" + Dir / "missing/list.xls" + "\". No such file or directory"},
      {Dir / "ro.xls", "Cannot create file \"" + Dir / "ro.xls" + "\". Permission denied"},
      {Dir / "folder", "Cannot create file \"" + Dir / "folder" + "\". Is a directory"},
  };
  for (const auto& c : cases) {
    try {
      ExportDBGridEhToFile(NewExporter<TDBGridEhExportAsXLS>, Grid, c.File, true);
      ADD_FAILURE() << c.File;
    } catch (const EFCreateError& e) {
      EXPECT_EQ(e.Message(), c.Error);
    }
  }
  // A field failing in the middle of the walk.
  int cells = 0;
  Grid->OnGetCellParams = TGetCellEhParamsEvent::Lambda([&](TObject*, TColumnEh*, TFont*, TColor&, TGridDrawState) {
    if (++cells == 10) throw Exception("the field cannot give its value");
  });
  Query->SetRecNo(2);
  try {
    ExportDBGridEhToFile(NewExporter<TDBGridEhExportAsXLS>, Grid, target, true);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "the field cannot give its value");
  }
  EXPECT_EQ(Query->RecNo(), 2) << "the position comes back";
  EXPECT_FALSE(Query->ControlsDisabled());
  EXPECT_EQ(Dir.Read("list.xls"), "the old list");
  EXPECT_EQ(Dir.Read("ro.xls"), "read-only");
  std::vector<String> entries;
  for (const String& e : FolderEntries(Dir.Path()))
    if (e.rfind("list.db", 0) != 0) entries.push_back(e);  // the database's own files aside
  EXPECT_EQ(entries, (std::vector<String>{"folder", "list.xls", "ro.xls"}));
  Grid->OnGetCellParams = TGetCellEhParamsEvent();
  ExportDBGridEhToFile(NewExporter<TDBGridEhExportAsXLS>, Grid, target, true);
  EXPECT_EQ(Dir.Read("list.xls"), Export<TDBGridEhExportAsXLS>());
}

TEST_F(ExportFixture, AColumnHandlerOfANumberColumnSeesItsTextInTheSpreadsheetToo) {
  std::vector<String> seen;
  Amount->SetOnGetCellParams(TGetColCellParamsEventEh::Lambda(
      [&](TObject*, bool, TColCellParamsEh* P) { seen.push_back(P->Text()); }));
  Export<TDBGridEhExportAsXLS>();
  EXPECT_EQ(seen, (std::vector<String>{"1.5", "", "2.25"}));
}
