#include "app/U_Data.h"

#include "core/ClassBuilder.h"
#include "core/FileUtils.h"
#include "gui/Application.h"
#include "gui/Controls.h"
#include "gui/MessageBox.h"
#include "gui/Shell.h"

#include <algorithm>
#include <vector>

TFrm_Data* Frm_Data = nullptr;

const char* const TFrm_Data::ConnectFailedText = "连接数据库失败,请与沃岚软件联系 ";

KELM_PUBLISH(TFrm_Data) {
  b.Field("ADOConnection1", &TFrm_Data::ADOConnection1);
  b.Field("qryPact", &TFrm_Data::qryPact);
  b.Field("dsPact", &TFrm_Data::dsPact);
  b.Field("qryPactZJ", &TFrm_Data::qryPactZJ);
  b.Field("dsPactZJ", &TFrm_Data::dsPactZJ);
  b.Field("qryPactJH", &TFrm_Data::qryPactJH);
  b.Field("dsPactJH", &TFrm_Data::dsPactJH);
  b.Field("qryPactDoc", &TFrm_Data::qryPactDoc);
  b.Field("dsPactDoc", &TFrm_Data::dsPactDoc);
  b.Field("qryPactFP", &TFrm_Data::qryPactFP);
  b.Field("dsPactFP", &TFrm_Data::dsPactFP);
  b.Field("qryPactZJAdd", &TFrm_Data::qryPactZJAdd);
  b.Field("dsPactZJAdd", &TFrm_Data::dsPactZJAdd);
  b.Field("qryPactJHAdd", &TFrm_Data::qryPactJHAdd);
  b.Field("dsPactJHAdd", &TFrm_Data::dsPactJHAdd);
  b.Field("qryPactDocAdd", &TFrm_Data::qryPactDocAdd);
  b.Field("dsPactDocAdd", &TFrm_Data::dsPactDocAdd);
  b.Field("qryPrj", &TFrm_Data::qryPrj);
  b.Field("dsPrj", &TFrm_Data::dsPrj);
  b.Field("qryPrjDoc", &TFrm_Data::qryPrjDoc);
  b.Field("dsPrjDoc", &TFrm_Data::dsPrjDoc);
  b.Field("qryPrjDocAdd", &TFrm_Data::qryPrjDocAdd);
  b.Field("dsPrjDocAdd", &TFrm_Data::dsPrjDocAdd);
  b.Field("qryEmp", &TFrm_Data::qryEmp);
  b.Field("dsEmp", &TFrm_Data::dsEmp);
  b.Field("qryCustContact", &TFrm_Data::qryCustContact);
  b.Field("dsCustContact", &TFrm_Data::dsCustContact);
  b.Field("qryCustContactAdd", &TFrm_Data::qryCustContactAdd);
  b.Field("dsCustContactAdd", &TFrm_Data::dsCustContactAdd);
  b.Field("qrySelect", &TFrm_Data::qrySelect);
  b.Field("dsSelect", &TFrm_Data::dsSelect);
  b.Field("qryInMoney", &TFrm_Data::qryInMoney);
  b.Field("dsInMoney", &TFrm_Data::dsInMoney);
  b.Field("qryOutMoney", &TFrm_Data::qryOutMoney);
  b.Field("dsOutMoney", &TFrm_Data::dsOutMoney);
  b.Field("qryInMoneyTX", &TFrm_Data::qryInMoneyTX);
  b.Field("dsInMoneyTX", &TFrm_Data::dsInMoneyTX);
  b.Field("qryOutMoneyTX", &TFrm_Data::qryOutMoneyTX);
  b.Field("dsOutMoneyTX", &TFrm_Data::dsOutMoneyTX);
  b.Field("qryUserQX", &TFrm_Data::qryUserQX);
  b.Field("dsUserQX", &TFrm_Data::dsUserQX);
  b.Field("qryCombo", &TFrm_Data::qryCombo);
  b.Field("dsCombo", &TFrm_Data::dsCombo);
  b.Field("qryChart", &TFrm_Data::qryChart);
  b.Field("dsChart", &TFrm_Data::dsChart);
  b.Field("Qry_Cust", &TFrm_Data::Qry_Cust);
  b.Field("DS_Cust", &TFrm_Data::DS_Cust);
  b.Field("Qry_Temp", &TFrm_Data::Qry_Temp);
  b.Field("Qry_Str", &TFrm_Data::Qry_Str);
  b.Field("Qry_FieldShow", &TFrm_Data::Qry_FieldShow);
  b.Field("Qry_APPInfo", &TFrm_Data::Qry_APPInfo);
  b.Field("Qry_Company", &TFrm_Data::Qry_Company);
  b.Field("Qry_Hy", &TFrm_Data::Qry_Hy);
  b.Field("Qry_Bill", &TFrm_Data::Qry_Bill);
  b.Field("DS_Bill", &TFrm_Data::DS_Bill);
  b.Field("Qry_BillDetail", &TFrm_Data::Qry_BillDetail);
  b.Field("DS_BillDetail", &TFrm_Data::DS_BillDetail);
  b.Field("Qry_Goods", &TFrm_Data::Qry_Goods);
  b.Field("DS_Goods", &TFrm_Data::DS_Goods);
  b.Field("Qry_Project", &TFrm_Data::Qry_Project);
  b.Field("DS_Project", &TFrm_Data::DS_Project);
  b.Field("Qry_htfl", &TFrm_Data::Qry_htfl);
  b.Field("DS_htfl", &TFrm_Data::DS_htfl);
  b.Field("Qry_HT", &TFrm_Data::Qry_HT);
  b.Field("DS_HT", &TFrm_Data::DS_HT);
  b.Field("Qry_HTBG", &TFrm_Data::Qry_HTBG);
  b.Field("DS_HTBG", &TFrm_Data::DS_HTBG);
  b.Field("Qry_htbl", &TFrm_Data::Qry_htbl);
  b.Field("DS_htbl", &TFrm_Data::DS_htbl);
  b.Field("Qry_htsp", &TFrm_Data::Qry_htsp);
  b.Field("DS_htsp", &TFrm_Data::DS_htsp);
  b.Field("Qry_htjs", &TFrm_Data::Qry_htjs);
  b.Field("DS_HTJS", &TFrm_Data::DS_HTJS);
  b.Field("Qry_htjh", &TFrm_Data::Qry_htjh);
  b.Field("DS_htjh", &TFrm_Data::DS_htjh);
  b.Field("Qry_htfk", &TFrm_Data::Qry_htfk);
  b.Field("DS_fk", &TFrm_Data::DS_fk);
  b.Field("Qry_htwd", &TFrm_Data::Qry_htwd);
  b.Field("DS_htwd", &TFrm_Data::DS_htwd);
  b.Field("Qry_htskjh", &TFrm_Data::Qry_htskjh);
  b.Field("DS_htskjh", &TFrm_Data::DS_htskjh);
  b.Field("Qry_htsk", &TFrm_Data::Qry_htsk);
  b.Field("DS_htsk", &TFrm_Data::DS_htsk);
  b.Field("Qry_count1", &TFrm_Data::Qry_count1);
  b.Field("DS_Count1", &TFrm_Data::DS_Count1);
  b.Field("Qry_Other", &TFrm_Data::Qry_Other);
  b.Field("DS_Other", &TFrm_Data::DS_Other);
  b.Field("Qry_AllBill", &TFrm_Data::Qry_AllBill);
  b.Field("DS_AllBill", &TFrm_Data::DS_AllBill);
  b.Field("Qry_emloyee", &TFrm_Data::Qry_emloyee);
  b.Field("DS_employee", &TFrm_Data::DS_employee);
  b.Field("Qry_Null", &TFrm_Data::Qry_Null);
  b.Field("DS_Null", &TFrm_Data::DS_Null);
  b.Field("Qry_Import", &TFrm_Data::Qry_Import);
  b.Field("Qry_Count", &TFrm_Data::Qry_Count);
  b.Field("Qry_Repeat", &TFrm_Data::Qry_Repeat);
  b.Field("Qry_SoftInfo", &TFrm_Data::Qry_SoftInfo);
  b.Field("Qry_Post", &TFrm_Data::Qry_Post);
  b.Field("Qry_Del", &TFrm_Data::Qry_Del);
  b.Field("Qry_SQL", &TFrm_Data::Qry_SQL);
  b.Field("Qry_momeryprice", &TFrm_Data::Qry_momeryprice);
  b.Field("frx_goods", &TFrm_Data::frx_goods);
  b.Field("frx_cust", &TFrm_Data::frx_cust);
  b.Field("frx_project", &TFrm_Data::frx_project);
  b.Field("frx_inbill", &TFrm_Data::frx_inbill);
  b.Field("frx_outbill", &TFrm_Data::frx_outbill);
  b.Field("frxDBDataset1", &TFrm_Data::frxDBDataset1);
  b.Field("frxDBDataset2", &TFrm_Data::frxDBDataset2);
  b.Field("frxDBDataset3", &TFrm_Data::frxDBDataset3);
  b.Field("frxDBDataset4", &TFrm_Data::frxDBDataset4);
  b.Field("frxDBDataset5", &TFrm_Data::frxDBDataset5);
  b.Field("frxDesigner1", &TFrm_Data::frxDesigner1);
  b.Field("fr_Project", &TFrm_Data::fr_Project);
  b.Field("fr_OutBill", &TFrm_Data::fr_OutBill);
  b.Field("frDS_Project", &TFrm_Data::frDS_Project);
  b.Method("FormCreate", &TFrm_Data::FormCreate);
  b.Method("Qry_BillDetailNumberChange", &TFrm_Data::Qry_BillDetailNumberChange);
  b.Method("Qry_BillDetailPriceChange", &TFrm_Data::Qry_BillDetailPriceChange);
  b.Method("Qry_BillDetailDiscountChange", &TFrm_Data::Qry_BillDetailDiscountChange);
}

TFrm_Data::TFrm_Data(TComponent* AOwner) : TDataModule(AOwner) {}

TFrm_Data::~TFrm_Data() {
  if (Frm_Data == this) Frm_Data = nullptr;
}

String TFrm_Data::BuildConnectionString(const String& ProgramFolder) {
  return "Provider=Microsoft.Jet.OLEDB.4.0;User ID=admin;Data Source=" + ProgramFolder + "DataBase\\kelm.mdb;" +
         "Persist Security Info=False;" + "Jet OLEDB:Database Password=8306472QKW";
}

void TFrm_Data::FormCreate(TObject*) {
  String folder = ProgramFolder();
  FConfigIni = std::make_unique<TIniFile>(folder + "Config.ini");
  FConnectionString = BuildConnectionString(folder);
  ADOConnection1->SetConnected(false);
  ADOConnection1->SetConnectionString(FConnectionString);
  try {
    ADOConnection1->Open();
    FDBConnected = 1;
  } catch (const Exception&) {
    MessageBox(0, ConnectFailedText, "kelm", MB_OK | MB_ICONINFORMATION);
    if (Application) Application->Terminate();
  }
  // The reports load whether or not the database opened.
  LoadReportFile(frx_goods, folder + "Reports\\frx_goods.fr3");
  LoadReportFile(frx_cust, folder + "Reports\\frx_cust.fr3");
  LoadReportFile(frx_project, folder + "Reports\\frx_project.fr3");
}

void TFrm_Data::LoadReportFile(TfrxReport* Report, const String& FileName) {
  // A missing file leaves the report empty. A file that cannot be read does the same and
  // keeps the reason in the report's errors: start-up goes on, and only that report is
  // without its definition.
  try {
    Report->LoadFromFile(FileName, false);
  } catch (const Exception&) {
  }
}

void TFrm_Data::OpenQuery(TADOQuery* Query, const String& SQL) {
  Query->Close();
  Query->SQL()->Clear();
  Query->SQL()->Add(SQL);
  Query->Open();
}

void TFrm_Data::ExecQuery(TADOQuery* Query, const String& SQL) {
  Query->Close();
  Query->SQL()->Clear();
  Query->SQL()->Add(SQL);
  Query->ExecSQL();
}

bool TFrm_Data::SelectFileInExplorer(const String& FileName) {
  if (!FileExists(FileName)) return false;
  ShellShowInFolder(FileName);
  return true;
}

void TFrm_Data::SetTabOrderByPosition(TWinControl* Container, bool Recurse) {
  std::vector<TWinControl*> order;
  for (int i = 0; i < Container->ControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(Container->Controls(i));
    if (!child) continue;
    auto before = std::find_if(order.begin(), order.end(), [child](TWinControl* entry) {
      return child->Top() < entry->Top() || (child->Top() == entry->Top() && child->Left() < entry->Left());
    });
    order.insert(before, child);
  }
  for (std::size_t i = 0; i < order.size(); ++i) {
    order[i]->SetTabOrder(static_cast<TTabOrder>(i));
    if (Recurse) SetTabOrderByPosition(order[i], true);
  }
}

void TFrm_Data::ApplyBillDetailAmount(TDataSet* DataSet) {
  double amount = DataSet->FieldByName("Number")->AsFloat() * DataSet->FieldByName("Price")->AsFloat() *
                  DataSet->FieldByName("Discount")->AsFloat();
  DataSet->FieldByName("Money")->SetAsCurrency(Currency::FromDouble(amount));
}

void TFrm_Data::Qry_BillDetailNumberChange(TField* Sender) { ApplyBillDetailAmount(Sender->DataSet()); }
void TFrm_Data::Qry_BillDetailPriceChange(TField* Sender) { ApplyBillDetailAmount(Sender->DataSet()); }
void TFrm_Data::Qry_BillDetailDiscountChange(TField* Sender) { ApplyBillDetailAmount(Sender->DataSet()); }
