// The report library's text table: lookups by key, the line format of blocks and language
// files, the built-in blocks and the script messages, image lists and help topics.
#include "core/ClassBuilder.h"
#include "core/FileUtils.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "gui/ImgList.h"
#include "gui/Pictures.h"
#include "TempFolder.h"
#include "report/frxChm.h"
#include "report/frxRes.h"
#include "report/frxrcClass.h"
#include "report/frxrcExports.h"
#include "script/fs_iconst.h"

#include <gtest/gtest.h>

#include <set>

// A window class named as the designer's, in other letter case.
class TFRXDESIGNERFORM : public TObject {
  KELM_CLASS(TFRXDESIGNERFORM, TObject)
};
KELM_PUBLISH(TFRXDESIGNERFORM) {}

namespace {

// The keys of a block in their order (section lines left out).
std::vector<String> KeysOf(const String& Block) {
  std::vector<String> keys;
  TStringList lines;
  lines.SetText(Block);
  for (int i = 0; i < lines.Count(); ++i) {
    String line = lines[i];
    std::size_t eq = line.find('=');
    if (eq != String::npos && eq > 0 && eq + 1 < line.size()) keys.push_back(line.substr(0, eq));
  }
  return keys;
}

std::vector<String> Range(int From, int To) {
  std::vector<String> keys;
  for (int i = From; i <= To; ++i) keys.push_back(std::to_string(i));
  return keys;
}

TEST(ReportTexts, LookupsIgnoreCaseAndMissingKeysAnswerThemselves) {
  TfrxResources r;
  EXPECT_EQ(r.TextOf("prInvProp"), "prInvProp");
  r.PutText("mbError", "错误");
  r.PutText("MBERROR", "Error");
  EXPECT_EQ(r.Count(), 1);
  EXPECT_EQ(r.TextOf("mberror"), "Error");
}

TEST(ReportTexts, LinesOfABlock) {
  TfrxResources r;
  r.MergeLines("a=b=c\r\n k = v\n=x\rk=\nnone\r\n======== TfrxPrintDialog ========\r\nrep=1\r\nrep=2");
  EXPECT_EQ(r.TextOf("a"), "b=c");
  EXPECT_EQ(r.TextOf(" k "), " v");
  EXPECT_EQ(r.TextOf("k"), "k");
  EXPECT_EQ(r.TextOf("rep"), "2");
  EXPECT_EQ(r.Count(), 3);  // a, " k ", rep
}

TEST(ReportTexts, BuiltInBlocksHoldTheirKeysInOrder) {
  std::vector<String> expected = Range(1, 9);
  auto add = [&](std::vector<String> more) { expected.insert(expected.end(), more.begin(), more.end()); };
  add(Range(100, 142));
  add({"150", "151", "152", "zmPageWidth", "zmWholePage"});
  add(Range(200, 211));
  add({"ppAll", "ppOdd", "ppEven"});
  add(Range(300, 305));
  add(Range(400, 414));
  add(Range(500, 510));
  add({"mbConfirm", "mbError", "mbInfo", "xrCantFindClass", "prVirtual", "prDefault", "prCustom", "enUnconnHeader",
       "enUnconnGroup", "enUnconnGFooter", "enBandPos", "dbNotConn", "dbFldNotFound", "clDSNotIncl", "clUnknownVar",
       "clScrError", "clDSNotExist", "clErrors", "clExprError", "clFP3files", "clSaving", "clCancel", "clClose",
       "clPrinting", "clLoading", "clPageOf", "clFirstPass", "clNoPrinters", "clDecompressError", "prRunningFirst",
       "prRunning", "prPrinting", "prExporting", "uCm", "uInch", "uPix", "uChar", "crFillMx", "crBuildMx"});
  for (int m = 0; m < fsMessageCount; ++m) expected.push_back(fsMessageKey(static_cast<TfsMessage>(m)));
  EXPECT_EQ(KeysOf(ReportResourceBlock()), expected);
  EXPECT_EQ(expected.size(), 160u);
  EXPECT_NE(String(ReportResourceBlock()).find("======== TfrxProgress ========\r\n========"), String::npos);

  std::vector<String> exports = KeysOf(ExportResourceBlock());
  EXPECT_EQ(exports.size(), 158u);
  std::set<String> distinct(exports.begin(), exports.end());
  EXPECT_EQ(distinct.size(), exports.size());
}

TEST(ReportTexts, StartUpMergesTheBlocksAndRefreshesTheScriptMessages) {
  TfrxResources* r = ReportResources();
  struct Case { const char* key; const char* text; };
  const Case cases[] = {
      {"1", "确定"}, {"5", "页:"}, {"9", "输入页数/文件范围，并以逗号分隔(例如:1,3,5-12)"}, {"101", "打印"},
      {"102", "打印"}, {"150", "Full Screen"}, {"303", "Replace with"}, {"500", "打印t"}, {"mbConfirm", "确认"},
      {"mbInfo", "资讯"}, {"xrCantFindClass", "不明的类别"}, {"dbNotConn", "数据库 %s 未连接至数据库"},
      {"clScrError", "Script 错误在 %s: %s"}, {"clPageOf", "页 %d / %d"}, {"prRunning", "Preparing page %d"},
      {"uChar", "chr"}, {"8302", " 导出属性"},
  };
  for (const Case& c : cases) EXPECT_EQ(r->TextOf(c.key), c.text) << c.key;
  EXPECT_EQ(ResourceText(2), "取消");
  EXPECT_EQ(fsMessage(fsLangNotFound), "找不到 '%s' 语言");
  EXPECT_EQ(fsMessage(fsClassError), "类(Class) %s 没有预设的属性");
}

TEST(ReportTexts, ALanguageStreamReplacesTheTable) {
  TScopeExit restore([] { ReportResources()->RefreshScriptMessages(); });
  TfrxResources r;
  r.PutText("old", "x");
  String gbk = Utf8ToGbk("mbError=错误\r\n");
  TStringStream gbkStream(gbk);
  r.LoadLanguageStream(&gbkStream);
  EXPECT_EQ(r.TextOf("mbError"), "错误");
  EXPECT_EQ(r.TextOf("old"), "old");
  for (int m = 0; m < fsMessageCount; ++m) {
    auto key = static_cast<TfsMessage>(m);
    EXPECT_EQ(fsMessage(key), fsMessageKey(key));
  }
  TStringStream utf8("\xEF\xBB\xBFSForError=循环变量\r\n");
  r.LoadLanguageStream(&utf8);
  EXPECT_EQ(fsMessage(fsForError), "循环变量");
  r.LoadLanguageFile("/no/such/file.frc");
  EXPECT_EQ(r.TextOf("SForError"), "循环变量");
}

TEST(ReportTexts, LanguagesAreTheFrcFilesBesideTheProgram) {
  TempFolder dir;
  for (const char* name : {"CHINESE.FRC", "a.frc.frc", "english.frc", "notes.txt"}) dir.Write(name, "");
  SetProgramPath(dir / "kelm");
  TScopeExit restore([] { SetProgramPath(""); });
  TfrxResources r;
  EXPECT_EQ(r.Languages()->CommaText(), "A.frc,Chinese,English");
}

// A strip of W x 16 whose cells are filled with the given colours on a teal background.
void FillStrip(TBitmap& Strip, std::initializer_list<TColor> Colours) {
  Strip.SetPixelFormat(pf24bit);
  Strip.SetSize(16 * static_cast<int>(Colours.size()), 16);
  int x = 0;
  for (TColor c : Colours) {
    Strip.Canvas()->Brush()->SetColor(TColor(0x808000));
    Strip.Canvas()->FillRect(TRect{x, 0, x + 16, 16});
    Strip.Canvas()->Brush()->SetColor(c);
    Strip.Canvas()->FillRect(TRect{x + 2, 2, x + 14, 14});
    x += 16;
  }
}

TColor CentreOf(TCustomImageList* List, int Index) {
  TBitmap b;
  EXPECT_TRUE(List->GetBitmap(Index, &b));
  return b.Canvas()->Pixels(8, 8);
}

TEST(ReportTexts, ImageListsComeFromTheStripsAndToolPicturesPair) {
  TfrxResources r;
  EXPECT_EQ(r.ToolImages()->Count(), 100);
  EXPECT_EQ(r.DisabledToolImages()->Count(), 100);
  EXPECT_EQ(r.PaletteImages()->Count(), 60);
  EXPECT_EQ(r.PaletteImages()->Width(), 22);
  EXPECT_EQ(r.PreviewImages()->Count(), 25);

  TBitmap pair;
  FillStrip(pair, {clRed, clWhite});
  r.LoadToolImages(&pair, false);
  ASSERT_EQ(r.ToolImages()->Count(), 101);
  ASSERT_EQ(r.DisabledToolImages()->Count(), 101);
  EXPECT_EQ(CentreOf(r.ToolImages(), 100), clRed);
  EXPECT_EQ(CentreOf(r.DisabledToolImages(), 100), TColor(0xE0E0E0));  // white turns grey
  r.LoadToolImages(&pair, true);
  EXPECT_EQ(r.ToolImages()->Count(), 1);
}

TEST(ReportTexts, HelpTopicsByWindowClass) {
  TfrxResources r;
  TFRXDESIGNERFORM designer;
  EXPECT_EQ(r.HelpPathFor(&designer), "ZEVoda.chm::/Designer/Designer.htm");
  EXPECT_EQ(r.HelpPathFor(nullptr), "ZEVoda.chm");
  TStringList unknown;
  EXPECT_EQ(r.HelpPathFor(&unknown), "ZEVoda.chm");

  EXPECT_FALSE(HtmlHelpAvailable());
  r.ShowHelpFor(nullptr);  // no entry point: nothing happens
  String seen;
  int command = 0;
  SetHtmlHelpEntry([&](std::uintptr_t, const String& Path, int Command, std::intptr_t) {
    seen = Path;
    command = Command;
  });
  TScopeExit reset([] { SetHtmlHelpEntry(nullptr); });
  r.ShowHelpFor(&unknown);
  EXPECT_EQ(seen, "ZEVoda.chm");
  EXPECT_EQ(command, 1);
  r.ShowHelpFor(&designer);
  EXPECT_EQ(seen, "ZEVoda.chm::/Designer/Designer.htm");
}

}  // namespace
