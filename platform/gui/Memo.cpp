// The memo: the edit's model in its multi-line form, with its text seen as lines.
#include "gui/Memo.h"

#include "gui/CtrlUtils_p.h"

#include "core/ClassBuilder.h"
#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <algorithm>

using ctrl_utils::IsBreak;
using ctrl_utils::NormaliseBreaks;

// The memo's text seen as lines: each change goes through the memo's model, so the text,
// the caret and OnChange follow.
class TMemoStrings : public TStrings {
public:
  explicit TMemoStrings(TCustomMemo* Memo) : FMemo(Memo) {}

  void Clear() override { FMemo->SetText(String()); }

  void Delete(int Index) override {
    std::vector<int> st = Starts();
    int count = CountOf(st);
    if (Index < 0 || Index >= count) Error(SListIndexError, Index);
    const std::u32string& t = FMemo->EditChars();
    int from = st[static_cast<std::size_t>(Index)];
    int to = Index + 1 < static_cast<int>(st.size()) ? st[static_cast<std::size_t>(Index + 1)] : static_cast<int>(t.size());
    // The last line without a break of its own takes the break before it along.
    if (Index + 1 >= static_cast<int>(st.size()) && from >= 2) from -= 2;
    FMemo->ReplaceChars(from, to, {}, false);
  }

  void Insert(int Index, const String& S) override {
    std::vector<int> st = Starts();
    int count = CountOf(st);
    if (Index < 0 || Index > count) Error(SListIndexError, Index);
    const std::u32string& t = FMemo->EditChars();
    std::u32string line = NormaliseBreaks(Utf8ToUtf32(S));
    int at;
    std::u32string ins;
    if (Index < count) {
      at = st[static_cast<std::size_t>(Index)];
      ins = line + U"\r\n";
    } else if (t.empty() || EndsWithBreak(t)) {
      at = static_cast<int>(t.size());
      ins = line + U"\r\n";
    } else {
      at = static_cast<int>(t.size());
      ins = U"\r\n" + line;
    }
    FMemo->ReplaceChars(at, at, ins, false);
  }

protected:
  String Get(int Index) const override {
    auto [from, to] = LineSpan(Index);
    const std::u32string& t = FMemo->EditChars();
    return Utf32ToUtf8(std::u32string_view(t).substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from)));
  }

  int GetCount() const override { return CountOf(Starts()); }

  void Put(int Index, const String& S) override {
    auto [from, to] = LineSpan(Index);
    FMemo->ReplaceChars(from, to, NormaliseBreaks(Utf8ToUtf32(S)), false);
  }

  void SetTextStr(const String& Value) override { FMemo->SetText(Value); }

private:
  static bool EndsWithBreak(const std::u32string& t) { return !t.empty() && IsBreak(t.back()); }
  // The first character of every line of the text.
  std::vector<int> Starts() const {
    const std::u32string& t = FMemo->EditChars();
    std::vector<int> st{0};
    for (std::size_t i = 0; i < t.size(); ++i)
      if (t[i] == U'\n') st.push_back(static_cast<int>(i + 1));
    return st;
  }
  // A final empty line (after the last break) is not a line of the list.
  int CountOf(const std::vector<int>& st) const {
    const std::u32string& t = FMemo->EditChars();
    if (t.empty()) return 0;
    return static_cast<int>(st.size()) - (EndsWithBreak(t) ? 1 : 0);
  }
  // The characters of line Index, its break left out; an index error past the last line.
  std::pair<int, int> LineSpan(int Index) const {
    std::vector<int> st = Starts();
    if (Index < 0 || Index >= CountOf(st)) Error(SListIndexError, Index);
    const std::u32string& t = FMemo->EditChars();
    int from = st[static_cast<std::size_t>(Index)];
    int to = from;
    while (to < static_cast<int>(t.size()) && !IsBreak(t[static_cast<std::size_t>(to)])) ++to;
    return {from, to};
  }

  TCustomMemo* FMemo;
};

KELM_PUBLISH(TCustomMemo) {}

KELM_PUBLISH(TMemo) { Published(b); }

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(std::make_unique<TMemoStrings>(this)) {
  SetMultiLine(true);
  TCustomEdit::SetAutoSize(false);
  SetWordWraps(true);
  SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::SetLines(TStrings* v) { FLines->Assign(v); }

void TCustomMemo::CreateParams(TCreateParams& P) {
  TCustomEdit::CreateParams(P);
  P.Style |= ES_MULTILINE;
}

TPoint TCustomMemo::CaretPosition() const {
  int line = LineOfChar(CaretPos());
  return {CaretPos() - LayoutLineStart(line), line};
}

void TCustomMemo::SetCaretPosition(TPoint v) {
  int line = std::clamp(v.Y, 0, LayoutLineCount() - 1);
  int start = LayoutLineStart(line);
  int pos = std::min(start + std::max(0, v.X), LayoutLineEnd(line));
  Perform(EM_SETSEL, static_cast<WPARAM>(pos), pos);
}

void TCustomMemo::KeyPress(Char& Key) {
  TCustomEdit::KeyPress(Key);
  if (Key == U'\r' && !WantsReturns()) Key = 0;
}

void TCustomMemo::Dispatch(TMessage& M) {
  if (M.Msg == WM_GETDLGCODE) {
    TCustomEdit::Dispatch(M);
    if (WantsTabs()) M.Result |= DLGC_WANTTAB;
    else M.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
    if (!WantsReturns()) M.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
    return;
  }
  TCustomEdit::Dispatch(M);
}
