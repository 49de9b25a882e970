#include "app/AttachmentFiles.h"

#include "app/SaveSteps.h"
#include "app/SqlText.h"
#include "app/U_Data.h"
#include "core/FileUtils.h"
#include "core/DateUtils.h"
#include "data/DB.h"

#include <algorithm>
#include <vector>

const TAttachmentKind PactDocuments = {"PactDoc", "t_pact_doc"};
const TAttachmentKind PrjDocuments = {"PrjDoc", "dict_prj_detail"};

const char* const DocumentNameText = "附件文件名无效（只能是不含路径的文件名）：";
const char* const DocumentRowOnlyText = "附件文件名无效，只删除了记录，未删除任何文件：";

String DocumentFolder(const TAttachmentKind& Kind) { return ProgramFolder() + Kind.Folder + PathDelim; }

String DocumentFile(const TAttachmentKind& Kind, const String& Name) {
  if (!IsPlainFileName(Name)) throw EDocumentName(DocumentNameText + Name);
  return DocumentFolder(Kind) + Name;
}

String StoredDocumentPath(const TAttachmentKind& Kind, const String& Name) {
  return ProgramFolder() + Kind.Folder + "\\" + Name;
}

namespace {

String StagingFolder(const TAttachmentKind& Kind) { return DocumentFolder(Kind) + "~staging" + PathDelim; }

// The DocName of the rows of Kind's table that Where selects.
std::vector<String> StoredNames(const TAttachmentKind& Kind, const String& Where) {
  TADOQuery* q = Frm_Data->Qry_Temp;
  Frm_Data->OpenQuery(q, String("select DocName from ") + Kind.Table + Where);
  std::vector<String> names;
  for (q->First(); !q->Eof(); q->Next()) names.push_back(q->Fields()->Fields(0)->AsString());
  return names;
}

// A row names exactly this file. The database's comparison folds ASCII letters, so it finds the
// exact name among others.
bool RowStored(const TAttachmentKind& Kind, const String& Name) {
  std::vector<String> rows = StoredNames(Kind, " where DocName=" + SqlStr(Name));
  return std::find(rows.begin(), rows.end(), Name) != rows.end();
}

// A row names a file that the folder's lookup without regard to case takes for this one. The
// database folds ASCII letters only, so every name is compared here, as the folder does.
bool RowStoredInAnyCase(const TAttachmentKind& Kind, const String& Name) {
  std::vector<String> rows = StoredNames(Kind, "");
  return std::any_of(rows.begin(), rows.end(), [&](const String& n) { return SameFileName(n, Name); });
}

// One file of staging by the rule: into place when its row is stored, else gone. A name that
// is no plain file name (none that this program stages) is left where it is.
void SettleFile(const TAttachmentKind& Kind, const String& Name) {
  String staging = StagingFolder(Kind);
  if (!FolderFileExists(staging, Name)) return;
  if (RowStored(Kind, Name)) MoveFolderFile(staging, DocumentFolder(Kind), Name);
  else DeleteFolderFile(staging, Name);
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

String TAttachmentSession::StoredPath(const String& Name) const { return StoredDocumentPath(FKind, Name); }

String TAttachmentSession::Staging() const { return StagingFolder(FKind); }

bool TAttachmentSession::Stage(const String& Source, const String& Name) {
  if (!IsPlainFileName(Name) || !ForceDirectories(Staging())) return false;
  if (!CopyFileToFolder(Source, Staging(), Name)) {
    DropEmptyStaging();
    return false;
  }
  FStaged.insert(Name);
  return true;
}

bool TAttachmentSession::Remove(const String& Name) {
  if (!IsPlainFileName(Name)) return false;
  if (FStaged.erase(Name)) {
    DeleteFolderFile(Staging(), Name);
    DropEmptyStaging();
  } else {
    FRemoved.insert(Name);
  }
  return true;
}

void TAttachmentSession::BeforeCommit() {
  for (const String& name : FRemoved)
    if (FolderFileExists(Folder(), name) && ForceDirectories(Staging()) && MoveFolderFile(Folder(), Staging(), name))
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
  for (const String& name : FParked) MoveFolderFile(Staging(), Folder(), name);
  FParked.clear();
  DropEmptyStaging();
}

void TAttachmentSession::Discard() {
  AfterRollback();
  for (const String& name : FStaged) DeleteFolderFile(Staging(), name);
  FStaged.clear();
  FRemoved.clear();
  DropEmptyStaging();
}

bool TAttachmentSession::NameTaken(const String& Name) const {
  return std::any_of(FStaged.begin(), FStaged.end(), [&](const String& n) { return SameFileName(n, Name); }) ||
         RowStoredInAnyCase(FKind, Name);
}

String AttachedName(const String& Source) { return ExtractNativeFileName(Source); }

TAttachOutcome AttachDocument(TAttachmentSession& Files, const String& Source, TDataSet* Documents) {
  String name = AttachedName(Source);
  if (!IsPlainFileName(name)) return aoBadName;
  if (Files.NameTaken(name)) return aoNameTaken;
  if (!Files.Stage(Source, name)) return aoCopyFailed;
  Documents->Append();
  Documents->FieldByName("DocPath")->SetAsString(Files.StoredPath(name));
  Documents->FieldByName("DocDate")->SetAsDateTime(Date());
  Documents->FieldByName("DocName")->SetAsString(name);
  Documents->Post();
  return aoAttached;
}

bool RemoveCurrentDocument(TAttachmentSession& Files, TDataSet* Documents) {
  if (!Documents->Active() || Documents->IsEmpty()) return true;
  bool named = Files.Remove(Documents->FieldByName("DocName")->AsString());
  Documents->Delete();
  return named;
}

void TAttachmentSession::DropEmptyStaging() const { RemoveDir(ExcludeTrailingPathDelimiter(Staging())); }

void RecoverAttachments(const TAttachmentKind& Kind) {
  if (!DirectoryExists(StagingFolder(Kind))) return;
  for (const String& name : StagedNames(Kind)) SettleFile(Kind, name);
  RemoveDir(ExcludeTrailingPathDelimiter(StagingFolder(Kind)));
}

void RecoverAllAttachments() {
  for (const TAttachmentKind* kind : {&PactDocuments, &PrjDocuments}) RecoverAttachments(*kind);
}
