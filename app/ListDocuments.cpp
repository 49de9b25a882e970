#include "app/ListDocuments.h"

#include "app/AttachmentFiles.h"
#include "app/U_Data.h"
#include "core/FileUtils.h"
#include "data/DB.h"
#include "gui/Application.h"
#include "gui/MessageBox.h"
#include "gui/Shell.h"

const char* const DocumentMissingText = "文件不存在：";

String CurrentDocumentPath(TDataSet* Documents) {
  // Past the last row (Eof) the last row is still the current one.
  if (!Documents->Active() || Documents->IsEmpty()) return "";
  return Documents->FieldByName("DocPath")->AsString();
}

namespace {

// The current document's DocName, false without a current row; a name that is no plain file
// name is told and gives false too.
bool CurrentDocumentName(TDataSet* Documents, String& Name) {
  if (!Documents->Active() || Documents->IsEmpty()) return false;
  Name = Documents->FieldByName("DocName")->AsString();
  if (IsPlainFileName(Name)) return true;
  Application->MessageBox(DocumentNameText + Name, "提示", MB_OK | MB_ICONWARNING);
  return false;
}

}  // namespace

void OpenCurrentDocument(const TAttachmentKind& Kind, TDataSet* Documents, TWinControl* Window) {
  String name;
  if (!CurrentDocumentName(Documents, name)) return;
  try {
    ShellOpenFolderFile(DocumentFolder(Kind), name);
  } catch (const EShellError& e) {
    MessageBox(Window->Handle(), e.Message(), Application->Title(), MB_OK | MB_ICONERROR);
  }
}

void ShowCurrentDocumentFolder(const TAttachmentKind& Kind, TDataSet* Documents) {
  String name;
  if (!CurrentDocumentName(Documents, name)) return;
  if (FolderFileExists(DocumentFolder(Kind), name) && Frm_Data->SelectFileInExplorer(DocumentFile(Kind, name))) return;
  Application->MessageBox(DocumentMissingText + StoredDocumentPath(Kind, name), "提示", MB_OK | MB_ICONWARNING);
}
