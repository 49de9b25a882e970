// The clipboard: named formats and their bytes, Chinese text, Unicode text, several formats
// placed together, pictures and the change signal.
#include "gui/Clipbrd.h"
#include "gui/Forms.h"

#include <QtCore/QMimeData>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>

#include <gtest/gtest.h>

namespace {

struct ClipboardFixture : ::testing::Test {
  void SetUp() override { Clipboard()->Clear(); }
  static TBytes Bytes(std::initializer_list<int> v) {
    TBytes b;
    for (int x : v) b.push_back(static_cast<Byte>(x));
    return b;
  }
};

}  // namespace

TEST_F(ClipboardFixture, NamedFormatsGetOneIdEachAndTravelAsTheirTypes) {
  UINT grid = RegisterClipboardFormat("VCLDBIF");
  EXPECT_GE(grid, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormat("vcldbif"), grid) << "names ignore case";
  EXPECT_EQ(GetClipboardFormatName(grid), "VCLDBIF");
  UINT csv = RegisterClipboardFormat("Csv");
  UINT rtf = RegisterClipboardFormat("Rich Text Format");
  UINT own = RegisterClipboardFormat("报表 对象");
  EXPECT_NE(csv, grid);
  EXPECT_NE(own, rtf);
  EXPECT_EQ(RegisterClipboardFormat(""), 0u);
  struct Case {
    UINT Format;
    const char* Mime;
  };
  const Case cases[] = {{CF_TEXT, "text/plain"},          {CF_UNICODETEXT, "text/plain"},
                        {csv, "text/csv"},                {rtf, "text/rtf"},
                        {grid, "application/x-kelm-grid"}};
  for (const Case& c : cases) EXPECT_EQ(ClipboardFormatMimeType(c.Format), c.Mime);
  String ownMime = ClipboardFormatMimeType(own);
  EXPECT_EQ(ownMime.rfind("application/x-kelm-format.", 0), 0u) << ownMime;
  EXPECT_NE(ownMime, ClipboardFormatMimeType(RegisterClipboardFormat("报表_对象"))) << "no two names share a type";
  EXPECT_EQ(GetClipboardFormatName(CF_TEXT), "");
}

TEST_F(ClipboardFixture, ACustomFormatsBytesComeBackIdentical) {
  UINT grid = RegisterClipboardFormat("VCLDBIF");
  TBytes data = Bytes({'V', 'C', 'L', 'D', 'B', 'I', 'F', 1, 2, 0, 0, 0, 0, 0xFF, 0x80, 0, 0xE5, 0x90, 0x88});
  Clipboard()->SetAsBytes(grid, data);
  EXPECT_TRUE(Clipboard()->HasFormat(grid));
  EXPECT_EQ(Clipboard()->GetAsBytes(grid), data) << "zero bytes inside and no terminator added";
  EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT)) << "a write outside Open replaces everything";
  const QMimeData* sys = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(sys, nullptr);
  EXPECT_EQ(sys->data("application/x-kelm-grid").size(), static_cast<qsizetype>(data.size()));
  EXPECT_TRUE(Clipboard()->GetAsBytes(RegisterClipboardFormat("Csv")).empty()) << "an absent format reads as no data";
}

TEST_F(ClipboardFixture, ChineseTextSurvivesAsTextAndAsUnicodeText) {
  const String text = "合同编号\t金额\r\nHT-001\t¥1,234.50\r\n";
  Clipboard()->SetAsText(text);
  EXPECT_EQ(Clipboard()->AsText(), text);
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), text);
  TBytes utf16 = Clipboard()->GetAsBytes(CF_UNICODETEXT);
  ASSERT_EQ(utf16.size() % 2, 0u);
  std::u16string units(utf16.size() / 2, 0);
  std::memcpy(units.data(), utf16.data(), utf16.size());
  EXPECT_EQ(units, u"合同编号\t金额\r\nHT-001\t¥1,234.50\r\n");
  TBytes utf8 = Clipboard()->GetAsBytes(CF_TEXT);
  EXPECT_EQ(String(utf8.begin(), utf8.end()), text);

  // Unicode text placed with its terminator reads back without it.
  std::u16string placed = u"客户名称";
  placed.push_back(0);
  Clipboard()->SetAsBytes(CF_UNICODETEXT, placed.data(), placed.size() * 2);
  EXPECT_EQ(Clipboard()->AsText(), "客户名称");
  char buf[8];
  EXPECT_EQ(Clipboard()->GetTextBuf(buf, sizeof buf), 2) << "two whole characters fit, a NUL follows";
  EXPECT_STREQ(buf, "客户");
}

TEST_F(ClipboardFixture, FormatsWrittenInOneOpeningArriveTogetherAtTheLastClose) {
  Clipboard()->SetAsText("旧内容");
  UINT csv = RegisterClipboardFormat("Csv"), rtf = RegisterClipboardFormat("Rich Text Format"),
       grid = RegisterClipboardFormat("VCLDBIF");
  Clipboard()->Open();
  Clipboard()->Open();
  Clipboard()->SetAsText("a\tb\r\n");
  Clipboard()->SetAsBytes(csv, Bytes({'a', ',', 'b'}));
  Clipboard()->Close();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("旧内容")) << "still open once";
  Clipboard()->SetAsBytes(rtf, Bytes({'{', '}'}));
  Clipboard()->SetAsBytes(grid, Bytes({7, 0, 7}));
  EXPECT_EQ(Clipboard()->AsText(), "a\tb\r\n") << "reading inside the opening sees what it wrote";
  Clipboard()->Close();
  EXPECT_FALSE(Clipboard()->IsOpen());
  EXPECT_EQ(Clipboard()->AsText(), "a\tb\r\n");
  for (UINT f : {CF_TEXT, CF_UNICODETEXT, csv, rtf, grid}) EXPECT_TRUE(Clipboard()->HasFormat(f)) << f;
  EXPECT_EQ(Clipboard()->GetAsBytes(grid), Bytes({7, 0, 7}));
  std::vector<UINT> listed;
  for (int i = 0; i < Clipboard()->FormatCount(); ++i) listed.push_back(Clipboard()->Formats(i));
  for (UINT f : {CF_TEXT, csv, rtf, grid})
    EXPECT_NE(std::find(listed.begin(), listed.end(), f), listed.end()) << f;

  // An opening without writes changes nothing.
  Clipboard()->Open();
  Clipboard()->Close();
  EXPECT_TRUE(Clipboard()->HasFormat(grid));
}

TEST_F(ClipboardFixture, APictureGoesAndComesBackPixelForPixel) {
  TBitmap bmp;
  bmp.SetSize(20, 10);
  bmp.Canvas()->Brush()->SetColor(clRed);
  bmp.Canvas()->FillRect(Rect(0, 0, 20, 10));
  bmp.Canvas()->Brush()->SetColor(clBlue);
  bmp.Canvas()->FillRect(Rect(5, 2, 9, 6));
  Clipboard()->Assign(&bmp);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  TBitmap back;
  back.Assign(Clipboard());
  ASSERT_EQ(back.Width(), 20);
  ASSERT_EQ(back.Height(), 10);
  EXPECT_EQ(back.Canvas()->Pixels(0, 0), clRed);
  EXPECT_EQ(back.Canvas()->Pixels(6, 3), clBlue);
  Clipboard()->SetAsText("x");
  TBitmap none;
  none.Assign(Clipboard());
  EXPECT_TRUE(none.Empty()) << "no picture: an empty bitmap, no error";
}

TEST_F(ClipboardFixture, ChangesOfTheSystemClipboardAreReported) {
  int changes = 0;
  Clipboard()->OnChange = TNotifyEvent::Lambda([&](TObject* s) {
    EXPECT_EQ(s, Clipboard());
    ++changes;
  });
  QGuiApplication::clipboard()->setText("from another program");
  EXPECT_GE(changes, 1);
  int before = changes;
  Clipboard()->SetAsText("ours");
  EXPECT_GT(changes, before);
  Clipboard()->OnChange = nullptr;
}
