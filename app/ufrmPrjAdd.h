#pragma once
// The project dialog "项目信息维护": a project with its documents, added (any number in one
// showing) or edited (one save, then it closes). The project row goes through the project
// list's own query, so the list shows it at once; the documents wait in the data module's
// batch query qryPrjDocAdd, their files in PrjDoc's staging folder, until the save writes
// them with the project in one transaction. Customer and manager come from the record picker,
// which finds the open dialog through its pick registrations.
//
// Its components are those of the layout forms/TfrmPrjAdd.txt.
#include "app/AttachmentFiles.h"
#include "forms/TfrmPrjAdd.h"
#include "gui/Forms.h"

class TfrmPrjAdd : public TfrmPrjAddLayout<TForm> {
  KELM_CLASS(TfrmPrjAdd, TfrmPrjAddLayout<TForm>)
public:
  explicit TfrmPrjAdd(TComponent* AOwner) : inherited(AOwner) {}
  ~TfrmPrjAdd() override;

  // 1 add, 0 edit; set by the opener before showing.
  Byte AddMode = 1;
  // The code of the project being edited; empty in add mode.
  String OldCode;

  // Empties every plain edit and the note, and sets the three dates to today.
  void ClearFields();
  // The current project of the list's query into the controls.
  void LoadFields();

  static const char* const WindowCaption;      // "项目信息维护"
  static const char* const DuplicateCodeText;  // "项目编号重复，请您重新录入！"
  static const char* const DuplicateNameText;  // "项目名称重复，请您重新录入！"
  static const char* const RequiredText;       // "红色显示的字段不能为空，请您重新录入！"
  static const char* const DuplicateFileText;  // "文件名重复，请您重新更改此文件的文件名！"
  static const char* const CopyFailedText;     // "文件复制失败，未能上传：" + the file

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender);
  void btnPostClick(TObject* Sender);
  void btnCloseClick(TObject* Sender);
  void btnAddClick(TObject* Sender);
  void btnDeleteClick(TObject* Sender);
  void btnSelectCustClick(TObject* Sender);
  void btnSelectEmpClick(TObject* Sender);
  void N1Click(TObject* Sender);

private:
  // The documents query opened on the project's rows (none in add mode), with its columns.
  void OpenDocuments();
  // The first refusal of the input, shown with its edit focused; false when the save may
  // go on.
  bool CheckInput();
  // The transaction: the project and its documents, all or (the error raised) none.
  void SaveProject();
  void WriteProject();
  void AfterSave();
  void Opened();
  void Closed();

  TAttachmentSession FFiles{PrjDocuments};
};

// The open dialog; nullptr while none is shown.
extern TfrmPrjAdd* frmPrjAdd;
