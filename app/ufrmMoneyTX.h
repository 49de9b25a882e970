#pragma once
// The due-date reminder: the unsettled receipts and payments planned at most the configured
// number of days ahead, overdue ones included, on two pages with their counts.
#include "forms/TfrmMoneyTX.h"
#include "gui/Forms.h"

class TfrmMoneyTX : public TfrmMoneyTXLayout<TForm> {
  KELM_CLASS(TfrmMoneyTX, TfrmMoneyTXLayout<TForm>)
public:
  explicit TfrmMoneyTX(TComponent* AOwner) : inherited(AOwner) {}

  static const char* const UnsettledText;  // "未完成"

  // T_SoftInfo's txday: how many days ahead the reminder looks. Only a whole number goes into
  // a statement: an empty or other text raises EConvertError.
  static int ReminderDays();
  // The unsettled fund rows of one kind ("收款", "付款"; '' for both) planned at most Days
  // days after Today, overdue ones included, latest planned date first.
  static String DueRowsSQL(TDateTime Today, int Days, const String& ZjType);
  // A page's caption with its row count: "收款提醒 [ 3 ] ".
  static String PageCaption(const String& Title, int Count);

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void Excel1Click(TObject* Sender);
  void Excel2Click(TObject* Sender);
};
