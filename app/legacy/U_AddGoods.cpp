#include "app/legacy/U_AddGoods.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/U_tree.h"
#include "app/legacy/LegacyRules.h"
#include "app/legacy/LegacyWindows.h"
#include "core/ClassBuilder.h"
#include "core/IniFiles.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "data/ADODB.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"

#include <memory>

TFrm_AddGoods* Frm_AddGoods = nullptr;

const char* const TFrm_AddGoods::IniSection = "OtherInfo";
const char* const TFrm_AddGoods::CodeRequiredText = "请输入货品编码！!";
const char* const TFrm_AddGoods::NameRequiredText = "请输入货品名称！!";
const char* const TFrm_AddGoods::LimitsText = "库存上限不能小于或等于库存下限！!";
const char* const TFrm_AddGoods::CodeTailText = "程序自动生成货品编码,请保持货品编码最后四位为数字!";
const char* const TFrm_AddGoods::DuplicateCodeText = "货品编码重复,请换一个货品编码!";
const char* const TFrm_AddGoods::DuplicateUnitText = "货品规格重复,不能录入!";
const char* const TFrm_AddGoods::DuplicateNameText = "货品名称重复,不能录入!";

KELM_PUBLISH(TFrm_AddGoods) {
  b.Method("FormShow", &TFrm_AddGoods::FormShow);
  b.Method("FormClose", &TFrm_AddGoods::FormClose);
  b.Method("FormKeyPress", &TFrm_AddGoods::FormKeyPress);
  b.Method("Btn_OKClick", &TFrm_AddGoods::Btn_OKClick);
  b.Method("BitBtn1Click", &TFrm_AddGoods::BitBtn1Click);
  b.Method("btPriorClick", &TFrm_AddGoods::btPriorClick);
  b.Method("btNextClick", &TFrm_AddGoods::btNextClick);
  b.Method("Edit_TypeButtonClick", &TFrm_AddGoods::Edit_TypeButtonClick);
}

namespace {

const int kTreeMode = 1;

// The edits and the T_Goods columns they hold; how a value is written.
enum class TGoodsKind { Text, Trimmed, Number };
struct TGoodsColumn {
  const char* Control;
  const char* Column;
  TGoodsKind Kind;
  bool Cleared;  // emptied ("" or "0") by ClearFields
};
const TGoodsColumn kColumns[] = {
    {"Edit_GoodsCode", "GoodsCode", TGoodsKind::Trimmed, false},
    {"Edit_GoodsName", "GoodsName", TGoodsKind::Trimmed, true},
    {"Edit_GoodsUnit", "GoodsUnit", TGoodsKind::Trimmed, true},
    {"Edit_BarCode", "BarCode", TGoodsKind::Trimmed, true},
    {"Combo_Units", "Units", TGoodsKind::Trimmed, false},
    {"Edit_DepotUp", "DepotUp", TGoodsKind::Number, true},
    {"Edit_DepotDown", "DepotDown", TGoodsKind::Number, true},
    {"Edit_InPrice", "InPrice", TGoodsKind::Number, true},
    {"Edit_OutPrice", "OutPrice", TGoodsKind::Number, true},
    {"Edit_Remark1", "Remark1", TGoodsKind::Text, true},
    {"Edit_Remark2", "Remark2", TGoodsKind::Text, true},
    {"Edit_EnName", "EnName", TGoodsKind::Text, true},
    {"Edit_Price1", "Price1", TGoodsKind::Number, true},
    {"Edit_Price2", "Price2", TGoodsKind::Number, true},
    {"Edit_Price3", "Price3", TGoodsKind::Number, true},
    {"Edit_Price4", "Price4", TGoodsKind::Number, true},
    {"Edit_Remark3", "Remark3", TGoodsKind::Text, true},
    {"Edit_Remark4", "Remark4", TGoodsKind::Text, true},
    {"Edit_Remark5", "Remark5", TGoodsKind::Text, true},
};

const bool kTreeCallerAdded = [] {
  RegisterTreeCaller(kTreeMode, Frm_AddGoods, &TFrm_AddGoods::TypeCode, &TFrm_AddGoods::Edit_Type);
  return true;
}();

void FocusOn(TWinControl* Control) {
  if (Control && Control->CanFocus()) Control->SetFocus();
}

}  // namespace

bool IsIntegerText(const String& Text) {
  int v = 0;
  return Text.empty() || TryStrToInt(Text, v);
}

String TFrm_AddGoods::NextGoodsCode(const String& Code) {
  const int length = Length(Code);
  String prefix = LeftStr(Code, length - 4 > 0 ? length - 4 : 0);
  String tail = RightStr(Code, 4);
  Int64 number = 0;
  if (!tail.empty()) TryStrToInt64(Trim(tail), number);
  String digits = IntToStr(number + 1);
  while (Length(digits) < 4) digits = "0" + digits;
  return prefix + digits;
}

TFrm_AddGoods::~TFrm_AddGoods() {
  if (Frm_AddGoods == this) Frm_AddGoods = nullptr;
}

void TFrm_AddGoods::FormShow(TObject*) {
  Frm_AddGoods = this;
  PageControl1->SetActivePage(TabSheet1);
  Frm_Main->FillComboFromTable(Combo_Units, "Dict_Units");
  if (AddMode != 1) {
    SetCaption("货品资料-编辑");
    Btn_OK->SetCaption("保存(&S)");
    LoadFields();
    return;
  }
  SetCaption("货品资料-新增");
  TIniFile* ini = Frm_Data->ConfigIni();
  if (ini->ReadInteger(IniSection, "AutoGoodsCode", -1) != 0) {
    CB1->SetChecked(true);
    Edit_GoodsCode->SetText(ini->ReadString(IniSection, "GoodsCode", ""));
  } else {
    Edit_GoodsCode->SetText("");
    CB1->SetChecked(false);
  }
  ClearFields();
  Btn_OK->SetCaption("新增(&S)");
}

void TFrm_AddGoods::FormClose(TObject*, TCloseAction&) {
  if (AddMode != 1) return;
  TIniFile* ini = Frm_Data->ConfigIni();
  if (CB1->Checked()) {
    if (!Edit_GoodsCode->Text().empty()) ini->WriteString(IniSection, "GoodsCode", Edit_GoodsCode->Text());
    ini->WriteInteger(IniSection, "AutoGoodsCode", 1);
  } else {
    ini->WriteInteger(IniSection, "AutoGoodsCode", 0);
  }
}

void TFrm_AddGoods::FormKeyPress(TObject*, Char& Key) { LegacyEnterKey(this, Key); }

void TFrm_AddGoods::ClearFields() {
  for (const TGoodsColumn& c : kColumns) {
    if (!c.Cleared) continue;
    static_cast<TCustomEdit*>(FindComponent(c.Control))->SetText(c.Kind == TGoodsKind::Number ? "0" : "");
  }
  Combo_Units->SetItemIndex(Combo_Units->Items()->Count() > 0 ? 0 : -1);
}

void TFrm_AddGoods::LoadFields() {
  TADOQuery* q = Frm_Data->Qry_Goods;
  if (!q->Active() || q->IsEmpty()) return;
  TypeCode = q->FieldByName("GoodsType")->AsString();
  Frm_Data->OpenQuery(Frm_Data->Qry_Temp, "select * from Category_Goods where code=" + SqlStr(TypeCode));
  Edit_Type->SetText(Frm_Data->Qry_Temp->IsEmpty() ? String() : Frm_Data->Qry_Temp->FieldByName("name")->AsString());
  OldCode = q->FieldByName("GoodsCode")->AsString();
  for (const TGoodsColumn& c : kColumns) {
    String v = q->FieldByName(c.Column)->AsString();
    if (c.Kind != TGoodsKind::Trimmed) v = Trim(v);
    if (c.Control == String("Combo_Units")) Combo_Units->SetText(v);
    else static_cast<TCustomEdit*>(FindComponent(c.Control))->SetText(v);
  }
}

void TFrm_AddGoods::btPriorClick(TObject*) {
  TADOQuery* q = Frm_Data->Qry_Goods;
  if (q->Bof()) btPrior->SetEnabled(false);
  else q->Prior();
  btNext->SetEnabled(true);
  LoadFields();
}

void TFrm_AddGoods::btNextClick(TObject*) {
  TADOQuery* q = Frm_Data->Qry_Goods;
  if (q->Eof()) btNext->SetEnabled(false);
  else q->Next();
  btPrior->SetEnabled(true);
  LoadFields();
}

void TFrm_AddGoods::BitBtn1Click(TObject*) { Close(); }

void TFrm_AddGoods::Edit_TypeButtonClick(TObject*) {
  Frm_AddGoods = this;
  std::unique_ptr<TFrm_Tree> tree(CreateForm<TFrm_Tree>(this));
  tree->TableName = "Category_Goods";
  tree->TreeCaption = "货品类别";
  tree->CallerMode = kTreeMode;
  tree->ShowModal();
}

bool TFrm_AddGoods::Refuse(const String& Text, TWinControl* Focus, bool AsDialog) {
  if (AsDialog) MessageDlg(Text, mtConfirmation, {mbOK}, 0);
  else Application->MessageBox(Text, "警告", MB_OK | MB_ICONINFORMATION);
  FocusOn(Focus);
  return true;
}

// The checks of a new code, name and model (规格) against the goods kept.
bool TFrm_AddGoods::DuplicateFound() {
  TADOQuery* temp = Frm_Data->Qry_Temp;
  const String code = Trim(Edit_GoodsCode->Text());
  const String name = Edit_GoodsName->Text(), unit = Edit_GoodsUnit->Text();
  Frm_Data->OpenQuery(temp, "select * from T_Goods where GoodsCode=" + SqlStr(code));
  if (!temp->IsEmpty()) return Refuse(DuplicateCodeText, Edit_GoodsCode, true);
  if (!name.empty() && !unit.empty()) {
    Frm_Data->OpenQuery(temp, "select * from T_Goods where GoodsName=" + SqlStr(name) + " and GoodsUnit=" + SqlStr(unit));
    if (!temp->IsEmpty()) return Refuse(DuplicateUnitText, Edit_GoodsUnit, false);
  } else if (!name.empty()) {
    Frm_Data->OpenQuery(temp, "select * from T_Goods where GoodsName=" + SqlStr(name));
    if (!temp->IsEmpty()) return Refuse(DuplicateNameText, Edit_GoodsName, false);
  }
  return false;
}

void TFrm_AddGoods::WriteFields() {
  TADOQuery* q = Frm_Data->Qry_Goods;
  q->FieldByName("GoodsType")->SetAsString(TypeCode);
  for (const TGoodsColumn& c : kColumns) {
    TField* f = q->FieldByName(c.Column);
    String text = c.Control == String("Combo_Units") ? Combo_Units->Text()
                                                     : static_cast<TCustomEdit*>(FindComponent(c.Control))->Text();
    if (c.Kind == TGoodsKind::Number) {
      if (Trim(text).empty()) f->Clear();
      else f->SetAsFloat(StrToFloat(Trim(text)));
    } else {
      f->SetAsString(Trim(text));
    }
  }
}

void TFrm_AddGoods::Btn_OKClick(TObject*) {
  const String code = Trim(Edit_GoodsCode->Text());
  if (code.empty()) {
    Refuse(CodeRequiredText, Edit_GoodsCode, false);
    return;
  }
  if (Trim(Edit_GoodsName->Text()).empty()) {
    Refuse(NameRequiredText, Edit_GoodsName, false);
    return;
  }
  const String up = Edit_DepotUp->Text(), down = Edit_DepotDown->Text();
  if (!up.empty() && !down.empty() && StrToFloat(Trim(up)) < StrToFloat(Trim(down))) {
    Refuse(LimitsText, Edit_DepotUp, false);
    return;
  }
  TADOQuery* q = Frm_Data->Qry_Goods;
  if (AddMode == 1) {
    if (CB1->Checked() && !IsIntegerText(RightStr(code, 4))) {
      Refuse(CodeTailText, Edit_GoodsCode, true);
      return;
    }
    if (!q->Active()) Frm_Data->OpenQuery(q, "select * from T_Goods where Goodsid=1");
    if (DuplicateFound()) return;
    q->Append();
    TScopeExit undo([q] { q->Cancel(); });
    WriteFields();
    q->Post();
    undo.Dismiss();
    ClearFields();
    Edit_GoodsCode->SetText(CB1->Checked() ? NextGoodsCode(code) : String());
    return;
  }
  if (!q->Active() || q->IsEmpty()) return;
  // A new code must not be another goods' code: the bill lines follow the code.
  if (code != OldCode) {
    Frm_Data->OpenQuery(Frm_Data->Qry_Temp, "select * from T_Goods where GoodsCode=" + SqlStr(code));
    if (!Frm_Data->Qry_Temp->IsEmpty()) {
      Refuse(DuplicateCodeText, Edit_GoodsCode, true);
      return;
    }
  }
  const String old = OldCode;
  bool saved = LegacySave(
      [&] {
        q->Edit();
        TScopeExit undo([q] { q->Cancel(); });
        WriteFields();
        q->Post();
        undo.Dismiss();
        if (code != old) MoveGoodsCode(old, code);
      },
      {q});
  if (saved) OldCode = code;
}
