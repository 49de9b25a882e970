#include "app/StoredReports.h"

#include "app/U_Data.h"
#include "core/FileUtils.h"
#include "report/frxClass.h"

#include <memory>

namespace {

// The data module with its layout only: creating it must neither open the database nor read
// Reports\ (which would replace the definitions this writes by the files' absence).
class TStoredReportsModule : public TFrm_Data {
public:
  using TFrm_Data::TFrm_Data;

protected:
  void DoCreate() override {}
};

}  // namespace

std::vector<String> WriteStoredReports(const String& ProgramFolder) {
  auto module = std::make_unique<TStoredReportsModule>(nullptr);
  module->InitDataModule();
  const std::pair<const char*, TfrxReport*> reports[] = {
      {"frx_goods", module->frx_goods}, {"frx_cust", module->frx_cust}, {"frx_project", module->frx_project}};
  std::vector<String> written;
  for (const auto& [name, report] : reports) {
    String file = ProgramFolder + "Reports\\" + name + ".fr3";
    if (FileExists(file)) continue;
    ForceDirectories(ProgramFolder + "Reports");
    report->SaveToFile(file);
    written.push_back(String(name) + ".fr3");
  }
  return written;
}
