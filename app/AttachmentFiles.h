#pragma once
// Files attached to records: copies kept in a folder beside the program (PactDoc\ for
// contracts, PrjDoc\ for projects) under their own names, each file named by the DocName of a
// row of a documents table.
//
// A dialog's new attachments wait in the folder's staging folder until the transaction that
// stores their rows has committed, and only then take their place; a document deleted in the
// dialog keeps its file until the commit that deletes its row (for the transaction its file
// waits in staging too). So one rule settles every file in staging, whether a save finished
// or was cut short: a file whose row is stored takes its place in the folder, any other goes.
// The recovery pass at start applies it to whatever a killed save left.
//
// A DocName becomes a file only through this unit, and only when it is a plain file name (no
// folder, no '/' or '\', not "." or ".."): the file of exactly that spelling in the folder. So
// no name typed, restored or planted reaches a file outside the folder or the file of another
// record whose name differs only in case. A new document's name must differ from every stored
// or staged one even without regard to case, as the folder is searched that way elsewhere.
#include "core/Exceptions.h"

#include <set>

// A folder of attachments and the table whose rows name its files.
struct TAttachmentKind {
  const char* Folder;  // beside the program: "PactDoc"
  const char* Table;   // with a DocName column: "t_pact_doc"
};
extern const TAttachmentKind PactDocuments;  // PactDoc\, t_pact_doc
extern const TAttachmentKind PrjDocuments;   // PrjDoc\, dict_prj_detail

// A DocName that is no plain file name, refused where it would become a path.
KELM_EXCEPTION(EDocumentName, Exception);
extern const char* const DocumentNameText;     // "附件文件名无效（只能是不含路径的文件名）："
extern const char* const DocumentRowOnlyText;  // "附件文件名无效，只删除了记录，未删除任何文件："
// The folder of Kind's files: the program folder + "PactDoc/".
String DocumentFolder(const TAttachmentKind& Kind);
// The file a document's DocName names: DocumentFolder + Name. EDocumentName, with
// DocumentNameText and the name, when Name is no plain file name.
String DocumentFile(const TAttachmentKind& Kind, const String& Name);
// The path a row holds for the file Name: the program folder + "PactDoc\" + Name.
String StoredDocumentPath(const TAttachmentKind& Kind, const String& Name);

// The attachments one dialog adds and deletes between two saves.
class TAttachmentSession {
public:
  explicit TAttachmentSession(const TAttachmentKind& Kind) : FKind(Kind) {}
  // Discards what is still pending.
  ~TAttachmentSession();
  TAttachmentSession(const TAttachmentSession&) = delete;
  TAttachmentSession& operator=(const TAttachmentSession&) = delete;

  // The path a row holds for the file Name: the program folder + "PactDoc\" + Name.
  String StoredPath(const String& Name) const;

  // Copies Source into staging as Name (a plain name), the folders made when missing; false,
  // nothing staged, when the copy fails.
  bool Stage(const String& Source, const String& Name);
  bool IsStaged(const String& Name) const { return FStaged.count(Name) > 0; }
  // A document of this name, or of a name that differs from it only in case, is stored for any
  // record or waits in staging.
  bool NameTaken(const String& Name) const;
  // A document deleted in the dialog: its staged copy goes at once; a stored document's file
  // stays until the commit that deletes its row. False, no file to delete, for a name that is
  // no plain file name (its row names no file of the folder).
  bool Remove(const String& Name);

  // ---- around the save's transaction
  // Before it begins: the files of deleted stored documents wait in staging.
  void BeforeCommit();
  // After its commit: every file of the dialog is settled by the rule above.
  void AfterCommit();
  // After its rollback: deleted documents' files are back in place; staged copies stay for
  // the next try.
  void AfterRollback();
  // Leaving without a save: staged copies go; deleted documents keep their files.
  void Discard();

private:
  void DropEmptyStaging() const;
  String Folder() const { return DocumentFolder(FKind); }
  String Staging() const;

  const TAttachmentKind& FKind;
  std::set<String> FStaged;   // staged copies whose rows are not stored yet
  std::set<String> FRemoved;  // stored documents deleted in the dialog
  std::set<String> FParked;   // their files, waiting in staging for the transaction
};

class TDataSet;

// What became of a file attached to a dialog's documents.
enum TAttachOutcome { aoAttached, aoNameTaken, aoCopyFailed, aoBadName };
// Stages Source under its own name (what follows its last '/': a '\' belongs to a name on this
// system) and appends its row to Documents, posted into the query's cache: DocPath (the path
// the row keeps), DocDate (today) and DocName. Nothing is staged or appended when the name is
// no plain file name, is taken or the copy fails.
TAttachOutcome AttachDocument(TAttachmentSession& Files, const String& Source, TDataSet* Documents);
// The name AttachDocument gives the file Source.
String AttachedName(const String& Source);
// Deletes the current row of Documents in the cache; its file goes with the commit that
// deletes the row (a copy staged in this showing at once). Nothing without a current row.
// False when the row's DocName is no plain file name: the row goes, no file is touched.
bool RemoveCurrentDocument(TAttachmentSession& Files, TDataSet* Documents);

// Settles every file in the staging folder of Kind (half-written copies go, having no row).
// Runs at start, before any dialog is open.
void RecoverAttachments(const TAttachmentKind& Kind);
// The same for every attachment folder of the program.
void RecoverAllAttachments();
