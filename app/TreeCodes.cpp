#include "app/TreeCodes.h"

#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "gui/TreeView.h"

String PadTreeCode(const String& Text) { return Length(Text) % 2 != 0 ? "0" + Text : Text; }

bool IsNumericText(const String& Text) {
  if (Text.empty()) return false;
  for (char c : Text)
    if (c < '0' || c > '9') return false;
  return true;
}

String TreeNodeCode(const TTreeNode* Node) {
  if (!Node->Parent()) return "";
  const String& t = Node->Text();
  return t.substr(0, t.find('-'));
}

String TreeNodeName(const TTreeNode* Node) {
  const String& t = Node->Text();
  if (!Node->Parent()) return t;
  std::size_t dash = t.find('-');
  return dash == String::npos ? String() : t.substr(dash + 1);
}

String CodeAfter(const String& Last) {
  if (Last.size() < 2) return "";
  String level = Last.substr(Last.size() - 2);
  if (!IsNumericText(level) || level == "99") return "";
  int next = (level[0] - '0') * 10 + (level[1] - '0') + 1;
  return Last.substr(0, Last.size() - 2) + PadTreeCode(IntToStr(next));
}
