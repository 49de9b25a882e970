#include "app/legacy/LegacyRecords.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/legacy/LegacyRules.h"
#include "core/DateUtils.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "data/ADODB.h"

#include <algorithm>
#include <functional>

namespace {

using K = TLegacyValueKind;

// A name, a handler, a memo: the columns every record dialog has besides its own.
const TLegacyRecordKind kContract{
    "TFrm_Addht", "Qry_HT", "T_ht", "HTCode", "HT-", "新增合同信息", "编辑合同信息", "Edit_HTName", "合同名称不能为空!",
    "",
    {{"TypeCode", "HTType", K::TypeCode},
     {"Edit_project", "HTpoject", K::Text, true},
     {"Edit_HTName", "HTName", K::Text, true},
     {"Edit_htcode", "HTCode", K::Code, true},
     {"Edit_HTJF", "HTjf", K::Text, true},
     {"Edit_HTYF", "htyf", K::Text, true},
     {"Edit_DFQY", "HTDFQY", K::Text, true},
     {"Edit_WFQY", "HTWFQY", K::Text, true},
     {"QDDate", "qddate", K::Date},
     {"Combo_SP", "SPZT", K::Choice, true},
     {"BeginDate", "begindate", K::Date},
     {"EndDate", "enddate", K::Date},
     {"Edit_HTmoney", "HTmoney", K::Amount},
     {"Edit_HTYFK", "HTyfk", K::Amount},
     {"Edit_HTBZJBL", "BZBL", K::Amount},
     {"Edit_HTBZJ", "BZJ", K::Amount},
     {"Edit_HTprice", "HTprice", K::Amount},
     {"Edit_HTnumber", "HTnumber", K::Amount},
     // the two lists are cleared with the texts but stored as chosen
     {"Combo_ZFFS", "ZFFS", K::Text},
     {"Memo1", "Remark", K::Text, true},
     {"Combo_JKXZ", "JKXZ", K::Text}}};

const std::vector<TLegacyRecordKind> kRecords = {
    {"TFrm_htbg", "Qry_HTBG", "T_htBG", "BGcode", "BG-", "新增合同变更", "编辑合同变更", "Edit_bgName", "变更名称不能为空",
     "您确定要删除这条变更数据吗?",
     {{"Edit_bgName", "BGname", K::Text},
      {"Edit_bgcode", "BGcode", K::Code},
      {"DE_bgDate", "BGDate", K::Date},
      {"Edit_bgmoney", "BGmoney", K::Amount},
      {"Combo_qr", "QRzt", K::Choice},
      {"Memo1", "memo", K::Text},
      {"Combo_bgtype", "BGtype", K::Choice},
      {"Edit_jsr", "JSr", K::Text},
      {"Memo_yy", "BGyy", K::Text}}},
    {"TFrm_htbl", "Qry_htbl", "T_htBl", "blcode", "BL-", "新增合同报量", "编辑合同保量", "Edit_bLName", "报量名称不能为空",
     "您确定要删除这条报量数据吗?",
     {{"Edit_bLName", "blname", K::Text},
      {"Edit_blcode", "blcode", K::Code},
      {"DE_blDate", "blDate", K::Date},
      {"Edit_blmoney", "blmoney", K::Amount},
      {"Memo1", "memo", K::Text},
      {"Edit_jsr", "JSr", K::Text}}},
    {"TFrm_htsp", "Qry_htsp", "T_htsp", "SPcode", "SP-", "新增合同索赔", "编辑合同索赔", "Edit_spName", "索赔名称不能为空",
     "您确定要删除这条索赔数据吗?",
     {{"Edit_spName", "SPname", K::Text},
      {"Edit_spcode", "SPcode", K::Code},
      {"DE_spDate", "SPDate", K::Date},
      {"Edit_spmoney", "SPmoney", K::Amount},
      {"Combo_qr", "qrzt", K::Choice},
      {"Memo1", "memo", K::Text},
      {"Combo_sptype", "SPtype", K::Choice},
      {"Edit_jsr", "JSr", K::Text}}},
    {"TFrm_htjs", "Qry_htjs", "T_htJS", "JScode", "JS-", "新增合同结算", "编辑合同结算", "Edit_jsName", "结算名称不能为空",
     "您确定要删除这条结算数据吗?",
     {{"Edit_jsName", "JSname", K::Text},
      {"Edit_jscode", "JScode", K::Code},
      {"DE_jsDate", "jsDate", K::Date},
      {"Edit_jsmoney", "JSmoney", K::Amount},
      {"Memo1", "memo", K::Text},
      {"Edit_jsr", "JSr", K::Text}}},
    {"TFrm_htjh", "Qry_htjh", "T_HTfk", "", "", "新增付款计划", "编辑付款计划", "Edit_jhName", "计划名称不能为空",
     "您确定要删除这条付款计划数据吗?",
     {{"Edit_jhName", "jhname", K::Text},
      {"DE_zxDate", "ZXDate", K::Date},
      {"Edit_money", "jhmoney", K::Amount},
      {"Combo_zt", "Wczt", K::Choice},
      {"Memo1", "memo", K::Text}}},
    {"TFrm_htfk", "Qry_htfk", "T_HTfk1", "FKcode", "FK-", "新增合同付款", "编辑合同付款", "Edit_fkName", "付款名称不能为空",
     "您确定要删除这条合同付款数据吗?",
     {{"Edit_fkName", "fkname", K::Text},
      {"Edit_fkcode", "fkcode", K::Code},
      {"DE_fkDate", "fkDate", K::Date},
      {"Edit_fkmoney", "fkmoney", K::Amount},
      {"Edit_js", "jsmoney", K::Amount},
      {"Memo1", "memo", K::Text},
      {"Edit_jsr", "jsr", K::Text}}},
    {"TFrm_htwd", "Qry_htwd", "T_HTwd", "WDcode", "WD-", "新增合同文档", "编辑合同文档", "Edit_wdname", "文档名称不能为空",
     "您确定要删除这条合同文档数据吗?",
     {{"Edit_wdname", "wdname", K::Text},
      {"Edit_wdcode", "wdcode", K::Code},
      {"DE_bzDate", "bzDate", K::Date},
      {"Edit_wddx", "wddx", K::Text},
      {"Edit_bzcust", "bzcust", K::Text},
      {"TypeCode", "wdtype", K::TypeCode},
      // the path of the file chosen through the name's button (the dialog keeps it here)
      {"Edit1", "wdlj", K::Choice},
      {"Memo1", "memo", K::Text}}},
    {"TFrm_htskjh", "Qry_htskjh", "T_htsk", "", "", "新增收款计划", "编辑收款计划", "Edit_jhName", "计划名称不能为空",
     "您确定要删除这条收款计划数据吗?",
     {{"Edit_jhName", "jhname", K::Text},
      {"DE_zxDate", "ZXDate", K::Date},
      {"Combo_zt", "wczt", K::Choice},
      {"Edit_money", "money", K::Amount},
      {"Memo1", "memo", K::Text}}},
    {"TFrm_htsk", "Qry_htsk", "T_htsk1", "SKcode", "SK-", "新增合同收款", "编辑合同收款", "Edit_skName", "收款名称不能为空",
     "您确定要删除这条合同收款数据吗?",
     {{"Edit_skName", "skname", K::Text},
      {"Edit_skcode", "skcode", K::Code},
      {"DE_skDate", "skDate", K::Date},
      {"Edit_skmoney", "skmoney", K::Amount},
      {"Memo1", "memo", K::Text},
      {"Edit_jsr", "jsr", K::Text}}},
};

// The contract's six required fields in the order they are checked.
struct TRequired {
  const char* Control;
  const char* Message;
};
const TRequired kContractRequired[] = {
    {"Edit_project", "所属项目不能为空!"}, {"Edit_htcode", "合同编号不能为空!"}, {"Edit_HTName", "合同名称不能为空!"},
    {"Edit_HTJF", "合同甲方不能为空!"},    {"Edit_HTYF", "合同乙方不能为空!"},   {"Edit_TYPE", "合同类别不能为空!"},
};

const char* const kDuplicateNameText = "合同名称有重复!";
const char* const kDuplicateCodeText = "合同编号有重复!";

String StoredText(const TLegacyValue& v) { return v.Field->Trimmed ? Trim(v.Text) : v.Text; }

// Writes every value into the row being appended or edited; Amounts are already converted,
// in the order of the amounts among Values.
void WriteValues(TDataSet* Data, const TLegacyValues& Values, const std::vector<double>& Amounts) {
  std::size_t amount = 0;
  for (const TLegacyValue& v : Values) {
    TField* f = Data->FieldByName(v.Field->Column);
    switch (v.Field->Kind) {
      case K::Date:
        if (v.Date == 0) f->Clear();
        else f->SetAsDateTime(v.Date);
        break;
      case K::Amount:
        f->SetAsFloat(Amounts[amount++]);
        break;
      default:
        f->SetAsString(StoredText(v));
    }
  }
}

// Appends or edits, writes, posts; a failure leaves the query browsing as it was.
void PostValues(TDataSet* Data, int AddMode, const TLegacyValues& Values, const std::vector<double>& Amounts,
                const std::function<void()>& Extra) {
  if (AddMode == 1) Data->Append();
  else Data->Edit();
  TScopeExit undo([Data] { Data->Cancel(); });
  WriteValues(Data, Values, Amounts);
  if (Extra) Extra();
  Data->Post();
  undo.Dismiss();
}

// Other contracts (not the one in edit) holding Column = Value.
bool ContractTaken(const String& Column, const String& Value, int AddMode) {
  TADOQuery* temp = Frm_Data->Qry_Temp;
  Frm_Data->OpenQuery(temp, "select * from t_ht where " + Column + "=" + SqlStr(Value));
  if (AddMode == 1 || temp->IsEmpty()) return !temp->IsEmpty();
  // In edit mode the contract's own row does not count: it is found by its stored code.
  String own = Frm_Data->Qry_HT->FieldByName("HTCode")->AsString();
  for (temp->First(); !temp->Eof(); temp->Next())
    if (temp->FieldByName("HTCode")->AsString() != own) return true;
  return false;
}

// The amount of the stored contract Code; 0 when there is none.
double ContractAmount(const String& Code) {
  TADOQuery* temp = Frm_Data->Qry_Temp;
  Frm_Data->OpenQuery(temp, "select HTmoney from t_ht where HTCode=" + SqlStr(Code));
  return temp->IsEmpty() ? 0 : temp->Fields()->Fields(0)->AsFloat();
}

}  // namespace

const TLegacyRecordKind& LegacyContractKind() { return kContract; }
const std::vector<TLegacyRecordKind>& LegacyRecordKinds() { return kRecords; }

const TLegacyRecordKind* FindLegacyKind(const String& Window) {
  if (SameText(Window, kContract.Window)) return &kContract;
  for (const TLegacyRecordKind& k : kRecords)
    if (SameText(Window, k.Window)) return &k;
  return nullptr;
}

TADOQuery* LegacyQuery(const TLegacyRecordKind& Kind) {
  auto* q = dynamic_cast<TADOQuery*>(Frm_Data->FindComponent(Kind.Query));
  if (!q) throw Exception(String("数据模块没有查询 ") + Kind.Query);
  return q;
}

// ---------------------------------------------------------------- dated codes

String PadSerial(const String& Number) {
  String padded = Number;
  while (Length(padded) < 4) padded = "0" + padded;
  return padded;
}

Int64 SerialOfCode(const String& Code, const String& Stem) {
  String head = Stem + "-";
  if (Code.size() <= head.size() || !SameText(Code.substr(0, head.size()), head)) return -1;
  String serial = Code.substr(head.size());
  for (char c : serial)
    if (c < '0' || c > '9') return -1;
  Int64 value = 0;
  return TryStrToInt64(serial, value) ? value : -1;
}

String NextLegacyCode(const TLegacyRecordKind& Kind, TDateTime Today) {
  String stem = String(Kind.Prefix) + FormatDateTime("yyyy-mm-dd", Today);
  String column = Kind.CodeColumn;
  TADOQuery* temp = Frm_Data->Qry_Temp;
  // The day's codes as a range of the code's index: every one starts with stem + "-", and "."
  // is the character after "-".
  String day = " from " + String(Kind.Table) + " where " + column + ">=" + SqlStr(stem + "-") + " and " + column +
               "<" + SqlStr(stem + ".");
  Frm_Data->OpenQuery(temp, "select max(" + column + ")" + day);
  String last = temp->Fields()->Fields(0)->AsString();
  if (last.empty()) return stem + "-" + PadSerial("1");
  // Four-digit serials order as text. The last in text order is the largest unless the day
  // went past 9999 (10000 sorts before 9999) or a code typed by hand is no number; then, or
  // when the code after it is taken, every code of the day is looked at.
  Int64 largest = SerialOfCode(last, stem);
  if (largest >= 0 && largest < 9999 && Length(last) == Length(stem) + 5) {
    String next = stem + "-" + PadSerial(IntToStr(largest + 1));
    Frm_Data->OpenQuery(temp, "select " + column + " from " + Kind.Table + " where " + column + "=" + SqlStr(next));
    if (temp->IsEmpty()) return next;
  }
  largest = 0;
  Frm_Data->OpenQuery(temp, "select " + column + day);
  for (temp->First(); !temp->Eof(); temp->Next())
    largest = std::max(largest, SerialOfCode(temp->Fields()->Fields(0)->AsString(), stem));
  return stem + "-" + PadSerial(IntToStr(largest + 1));
}

// ---------------------------------------------------------------- values

const TLegacyValue* FindLegacyValue(const TLegacyValues& Values, const String& Column) {
  for (const TLegacyValue& v : Values)
    if (v.Field && SameText(v.Field->Column, Column)) return &v;
  return nullptr;
}

std::vector<double> ConvertLegacyAmounts(const TLegacyValues& Values) {
  std::vector<double> amounts;
  for (const TLegacyValue& v : Values) {
    if (v.Field->Kind != K::Amount) continue;
    try {
      amounts.push_back(static_cast<double>(StrToFloat(v.Text)));
    } catch (const EConvertError& e) {
      throw ELegacyAmount(v.Field->Control, e.Message());
    }
  }
  return amounts;
}

void ClearLegacyValues(TLegacyValues& Values, TDateTime Today) {
  for (TLegacyValue& v : Values) {
    if (v.Field->Kind == K::Text) v.Text.clear();
    else if (v.Field->Kind == K::Date) v.Date = DateOf(Today);
  }
}

TLegacyValues ReadLegacyRow(const std::vector<TLegacyField>& Fields, TDataSet* Data) {
  TLegacyValues values;
  for (const TLegacyField& field : Fields) {
    TLegacyValue v;
    v.Field = &field;
    TField* f = Data->FieldByName(field.Column);
    if (field.Kind == K::Date) v.Date = f->IsNull() ? 0 : f->AsDateTime();
    else if (field.Kind == K::Amount) v.Text = FloatToStr(f->AsFloat());
    else v.Text = f->AsString();
    values.push_back(v);
  }
  return values;
}

void WriteLegacyRow(TDataSet* Data, int AddMode, const TLegacyValues& Values) {
  std::vector<double> amounts = ConvertLegacyAmounts(Values);
  PostValues(Data, AddMode, Values, amounts, nullptr);
}

void SaveLegacyRecord(const TLegacyRecordKind& Kind, int AddMode, const TLegacyValues& Values) {
  std::vector<double> amounts = ConvertLegacyAmounts(Values);
  TADOQuery* contract = Frm_Data->Qry_HT;
  if (AddMode == 1 && (!contract->Active() || contract->IsEmpty())) throw Exception("没有当前合同,不能添加记录!");
  TDataSet* data = LegacyQuery(Kind);
  bool payment = SameText(Kind.Window, "TFrm_htfk");
  PostValues(data, AddMode, Values, amounts, [&] {
    if (AddMode == 1) data->FieldByName("HTCode")->SetAsString(contract->FieldByName("htCode")->AsString());
    // The contract's amount less this one payment: the payment's contract, which for an
    // edited payment is its own.
    if (payment) {
      double total = contract->FieldByName("HTmoney")->AsFloat();
      if (AddMode != 1) total = ContractAmount(data->FieldByName("HTCode")->AsString());
      data->FieldByName("wfmoney")->SetAsFloat(total - data->FieldByName("fkmoney")->AsFloat());
    }
  });
}

// ---------------------------------------------------------------- the contract

void CheckLegacyContract(const std::function<String(const String& Control)>& TextOf) {
  for (const TRequired& r : kContractRequired)
    if (Trim(TextOf(r.Control)).empty()) throw ELegacyCheck(r.Control, r.Message);
}

void SaveLegacyContract(int AddMode, const TLegacyValues& Values) {
  std::vector<double> amounts = ConvertLegacyAmounts(Values);
  String name = Trim(FindLegacyValue(Values, "HTName")->Text);
  String code = Trim(FindLegacyValue(Values, "HTCode")->Text);
  if (AddMode == 1 && ContractTaken("HTName", name, AddMode)) throw ELegacyCheck("Edit_HTName", kDuplicateNameText);
  if (ContractTaken("HTCode", code, AddMode)) throw ELegacyCheck("Edit_htcode", kDuplicateCodeText);
  TADOQuery* contract = Frm_Data->Qry_HT;
  if (AddMode == 1) {
    if (!contract->Active()) Frm_Data->OpenQuery(contract, "select * from T_ht");
    PostValues(contract, AddMode, Values, amounts, nullptr);
    return;
  }
  String oldCode = contract->FieldByName("HTCode")->AsString();
  bool moved = oldCode != code;
  Frm_Data->RunInTransaction([&] {
    if (moved) MoveLegacyRecords(oldCode, code);
    PostValues(contract, AddMode, Values, amounts, nullptr);
  });
  if (moved) RefreshLegacyRecordQueries();
}
