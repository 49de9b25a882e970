// Dialogs answered without a person: message dialogs and boxes, input boxes, file dialogs
// (filters, default extension, refused names asked again), the folder picker, colour and font
// dialogs, and what a script records.
#include "MenuTestUtil.h"

#include "gui/Dialogs.h"
#include "core/FileUtils.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QInputDialog>
#include <QtWidgets/QMessageBox>

#include <gtest/gtest.h>

#include <fstream>

using namespace guitest;

TEST(MessageDialogs, TheScriptsButtonIsTheResultAndTheRequestShowsTypeAndButtons) {
  mnutest::TTitleScope title("合同管理");
  struct Case {
    TMsgDlgType Type;
    TMsgDlgButtons Buttons;
    int Answer;
    const char* Caption;
  };
  const Case cases[] = {
      {mtConfirmation, {mbYes, mbNo}, mrYes, "Confirm"},
      {mtConfirmation, {mbYes, mbNo}, mrNo, "Confirm"},
      {mtWarning, mbYesNoCancel, mrCancel, "Warning"},
      {mtError, mbAbortRetryIgnore, mrRetry, "Error"},
      {mtInformation, {mbOK}, mrOk, "Information"},
      {mtCustom, mbYesAllNoAllCancel, mrNoToAll, "合同管理"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Caption);
    TDialogScript script;
    script.Button(c.Answer);
    EXPECT_EQ(MessageDlg("保存修改吗？", c.Type, c.Buttons, 0), c.Answer);
    ASSERT_EQ(script.Asked().size(), 1u);
    const TDialogRequest& r = script.Asked()[0];
    EXPECT_EQ(r.Kind, dkMessageDlg);
    EXPECT_EQ(r.Caption, c.Caption);
    EXPECT_EQ(r.Text, "保存修改吗？");
    EXPECT_EQ(r.DlgType, c.Type);
    EXPECT_EQ(TMsgDlgButtons::FromBits(static_cast<std::uint64_t>(r.Flags)), c.Buttons);
    EXPECT_EQ(script.Unanswered(), 0);
  }
  // The set values scripts see.
  EXPECT_EQ((TMsgDlgButtons{mbYes, mbNo}).Bits(), 3u);
  EXPECT_EQ(mbOKCancel.Bits(), 12u);
  EXPECT_EQ(MsgDlgButtonCaption(mbNoToAll), "全部否(&O)");
  EXPECT_EQ(MsgDlgButtonResult(mbYesToAll), 10);
}

TEST(MessageDialogs, ADialogWithoutAnAnswerIsClosedAsItsCancelButtonWould) {
  struct Case {
    TMsgDlgButtons Buttons;
    int Expected;
  };
  const Case cases[] = {
      {{mbYes, mbNo, mbCancel}, mrCancel},
      {{mbYes, mbNo}, mrNo},
      {{mbOK}, mrOk},
      {{mbAbort, mbRetry, mbIgnore}, mrCancel},
  };
  for (const Case& c : cases) {
    TDialogScript script;
    EXPECT_EQ(MessageDlg("x", mtWarning, c.Buttons, 0), c.Expected);
    EXPECT_EQ(script.Unanswered(), 1);
  }
  // An answer of the wrong kind does not fit and stays for a later dialog.
  TDialogScript script;
  script.Text("abc");
  EXPECT_EQ(MessageDlg("x", mtWarning, {mbYes, mbNo}, 0), mrNo);
  EXPECT_EQ(script.Pending(), 1);
  String v;
  EXPECT_TRUE(InputQuery("T", "P", v));
  EXPECT_EQ(v, "abc");
}

TEST(MessageDialogs, OneScriptAnswersThePlatformBoxAndShowMessageToo) {
  mnutest::TTitleScope title("合同管理");
  TDialogScript script;
  script.Button(IDYES).Button(IDOK);
  EXPECT_EQ(Application->MessageBox("文件已建立，是否打开文件？", "提示", MB_YESNO | MB_ICONWARNING), IDYES);
  ShowMessage("操作失败！");
  ASSERT_EQ(script.Asked().size(), 2u);
  EXPECT_EQ(script.Asked()[0].Kind, dkMessageBox);
  EXPECT_EQ(script.Asked()[0].Caption, "提示");
  EXPECT_EQ(script.Asked()[0].Flags, MB_YESNO | MB_ICONWARNING);
  EXPECT_EQ(script.Asked()[1].Kind, dkMessageDlg);
  EXPECT_EQ(script.Asked()[1].Caption, "合同管理") << "ShowMessage is captioned with the title";
  EXPECT_EQ(script.Asked()[1].Text, "操作失败！");
  EXPECT_EQ(TMsgDlgButtons::FromBits(static_cast<std::uint64_t>(script.Asked()[1].Flags)), TMsgDlgButtons{mbOK});
}

TEST(MessageDialogs, AMessageBoxRecorderAlsoAnswersMessageDialogsThatABoxCanAsk) {
  guitest::TBoxRecorder boxes;
  boxes.Answer = IDNO;
  EXPECT_EQ(MessageDlg("删除吗？", mtConfirmation, {mbYes, mbNo}, 0), mrNo);
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Caption, "Confirm");
  EXPECT_EQ(boxes.Calls[0].Flags, MB_YESNO | MB_ICONQUESTION);
  boxes.Answer = IDCANCEL;
  EXPECT_EQ(MessageDlg("继续？", mtWarning, {mbOK, mbCancel}, 0), mrCancel);
  EXPECT_EQ(boxes.Calls[1].Flags, MB_OKCANCEL | MB_ICONWARNING);
}

TEST(InputDialogs, ConfirmedTextReplacesTheValueAndCancelKeepsIt) {
  TDialogScript script;
  script.Text("新名称").Cancel().Text("输入").Cancel();
  String v = "旧名称";
  EXPECT_TRUE(InputQuery("改名", "名称：", v));
  EXPECT_EQ(v, "新名称");
  EXPECT_EQ(script.Asked()[0].Kind, dkInput);
  EXPECT_EQ(script.Asked()[0].Caption, "改名");
  EXPECT_EQ(script.Asked()[0].Text, "名称：");
  EXPECT_EQ(script.Asked()[0].Value, "新名称");
  String kept = "a";
  EXPECT_FALSE(InputQuery("T", "P", kept));
  EXPECT_EQ(kept, "a");
  EXPECT_EQ(InputBox("T", "P", "x"), "输入");
  EXPECT_EQ(InputBox("T", "P", "x"), "x") << "the default when cancelled";
  EXPECT_EQ(script.Asked()[3].Value, "x") << "the box was preset to the default";
}

// ================================================================ file dialogs

namespace {

struct FileDialogFixture : ::testing::Test {
  QTemporaryDir Dir;
  String Path(const char* name) { return FromQStr(Dir.filePath(QString::fromUtf8(name))); }
  static String FromQStr(const QString& s) { return s.toStdString(); }
  void Touch(const String& name) { std::ofstream(name) << "x"; }
};

}  // namespace

TEST(FileDialogFilters, DescriptionsAndPatternsComeInPairs) {
  auto f = TOpenDialog::ParseFilter("文本文件(*.txt)|*.txt|Excel文件|*.xls;*.XLSX|所有文件|*.*|dangling");
  ASSERT_EQ(f.size(), 3u);
  EXPECT_EQ(f[0].first, "文本文件(*.txt)");
  EXPECT_EQ(f[0].second, std::vector<String>{"*.txt"});
  EXPECT_EQ(f[1].second, (std::vector<String>{"*.xls", "*.XLSX"}));
  EXPECT_EQ(f[2].first, "所有文件");
  EXPECT_TRUE(TOpenDialog::ParseFilter("").empty());
}

TEST_F(FileDialogFixture, CancelLeavesTheFileNameAndAChoiceSetsNameFilesAndFilter) {
  TOpenDialog dlg(nullptr);
  dlg.SetFilter("Access数据库|*.MDB|所有文件|*.*");
  dlg.SetFileName("before.mdb");
  dlg.SetTitle("打开");
  TDialogScript script;
  script.Cancel().File(Path("数据.mdb"), 2);
  EXPECT_FALSE(dlg.Execute());
  EXPECT_EQ(dlg.FileName(), "before.mdb");
  EXPECT_EQ(script.Asked()[0].Kind, dkOpenFile);
  EXPECT_EQ(script.Asked()[0].Dialog, &dlg);
  EXPECT_EQ(script.Asked()[0].Caption, "打开");
  EXPECT_EQ(script.Asked()[0].Value, "before.mdb") << "the dialog starts from the file name";
  EXPECT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.FileName(), Path("数据.mdb"));
  ASSERT_EQ(dlg.Files()->Count(), 1);
  EXPECT_EQ(dlg.Files()->Strings(0), Path("数据.mdb"));
  EXPECT_EQ(dlg.FilterIndex(), 2);
}

TEST_F(FileDialogFixture, ANameWithoutExtensionGetsTheDefaultOrTheChosenTypes) {
  struct Case {
    const char* DefaultExt;
    const char* Filter;
    int FilterIndex;
    const char* Typed;
    const char* Expected;
  };
  const Case cases[] = {
      {"xls", "EXCEL文件(*.xls)|*.xls", 1, "合同", "合同.xls"},
      {"xls", "EXCEL文件(*.xls)|*.xls", 1, "合同.bak", "合同.bak"},
      {".fd3", "", 1, "report", "report.fd3"},
      {"bmp", "位图文件(*.bmp)|*.bmp|PNG|*.png", 2, "chart", "chart.png"},
      {"txt", "所有文件|*.*", 1, "notes", "notes.txt"},
      {"", "EXCEL文件(*.xls)|*.xls", 1, "合同", "合同"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Typed);
    TSaveDialog dlg(nullptr);
    dlg.SetDefaultExt(c.DefaultExt);
    dlg.SetFilter(c.Filter);
    TDialogScript script;
    script.File(Path(c.Typed), c.FilterIndex);
    ASSERT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), Path(c.Expected));
  }
}

TEST_F(FileDialogFixture, RefusedNamesAreAskedForAgain) {
  String existing = Path("已有.xls");
  Touch(existing);
  {
    TSaveDialog dlg(nullptr);
    dlg.SetOptions(dlg.Options() + ofOverwritePrompt);
    TDialogScript script;
    script.File(existing).Button(IDNO).File(existing).Button(IDYES);
    ASSERT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), existing);
    ASSERT_EQ(script.Asked().size(), 4u);
    EXPECT_EQ(script.Asked()[1].Kind, dkMessageBox);
    EXPECT_EQ(script.Asked()[1].Text, existing + " already exists.\nDo you want to replace it?");
    EXPECT_EQ(script.Asked()[2].Value, existing) << "asked again from the refused name";
  }
  {
    TOpenDialog dlg(nullptr);
    dlg.SetOptions(dlg.Options() + ofFileMustExist);
    TDialogScript script;
    script.File(Path("没有.mdb")).Button(IDOK).File(existing);
    ASSERT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), existing);
    EXPECT_NE(script.Asked()[1].Text.find("File not found"), String::npos);
  }
  {
    TSaveDialog dlg(nullptr);
    dlg.SetOptions(dlg.Options() + ofPathMustExist);
    TDialogScript script;
    script.File(Path("缺少/a.xls"));  // then nothing: cancelled
    EXPECT_FALSE(dlg.Execute());
    EXPECT_NE(script.Asked()[1].Text.find("Path does not exist"), String::npos);
  }
  {
    // OnCanClose may refuse too.
    TSaveDialog dlg(nullptr);
    int asked = 0;
    dlg.OnCanClose = TCloseQueryEvent::Lambda([&](TObject* s, bool& can) {
      ++asked;
      can = static_cast<TSaveDialog*>(s)->FileName() != Path("bad.xls");
    });
    TDialogScript script;
    script.File(Path("bad.xls")).File(Path("good.xls"));
    ASSERT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), Path("good.xls"));
    EXPECT_EQ(asked, 2);
  }
}

TEST_F(FileDialogFixture, SeveralFilesWhenMultiSelectIsAllowed) {
  TOpenDialog dlg(nullptr);
  dlg.SetOptions(dlg.Options() + ofAllowMultiSelect);
  TDialogScript script;
  script.Files({Path("a.txt"), Path("b.txt")});
  ASSERT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.Files()->Count(), 2);
  EXPECT_EQ(dlg.FileName(), Path("a.txt"));
  EXPECT_EQ(dlg.Files()->Strings(1), Path("b.txt"));
}

TEST(OtherDialogs, FolderColourAndFontAnswers) {
  TDialogScript script;
  script.Folder("/tmp/备份/").Cancel().Color(clNavy).Font([](TFont* f) {
    f->SetName("宋体");
    f->SetSize(40);
    f->SetStyle({fsBold});
  });
  String dir = "/home";
  EXPECT_TRUE(SelectDirectory("选择备份目录", "", dir));
  EXPECT_EQ(dir, "/tmp/备份") << "without the trailing separator";
  EXPECT_FALSE(SelectDirectory("选择备份目录", "", dir));
  EXPECT_EQ(dir, "/tmp/备份");
  EXPECT_EQ(script.Asked()[1].Value, "/tmp/备份") << "the picker starts at the current folder";
  String none;
  EXPECT_FALSE(SelectDirectory("选择备份目录", "/srv", none)) << "the colour answer does not fit a folder";
  EXPECT_EQ(script.Asked()[2].Value, "/srv") << "else at the root";
  EXPECT_EQ(script.Unanswered(), 1);

  TColorDialog colour(nullptr);
  colour.SetColor(clRed);
  EXPECT_TRUE(colour.Execute());
  EXPECT_EQ(colour.Color(), clNavy);
  EXPECT_EQ(script.Asked()[3].Color, clNavy);

  TFontDialog font(nullptr);
  font.Font()->SetName("Arial");
  font.SetOptions(font.Options() + fdLimitSize);
  font.SetMaxFontSize(24);
  EXPECT_TRUE(font.Execute());
  EXPECT_EQ(font.Font()->Name(), "宋体");
  EXPECT_EQ(font.Font()->Size(), 24) << "kept within the limit";
  EXPECT_EQ(font.Font()->Style(), TFontStyles{fsBold});
  // A cancelled font dialog leaves the font alone.
  TDialogScript cancel;
  cancel.Cancel();
  EXPECT_FALSE(font.Execute());
  EXPECT_EQ(font.Font()->Size(), 24);
}

TEST(OtherDialogs, ScriptsNestAndRestoreTheOuterOne) {
  TDialogScript outer;
  outer.Button(IDYES);
  {
    TDialogScript inner;
    inner.Button(IDNO);
    EXPECT_EQ(Application->MessageBox("a", "b", MB_YESNO), IDNO);
  }
  EXPECT_EQ(Application->MessageBox("a", "b", MB_YESNO), IDYES);
  EXPECT_TRUE(DialogHooked());
}

// ================================================================ the real dialogs

namespace {

// Acts on the modal dialog as soon as it is up (inside its own loop); a guard closes any
// dialog still open after a while, so a failing test ends instead of waiting for a person.
template <class W> void WhenDialogUp(std::function<void(W*)> Fn) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(5);
  auto started = std::make_shared<QElapsedTimer>();
  started->start();
  QObject::connect(timer, &QTimer::timeout, timer, [timer, Fn, started] {
    if (auto* w = qobject_cast<W*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      Fn(w);
    } else if (started->elapsed() > 3000) {
      if (QWidget* any = QApplication::activeModalWidget()) any->close();
      timer->stop();
      timer->deleteLater();
    }
  });
  timer->start();
}

}  // namespace

TEST(RealDialogs, WithoutAHookTheMessageDialogShowsItsButtonsInOrderAndReturnsTheChosenOne) {
  ASSERT_FALSE(DialogHooked());
  QStringList buttons;
  QString title;
  WhenDialogUp<QMessageBox>([&](QMessageBox* box) {
    title = box->windowTitle();
    // As the user sees them, left to right.
    std::vector<std::pair<int, QString>> placed;
    for (QAbstractButton* b : box->buttons()) placed.emplace_back(b->mapTo(box, QPoint(0, 0)).x(), b->text());
    std::sort(placed.begin(), placed.end());
    for (auto& p : placed) buttons << p.second;
    for (QAbstractButton* b : box->buttons())
      if (b->text() == QString::fromUtf8("否(&N)")) b->click();
  });
  EXPECT_EQ(MessageDlg("保存修改吗？", mtConfirmation, mbYesNoCancel, 0), mrNo);
  EXPECT_EQ(title, "Confirm");
  EXPECT_EQ(buttons, (QStringList{QString::fromUtf8("是(&Y)"), QString::fromUtf8("否(&N)"), QString::fromUtf8("取消")}));

  WhenDialogUp<QMessageBox>([](QMessageBox* box) { box->reject(); });
  EXPECT_EQ(MessageDlg("x", mtWarning, {mbYes, mbNo}, 0), mrNo) << "closed: the No button's result";
}

namespace {

// The buttons of the dialog that is up, left to right, and its answer to one key.
struct TBoxSeen {
  QStringList Buttons;
};
void PressWhenUp(TBoxSeen& Seen, int QtKey) {
  WhenDialogUp<QMessageBox>([&Seen, QtKey](QMessageBox* box) {
    std::vector<std::pair<int, QString>> placed;
    for (QAbstractButton* b : box->buttons()) placed.emplace_back(b->mapTo(box, QPoint(0, 0)).x(), b->text());
    std::sort(placed.begin(), placed.end());
    for (auto& p : placed) Seen.Buttons << p.second;
    QKeyEvent press(QEvent::KeyPress, QtKey, Qt::NoModifier);
    QApplication::sendEvent(box, &press);
  });
}

QStringList Captions(std::initializer_list<const char*> Texts) {
  QStringList l;
  for (const char* t : Texts) l << QString::fromUtf8(t);
  return l;
}

}  // namespace

// A Chinese program's boxes show the system's Chinese buttons; the answers, the default
// button (Enter) and the cancel button (Escape) are those of the button sets.
TEST(RealDialogs, MessageBoxButtonsSpeakChineseAndEnterAndEscapeAnswerAsBefore) {
  ASSERT_FALSE(MessageBoxHooked());
  struct Case {
    int Flags;
    QStringList Buttons;
    int Enter, Escape;
  };
  const Case cases[] = {
      {MB_OK, Captions({"确定"}), IDOK, IDOK},
      {MB_OKCANCEL, Captions({"确定", "取消"}), IDOK, IDCANCEL},
      {MB_YESNO | MB_ICONWARNING, Captions({"是(&Y)", "否(&N)"}), IDYES, IDNO},
      {MB_YESNO | MB_DEFBUTTON2, Captions({"是(&Y)", "否(&N)"}), IDNO, IDNO},
      {MB_YESNOCANCEL, Captions({"是(&Y)", "否(&N)", "取消"}), IDYES, IDCANCEL},
      {MB_ABORTRETRYIGNORE, Captions({"中止(&A)", "重试(&R)", "忽略(&I)"}), IDABORT, IDABORT},
      {MB_RETRYCANCEL, Captions({"重试(&R)", "取消"}), IDRETRY, IDCANCEL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Flags);
    for (auto [key, expected] : {std::pair{Qt::Key_Return, c.Enter}, std::pair{Qt::Key_Escape, c.Escape}}) {
      TBoxSeen seen;
      PressWhenUp(seen, key);
      EXPECT_EQ(Application->MessageBox("点击确定继续操作！", "提示", c.Flags), expected) << "key " << key;
      std::sort(seen.Buttons.begin(), seen.Buttons.end());
      QStringList want = c.Buttons;
      std::sort(want.begin(), want.end());
      EXPECT_EQ(seen.Buttons, want);
    }
  }
}

TEST(RealDialogs, MessageDialogButtonsSpeakChineseAndEnterAndEscapeAnswerAsBefore) {
  ASSERT_FALSE(DialogHooked());
  struct Case {
    TMsgDlgButtons Buttons;
    QStringList Captions;
    int Enter, Escape;
  };
  const Case cases[] = {
      {{mbOK}, Captions({"确定"}), mrOk, mrOk},
      {mbOKCancel, Captions({"确定", "取消"}), mrOk, mrCancel},
      {{mbYes, mbNo}, Captions({"是(&Y)", "否(&N)"}), mrYes, mrNo},
      {mbYesNoCancel, Captions({"是(&Y)", "否(&N)", "取消"}), mrYes, mrCancel},
      {{mbYes, mbNo, mbAll, mbNoToAll, mbYesToAll, mbCancel},
       Captions({"是(&Y)", "否(&N)", "取消", "全部(&A)", "全部否(&O)", "全部是(&A)"}), mrYes, mrCancel},
  };
  for (const Case& c : cases) {
    for (auto [key, expected] : {std::pair{Qt::Key_Return, c.Enter}, std::pair{Qt::Key_Escape, c.Escape}}) {
      TBoxSeen seen;
      PressWhenUp(seen, key);
      EXPECT_EQ(MessageDlg("点击确定继续操作！", mtConfirmation, c.Buttons, 0), expected) << "key " << key;
      EXPECT_EQ(seen.Buttons, c.Captions) << "in the set's order";
    }
  }
}

TEST(RealDialogs, WithoutAHookInputAndFileDialogsShowAndReturnWhatWasChosen) {
  WhenDialogUp<QInputDialog>([](QInputDialog* d) {
    EXPECT_EQ(d->textValue(), QString::fromUtf8("旧值"));
    d->setTextValue(QString::fromUtf8("新值"));
    d->accept();
  });
  String v = "旧值";
  EXPECT_TRUE(InputQuery("改名", "名称：", v));
  EXPECT_EQ(v, "新值");

  QTemporaryDir dir;
  TSaveDialog save(nullptr);
  save.SetFilter("EXCEL文件(*.xls)|*.xls|所有文件|*.*");
  save.SetDefaultExt("xls");
  save.SetInitialDir(dir.path().toStdString());
  QStringList filters;
  WhenDialogUp<QFileDialog>([&](QFileDialog* d) {
    filters = d->nameFilters();
    d->selectFile(QString::fromUtf8("合同"));
    QMetaObject::invokeMethod(d, "accept");
  });
  ASSERT_TRUE(save.Execute());
  EXPECT_EQ(save.FileName(), dir.filePath(QString::fromUtf8("合同.xls")).toStdString());
  ASSERT_EQ(filters.size(), 2);
  EXPECT_TRUE(filters[0].contains("*.[xX][lL][sS]")) << filters[0].toStdString() << ": any case matches";

  WhenDialogUp<QFileDialog>([](QFileDialog* d) { d->reject(); });
  EXPECT_FALSE(save.Execute());
  EXPECT_EQ(save.FileName(), dir.filePath(QString::fromUtf8("合同.xls")).toStdString());
}
