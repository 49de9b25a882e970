#include "app/legacy/LegacyWindows.h"

#include "app/SqlText.h"

#include "gui/Buttons.h"
#include "gui/ComCtrls.h"
#include "gui/DBCtrls.h"
#include "gui/Forms.h"

void CaptionLegacyNavigator(TDBNavigator* Navigator) {
  struct TCaption {
    TNavigateBtn Button;
    const char* Text;
  } static const kCaptions[] = {{nbFirst, "第一条"}, {nbPrior, "前一条"}, {nbNext, "后一条"}, {nbLast, "末一条"}};
  for (const TCaption& c : kCaptions) {
    TNavButton* b = Navigator->Buttons(c.Button);
    b->SetCaption(c.Text);
    b->SetGlyph(nullptr);
  }
}

void LegacyEnterKey(TCustomForm* Form, Char& Key) {
  if (Key != '\r') return;
  if (dynamic_cast<TBitBtn*>(Form->ActiveControl())) return;
  Key = 0;
  Form->SelectNext(Form->ActiveControl(), true, true);
}

void ShowLegacyStatus(TStatusBar* Status, const String& Text) {
  if (Status->Panels()->Count() > 0) Status->Panels()->Items(0)->SetText(Text);
  else Status->SetSimpleText(Text);
}

String LegacySearchSQL(const String& Table, const std::vector<String>& Conditions) {
  if (Conditions.empty()) return "select * from " + Table;
  String sql = "select * from " + SqlName(Table) + " where ";
  for (std::size_t i = 0; i < Conditions.size(); ++i) sql += (i ? "AND" : "") + Conditions[i];
  return sql;
}

String LegacyLike(const String& Column, const String& Text) { return "(" + Column + " like " + SqlContains(Text) + ")"; }

std::vector<String> LegacyLikes(const std::vector<std::pair<String, String>>& ColumnTexts) {
  std::vector<String> conditions;
  for (const auto& [column, text] : ColumnTexts)
    if (!text.empty()) conditions.push_back(LegacyLike(column, text));
  return conditions;
}
