#pragma once
// The contract edit window "合同信息维护": a contract with its fund plan, delivery plan and
// documents, added (any number in one showing) or edited (one save, then it closes). The
// contract row goes through the contract list's own query, so the list shows it at once; the
// plans and documents wait in the data module's batch queries until the save writes them with
// the contract in one transaction. Customer, project and manager come from the record picker,
// the type from the category window; both find the open dialog through the pick registries.
//
// Its components are those of the layout forms/TfrmPactAdd.txt.
#include "app/AttachmentFiles.h"
#include "forms/TfrmPactAdd.h"
#include "gui/Forms.h"

class TADOQuery;

class TfrmPactAdd : public TfrmPactAddLayout<TForm> {
  KELM_CLASS(TfrmPactAdd, TfrmPactAddLayout<TForm>)
public:
  explicit TfrmPactAdd(TComponent* AOwner) : inherited(AOwner) {}
  ~TfrmPactAdd() override;

  // 1 add, 0 edit; set by the opener before showing.
  Byte AddMode = 1;
  // The code of the contract being edited; empty in add mode.
  String OldCode;

  // Empties every plain edit (the hidden type code too) and the contract note, and sets the
  // three dates to today; the change note keeps its text.
  void ClearFields();
  // The current contract of the list's query into the controls.
  void LoadFields();

  static const char* const WindowCaption;      // "合同信息维护"
  static const char* const RequiredText;       // "红色显示的字段不能为空，请您重新录入！"
  static const char* const DuplicateCodeText;  // "合同编号重复，请您重新录入！"
  static const char* const DuplicateNameText;  // "合同名称重复，请您重新录入！"
  static const char* const DuplicateFileText;  // "文件名重复，请您重新更改此文件的文件名！"
  static const char* const CopyFailedText;     // "文件复制失败，未能上传：" + the file
  static const char* const FailedText;         // "操作失败！"

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender);
  void btnPostClick(TObject* Sender);
  void btnCloseClick(TObject* Sender);
  void btnPactTypeClick(TObject* Sender);
  void btnSelectCustClick(TObject* Sender);
  void btnSelectPrjClick(TObject* Sender);
  void btnSelectEmpClick(TObject* Sender);
  void Button2Click(TObject* Sender);
  void Button3Click(TObject* Sender);
  void btnAddClick(TObject* Sender);
  void btnDeleteClick(TObject* Sender);
  void Button4Click(TObject* Sender);
  void Button5Click(TObject* Sender);
  void N1Click(TObject* Sender);
  void MenuItem1Click(TObject* Sender);
  void MenuItem2Click(TObject* Sender);

private:
  // The detail queries opened on the contract's rows (none in add mode), with their columns.
  void OpenDetails();
  // The refusal of the input, shown with its edit focused; false when the save may go on.
  bool CheckInput();
  // The transaction: all of the contract or, shown as a failure, none of it.
  bool SaveContract();
  void WriteContract();
  // After a failure: nothing half-edited stays behind in the queries; the failure is shown,
  // with its reason on a second line when there is one.
  void SaveFailed(const String& Reason);
  void AbandonEdits();
  void AfterSave();
  void SaveColumnsOf(int Index);
  void Opened();
  void Closed();

  TAttachmentSession FFiles{PactDocuments};
};

// The open dialog; nullptr while none is shown.
extern TfrmPactAdd* frmPactAdd;
