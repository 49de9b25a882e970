// A form with every standard control, in Chinese, read from a layout: the picture is kept as
// an artifact for a person to look at, and a few probes check that each control painted.
#include "StdTestUtil.h"

#include "gui/Buttons.h"
#include "gui/ComCtrlsBasic.h"
#include "gui/ExtCtrls.h"
#include "core/Filer.h"
#include "gui/Edit.h"
#include "gui/MaskEdit.h"
#include "gui/Memo.h"
#include "gui/StdCtrls.h"

using namespace guitest;
using namespace stdtest;

namespace {

const char* const kSampleLayout = R"(object FrmSample: TForm
  Left = 40
  Top = 40
  BorderStyle = bsNone
  Caption = '标准控件'
  ClientHeight = 360
  ClientWidth = 560
  object Panel1: TPanel
    Left = 0
    Top = 0
    Width = 560
    Height = 34
    Align = alTop
    Alignment = taLeftJustify
    BevelOuter = bvLowered
    Caption = '  合同管理 - 查询条件'
    object SpeedButton1: TSpeedButton
      Left = 470
      Top = 6
      Width = 40
      Height = 22
      Caption = '刷新'
      Flat = True
    end
    object SpeedButton2: TSpeedButton
      Left = 512
      Top = 6
      Width = 40
      Height = 22
      Caption = '锁定'
      GroupIndex = 1
      Down = True
    end
  end
  object Label1: TLabel
    Left = 12
    Top = 48
    Caption = '搜索字段：'
  end
  object edtKey: TEdit
    Left = 80
    Top = 44
    Width = 150
    Height = 21
    Text = '北京项目合同'
  end
  object Label2: TLabel
    Left = 250
    Top = 48
    Caption = '用户密码：'
  end
  object Edit_Pass: TEdit
    Left = 318
    Top = 44
    Width = 110
    Height = 21
    PasswordChar = '*'
    Text = 'secret'
  end
  object dtBegin: TMaskEdit
    Left = 440
    Top = 44
    Width = 100
    Height = 21
    EditMask = '!9999/99/99;1; '
    Text = '2024-03-15'
  end
  object GroupBox1: TGroupBox
    Left = 12
    Top = 76
    Width = 250
    Height = 96
    Caption = '合同状态'
    object chkAll: TCheckBox
      Left = 12
      Top = 20
      Width = 100
      Height = 17
      Caption = '全部合同'
      Checked = True
      State = cbChecked
    end
    object chkGray: TCheckBox
      Left = 12
      Top = 44
      Width = 100
      Height = 17
      AllowGrayed = True
      Caption = '部分付款'
      State = cbGrayed
    end
    object chkOff: TCheckBox
      Left = 12
      Top = 68
      Width = 100
      Height = 17
      Caption = '已终止'
      Enabled = False
    end
    object rbRun: TRadioButton
      Left = 130
      Top = 20
      Width = 100
      Height = 17
      Caption = '执行中'
      Checked = True
    end
    object rbEnd: TRadioButton
      Left = 130
      Top = 44
      Width = 100
      Height = 17
      Caption = '已结束'
    end
  end
  object RadioGroup1: TRadioGroup
    Left = 274
    Top = 76
    Width = 274
    Height = 96
    Caption = '收付类型'
    Columns = 2
    ItemIndex = 0
    Items.Strings = (
      '收款'
      '付款'
      '发票'
      '其它')
  end
  object Memo1: TMemo
    Left = 12
    Top = 182
    Width = 250
    Height = 80
    Lines.Strings = (
      '合同说明：'
      '本合同自双方签字之日起生效，有效期为三年。'
      '付款方式按合同约定执行。')
    ScrollBars = ssVertical
  end
  object Bevel1: TBevel
    Left = 274
    Top = 182
    Width = 274
    Height = 2
    Shape = bsTopLine
  end
  object Shape1: TShape
    Left = 274
    Top = 192
    Width = 60
    Height = 40
    Brush.Color = clRed
    Shape = stRoundRect
  end
  object Shape2: TShape
    Left = 344
    Top = 192
    Width = 40
    Height = 40
    Brush.Color = clYellow
    Shape = stCircle
  end
  object ProgressBar1: TProgressBar
    Left = 394
    Top = 192
    Width = 154
    Height = 16
    Position = 60
  end
  object edtCount: TEdit
    Left = 394
    Top = 214
    Width = 80
    Height = 21
    Text = '1'
  end
  object UpDown1: TUpDown
    Left = 474
    Top = 214
    Width = 16
    Height = 21
    Associate = edtCount
    Min = 1
    Position = 12
  end
  object ScrollBar1: TScrollBar
    Left = 274
    Top = 244
    Width = 274
    Height = 17
    Max = 100
    PageSize = 20
    Position = 30
  end
  object ScrollBox1: TScrollBox
    Left = 12
    Top = 272
    Width = 250
    Height = 76
    object Label3: TLabel
      Left = 8
      Top = 8
      Caption = '滚动区域中的标签'
    end
    object Label4: TLabel
      Left = 8
      Top = 120
      Caption = '下方内容'
    end
  end
  object Btn_ok: TButton
    Left = 314
    Top = 300
    Width = 75
    Height = 25
    Caption = '确定(&Y)'
    Default = True
    ModalResult = 1
  end
  object Btn_Exit: TButton
    Left = 396
    Top = 300
    Width = 75
    Height = 25
    Caption = '取消(&C)'
    Cancel = True
    ModalResult = 2
  end
  object BitBtn1: TBitBtn
    Left = 478
    Top = 300
    Width = 70
    Height = 25
    Kind = bkOK
  end
end
)";

}  // namespace

TEST(StdSample, AFormWithEveryStandardControlPaintsThemAll) {
  auto* f = new TForm(Application);
  ReadComponentFromText(f, kSampleLayout);
  f->Show();
  Application->ProcessMessages();
  auto* key = dynamic_cast<TEdit*>(f->FindComponent("edtKey"));
  ASSERT_NE(key, nullptr);
  key->SetFocus();
  key->SelectAll();
  Application->ProcessMessages();

  auto* ud = dynamic_cast<TUpDown*>(f->FindComponent("UpDown1"));
  ASSERT_NE(ud, nullptr);
  EXPECT_EQ(dynamic_cast<TEdit*>(f->FindComponent("edtCount"))->Text(), "12") << "the up-down shows its position";
  String sep(1, FormatSettings().DateSeparator);
  EXPECT_EQ(dynamic_cast<TMaskEdit*>(f->FindComponent("dtBegin"))->Text(), "2024" + sep + "03" + sep + "15");
  auto* box = dynamic_cast<TScrollBox*>(f->FindComponent("ScrollBox1"));
  EXPECT_TRUE(box->VertScrollBar()->IsScrollBarVisible());

  QImage img = WidgetOf(f)->grab().toImage();
  // Every control left its mark: the pixels of its rectangle are not all one colour.
  for (const char* name : {"edtKey", "Edit_Pass", "dtBegin", "GroupBox1", "RadioGroup1", "Memo1", "Shape1", "Shape2",
                           "ProgressBar1", "UpDown1", "ScrollBar1", "ScrollBox1", "Btn_ok", "Btn_Exit", "BitBtn1",
                           "Label1", "SpeedButton1", "SpeedButton2"}) {
    auto* c = dynamic_cast<TControl*>(f->FindComponent(name));
    ASSERT_NE(c, nullptr) << name;
    TPoint o = c->ClientToParent({0, 0}, f);
    QRgb first = img.pixel(o.X, o.Y);
    bool varied = false;
    for (int y = o.Y; y < o.Y + c->ClientHeight() && !varied; ++y)
      for (int x = o.X; x < o.X + c->ClientWidth() && !varied; ++x) varied = img.pixel(x, y) != first;
    EXPECT_TRUE(varied) << name;
  }
  QDir().mkpath("screenshots");
  EXPECT_TRUE(GrabToPng(f, "screenshots/std_controls.png"));
  delete f;
}
