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
  b.Method("FormCreate", &TFrm_Data::FormCreate);
  b.Method("Qry_BillDetailNumberChange", &TFrm_Data::Qry_BillDetailNumberChange);
  b.Method("Qry_BillDetailPriceChange", &TFrm_Data::Qry_BillDetailPriceChange);
  b.Method("Qry_BillDetailDiscountChange", &TFrm_Data::Qry_BillDetailDiscountChange);
}

TFrm_Data::TFrm_Data(TComponent* AOwner) : inherited(AOwner) {}

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

void TFrm_Data::RunInTransaction(const std::function<void()>& Work) {
  TADOConnection* c = ADOConnection1;
  if (c->InTransaction()) {
    Work();
    return;
  }
  c->BeginTrans();
  try {
    Work();
  } catch (...) {
    c->RollbackTrans();
    throw;
  }
  c->CommitTrans();
}
