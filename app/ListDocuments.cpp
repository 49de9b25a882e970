#include "app/ListDocuments.h"

#include "app/U_Data.h"
#include "data/DB.h"
#include "gui/Application.h"
#include "gui/Shell.h"

const char* const DocumentMissingText = "文件不存在：";

String CurrentDocumentPath(TDataSet* Documents) {
  // Past the last row (Eof) the last row is still the current one.
  if (!Documents->Active() || Documents->IsEmpty()) return "";
  return Documents->FieldByName("DocPath")->AsString();
}

void OpenCurrentDocument(TDataSet* Documents, TWinControl* Window) {
  String path = CurrentDocumentPath(Documents);
  if (!path.empty()) ShellExecute(Window->Handle(), "open", path, "", "", SW_SHOWNORMAL);
}

void ShowCurrentDocumentFolder(TDataSet* Documents) {
  String path = CurrentDocumentPath(Documents);
  if (path.empty() || Frm_Data->SelectFileInExplorer(path)) return;
  Application->MessageBox(DocumentMissingText + path, "提示", MB_OK | MB_ICONWARNING);
}
