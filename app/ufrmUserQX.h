#pragma once
// The users and their rights: users are added, deleted and renamed (with their passwords) in
// a grid over the shared query qryUserQX; the rights of the current user are check boxes
// named as the rights, stored in tUser.qxlist when the user presses save.
//
// While the window is open every post of qryUserQX (the grid's own included) is checked:
// a name another user has is refused, and so is a post or delete that would leave no user
// holding the right UserQX. A refused change stores nothing.
#include "forms/TfrmUserQX.h"
#include "gui/Forms.h"

#include <vector>

class TCheckBox;

class TfrmUserQX : public TfrmUserQXLayout<TForm> {
  KELM_CLASS(TfrmUserQX, TfrmUserQXLayout<TForm>)
public:
  explicit TfrmUserQX(TComponent* AOwner) : inherited(AOwner) {}
  // Gives the shared query back its own handlers.
  ~TfrmUserQX() override;

  // The rights in box order: each box's name and caption.
  struct TRight {
    const char* Name;
    const char* Caption;
  };
  static const TRight Rights[33];

  static const char* const BoxCaption;            // "提示"
  static const char* const DuplicateNameText;     // "用户名称重复，请您重新录入！"
  static const char* const LastRightsHolderText;  // "至少保留一个拥有用户权限的操作员！"
  // What the grid shows of a password that is not empty.
  static const char* const HiddenPassword;  // "******"

  // The right list of the ticked boxes: each name followed by ",", in box order.
  String TickedRights() const;

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void edtUserIDChange(TObject* Sender);
  void btnAddClick(TObject* Sender);
  void btnDelClick(TObject* Sender);
  void btnPostClick(TObject* Sender);
  void btnCloseClick(TObject* Sender);
  void N1Click(TObject* Sender);

private:
  // The window's check boxes, in their order.
  std::vector<TCheckBox*> RightBoxes() const;
  void qryUserQXBeforePost(TDataSet* DataSet);
  void qryUserQXBeforeDelete(TDataSet* DataSet);
  void PasswordGetText(TField* Sender, String& Text, bool DisplayText);
  // Shows the refusal and ends the change silently.
  [[noreturn]] void Refuse(const String& Text);
  // Refuses a change of the row UserID (-1 a new row) that leaves it holding UserQX or not.
  void CheckRightsHolder(Int64 UserID, bool StillHolds);

  bool FHandlersSet = false;
};

extern TfrmUserQX* frmUserQX;

// Whether the right list holds the right: its name occurs anywhere in it.
bool HoldsRight(const String& RightList, const String& Right);
