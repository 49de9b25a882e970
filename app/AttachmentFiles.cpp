#include "app/AttachmentFiles.h"

#include "app/SaveSteps.h"
#include "app/SqlText.h"
#include "app/U_Data.h"
#include "core/FileUtils.h"
#include "core/DateUtils.h"
#include "data/DB.h"

#include <vector>

const TAttachmentKind PactDocuments = {"PactDoc", "t_pact_doc"};
const TAttachmentKind PrjDocuments = {"PrjDoc", "dict_prj_detail"};

namespace {

// The folder of Kind and its staging folder, each with a trailing separator.
String PlaceFolder(const TAttachmentKind& Kind) { return ProgramFolder() + Kind.Folder + PathDelim; }
String StagingFolder(const TAttachmentKind& Kind) { return PlaceFolder(Kind) + "~staging" + PathDelim; }

bool RowStored(const TAttachmentKind& Kind, const String& Name) {
  TADOQuery* q = Frm_Data->Qry_Temp;
  Frm_Data->OpenQuery(q, String("select DocName from ") + Kind.Table + " where DocName=" + SqlStr(Name));
  return !q->IsEmpty();
}

// One file of staging by the rule: into place when its row is stored, else gone.
void SettleFile(const TAttachmentKind& Kind, const String& Name) {
  String staged = StagingFolder(Kind) + Name;
  if (!FileExists(staged)) return;
  if (RowStored(Kind, Name)) RenameFileReplacing(staged, PlaceFolder(Kind) + Name);
  else DeleteFile(staged);
  PassSaveStep("file-settled");
}

std::vector<String> StagedNames(const TAttachmentKind& Kind) {
  std::vector<String> names;
  TSearchRec f;
  for (int rc = FindFirst(StagingFolder(Kind) + "*", faAnyFile, f); rc == 0; rc = FindNext(f))
    if (!(f.Attr & faDirectory)) names.push_back(f.Name);
  FindClose(f);
  return names;
}

}  // namespace

TAttachmentSession::~TAttachmentSession() {
  try {
    Discard();
  } catch (...) {
    // A file left in staging is settled by the next start.
  }
}

String TAttachmentSession::StoredPath(const String& Name) const {
  return ProgramFolder() + FKind.Folder + "\\" + Name;
}

String TAttachmentSession::PlacePath(const String& Name) const { return PlaceFolder(FKind) + Name; }

String TAttachmentSession::StagingPath(const String& Name) const { return StagingFolder(FKind) + Name; }

bool TAttachmentSession::Stage(const String& Source, const String& Name) {
  if (Name.empty() || !ForceDirectories(StagingFolder(FKind))) return false;
  if (!CopyFile(Source, StagingPath(Name), false)) {
    DropEmptyStaging();
    return false;
  }
  FStaged.insert(Name);
  return true;
}

void TAttachmentSession::Remove(const String& Name) {
  if (FStaged.erase(Name)) {
    DeleteFile(StagingPath(Name));
    DropEmptyStaging();
  } else {
    FRemoved.insert(Name);
  }
}

void TAttachmentSession::BeforeCommit() {
  for (const String& name : FRemoved)
    if (FileExists(PlacePath(name)) && ForceDirectories(StagingFolder(FKind)) &&
        RenameFileReplacing(PlacePath(name), StagingPath(name)))
      FParked.insert(name);
  PassSaveStep("staged");
}

void TAttachmentSession::AfterCommit() {
  std::set<String> names = FStaged;
  names.insert(FParked.begin(), FParked.end());
  FStaged.clear();
  FRemoved.clear();
  FParked.clear();
  for (const String& name : names) SettleFile(FKind, name);
  DropEmptyStaging();
}

void TAttachmentSession::AfterRollback() {
  for (const String& name : FParked) RenameFileReplacing(StagingPath(name), PlacePath(name));
  FParked.clear();
  DropEmptyStaging();
}

void TAttachmentSession::Discard() {
  AfterRollback();
  for (const String& name : FStaged) DeleteFile(StagingPath(name));
  FStaged.clear();
  FRemoved.clear();
  DropEmptyStaging();
}

bool TAttachmentSession::NameTaken(const String& Name) const { return IsStaged(Name) || RowStored(FKind, Name); }

TAttachOutcome AttachDocument(TAttachmentSession& Files, const String& Source, TDataSet* Documents) {
  String name = ExtractFileName(Source);
  if (Files.NameTaken(name)) return aoNameTaken;
  if (!Files.Stage(Source, name)) return aoCopyFailed;
  Documents->Append();
  Documents->FieldByName("DocPath")->SetAsString(Files.StoredPath(name));
  Documents->FieldByName("DocDate")->SetAsDateTime(Date());
  Documents->FieldByName("DocName")->SetAsString(name);
  Documents->Post();
  return aoAttached;
}

void RemoveCurrentDocument(TAttachmentSession& Files, TDataSet* Documents) {
  if (!Documents->Active() || Documents->IsEmpty()) return;
  Files.Remove(Documents->FieldByName("DocName")->AsString());
  Documents->Delete();
}

void TAttachmentSession::DropEmptyStaging() const { RemoveDir(ExcludeTrailingPathDelimiter(StagingFolder(FKind))); }

void RecoverAttachments(const TAttachmentKind& Kind) {
  if (!DirectoryExists(StagingFolder(Kind))) return;
  for (const String& name : StagedNames(Kind)) SettleFile(Kind, name);
  RemoveDir(ExcludeTrailingPathDelimiter(StagingFolder(Kind)));
}

void RecoverAllAttachments() {
  for (const TAttachmentKind* kind : {&PactDocuments, &PrjDocuments}) RecoverAttachments(*kind);
}
