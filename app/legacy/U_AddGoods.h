#pragma once
// The goods dialog "货品资料": adds goods (several in one showing, with an automatic code that
// counts up and is remembered for the next opening) or edits the current goods of the data
// module's Qry_Goods, stepping through them with "前一条"/"后一条". A changed code is carried
// to the bill lines in the same transaction as the goods row.
#include "forms/TFrm_AddGoods.h"
#include "gui/Forms.h"

class TFrm_AddGoods : public TFrm_AddGoodsLayout<TForm> {
  KELM_CLASS(TFrm_AddGoods, TFrm_AddGoodsLayout<TForm>)
public:
  explicit TFrm_AddGoods(TComponent* AOwner) : inherited(AOwner) {}
  ~TFrm_AddGoods() override;

  // ---- set by the opener
  int AddMode = 1;  // 1 add, any other value edit
  // ---- the dialog's state
  String TypeCode;  // the goods category code (Category_Goods)
  String OldCode;   // the code loaded in edit mode

  static const char* const IniSection;        // "OtherInfo"
  static const char* const CodeRequiredText;  // "请输入货品编码！!"
  static const char* const NameRequiredText;  // "请输入货品名称！!"
  static const char* const LimitsText;        // "库存上限不能小于或等于库存下限！!"
  static const char* const CodeTailText;      // "程序自动生成货品编码,请保持货品编码最后四位为数字!"
  static const char* const DuplicateCodeText; // "货品编码重复,请换一个货品编码!"
  static const char* const DuplicateUnitText; // "货品规格重复,不能录入!"
  static const char* const DuplicateNameText; // "货品名称重复,不能录入!"

  // The code after Code: its last four characters counted up by one, at least four digits
  // ("ABC0009" → "ABC0010", "ABC9999" → "ABC10000"); an empty tail counts as 0.
  static String NextGoodsCode(const String& Code);

  void ClearFields();
  void LoadFields();

  // ---- handlers named by the layout
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormKeyPress(TObject* Sender, Char& Key);
  void Btn_OKClick(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
  void btPriorClick(TObject* Sender);
  void btNextClick(TObject* Sender);
  void Edit_TypeButtonClick(TObject* Sender);

private:
  bool Refuse(const String& Text, TWinControl* Focus, bool AsDialog);
  bool DuplicateFound();
  void WriteFields();
};

// Whether Text is empty or a whole number.
bool IsIntegerText(const String& Text);

extern TFrm_AddGoods* Frm_AddGoods;
