// The rich edit's formatting model, its attribute objects, undo, search, and range formatting
// over a QTextDocument laid out at the device's resolution.
#include "gui/RichEdit.h"

#include "gui/Forms.h"
#include "gui/GraphicsObjects.h"
#include "gui/QtBridge_p.h"
#include "gui/WinGDI.h"

#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <deque>

// ================================================================ the model

namespace {

// A range laid out once: asking again for other heights (a bisection) reads the lines.
struct TLaidOutLine {
  double Top = 0, Bottom = 0;
  int DocStart = 0;  // position in the laid-out document
  QTextBlock Block;
  int LineNumber = 0;
};

struct TLayoutKey {
  std::uint64_t Version = 0;
  int From = 0, To = 0, Width = 0, DpiX = 0, DpiY = 0;
  bool operator==(const TLayoutKey&) const = default;
};

LOGFONT LogFontOf(const TRichCharFormat& F, int EmPixels) {
  LOGFONT lf;
  lf.lfHeight = -EmPixels;
  lf.lfWeight = F.Bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = F.Italic;
  lf.lfUnderline = F.Underline;
  lf.lfStrikeOut = F.StrikeOut;
  lf.lfCharSet = static_cast<Byte>(F.Charset);
  lf.lfFaceName = F.Name;
  return lf;
}

int EmPixelsOf(const TRichCharFormat& F, int Dpi) { return std::max(1, static_cast<int>(std::lround(F.HalfPoints * Dpi / 144.0))); }

}  // namespace

struct TCustomRichEdit::TModel {
  std::vector<TRichCharFormat> Formats{TRichCharFormat{}};
  std::vector<std::uint16_t> CharFormat;
  std::vector<TRichParaFormat> Paragraphs{TRichParaFormat{}};
  TRichCharFormat Default;
  // The format the next typed text takes, while the caret stays at TypingAt.
  bool HasTyping = false;
  TRichCharFormat Typing;
  int TypingAt = -1;
  // Undo: the states before the last changes, and the state now.
  std::deque<TRichDocument> UndoStack;
  int UndoLimit = 100;
  TRichDocument Last;
  bool Restoring = false;
  int SelStart = -1, SelLength = -1;  // as last seen, to tell a moved selection
  std::uint64_t Version = 1;
  // The last range laid out.
  TLayoutKey Key;
  std::unique_ptr<QTextDocument> Doc;
  std::vector<int> MemoOfDoc;  // memo position of each document position (and the end)
  std::vector<TLaidOutLine> Lines;

  std::uint16_t IndexOf(const TRichCharFormat& F) {
    for (std::size_t i = 0; i < Formats.size(); ++i)
      if (Formats[i] == F) return static_cast<std::uint16_t>(i);
    // A long editing session makes formats nobody uses; a full table starts again from the
    // formats in use.
    if (Formats.size() >= 60000) Compact();
    Formats.push_back(F);
    return static_cast<std::uint16_t>(Formats.size() - 1);
  }

  void Compact() {
    std::vector<TRichCharFormat> used;
    for (std::uint16_t& i : CharFormat) {
      auto it = std::find(used.begin(), used.end(), Formats[i]);
      if (it == used.end()) it = used.insert(used.end(), Formats[i]);
      i = static_cast<std::uint16_t>(it - used.begin());
    }
    Formats = std::move(used);
  }
};

KELM_PUBLISH(TCustomRichEdit) {}

KELM_PUBLISH(TRichEdit) { Published(b); }

KELM_PUBLISH(TTextAttributes) {}

KELM_PUBLISH(TParaAttributes) {}

namespace {

// The lines of a rich edit: the memo's lines, read and written as rich text by the streams.
class TRichEditLines : public TStrings {
public:
  explicit TRichEditLines(TCustomRichEdit* Edit) : FEdit(Edit) {}
  // The memo's own lines, which do the work on the text.
  void SetInner(std::unique_ptr<TStrings> Inner) { FInner = std::move(Inner); }
  void Clear() override { FInner->Clear(); }
  void Delete(int Index) override { FInner->Delete(Index); }
  void Insert(int Index, const String& S) override { FInner->Insert(Index, S); }
  void LoadFromStream(TStream* Stream) override {
    String data(static_cast<std::size_t>(std::max<Int64>(0, Stream->Size() - Stream->Position())), '\0');
    if (!data.empty()) Stream->ReadBuffer(data.data(), static_cast<Int64>(data.size()));
    if (FEdit->PlainText()) FEdit->SetText(data);
    else FEdit->SetRtfText(data);
  }
  void SaveToStream(TStream* Stream) override {
    String data = FEdit->PlainText() ? FEdit->Text() : FEdit->RtfText();
    Stream->WriteBuffer(data.data(), static_cast<Int64>(data.size()));
  }

protected:
  String Get(int Index) const override { return FInner->Strings(Index); }
  int GetCount() const override { return FInner->Count(); }
  void Put(int Index, const String& S) override { FInner->SetStrings(Index, S); }
  void SetTextStr(const String& Value) override { FInner->SetText(Value); }

private:
  TCustomRichEdit* FEdit;
  std::unique_ptr<TStrings> FInner;
};

TRichCharFormat FormatOfFont(TFont* F) {
  TRichCharFormat r;
  r.Name = F->Name();
  r.HalfPoints = std::max(1, F->Size()) * 2;
  TColor c = F->Color();
  r.Color = c == clWindowText || c == clDefault || c == clNone ? -1 : static_cast<int>(ColorToRGB(c));
  r.Bold = F->Style().Contains(fsBold);
  r.Italic = F->Style().Contains(fsItalic);
  r.Underline = F->Style().Contains(fsUnderline);
  r.StrikeOut = F->Style().Contains(fsStrikeOut);
  r.Charset = F->Charset();
  return r;
}

}  // namespace

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner)
    : TCustomMemo(AOwner), FModel(std::make_unique<TModel>()),
      FSelAttributes(std::make_unique<TTextAttributes>(this, false)),
      FDefAttributes(std::make_unique<TTextAttributes>(this, true)),
      FParagraph(std::make_unique<TParaAttributes>(this)) {
  auto* lines = new TRichEditLines(this);
  lines->SetInner(ReplaceLines(lines));
  FModel->Default = FormatOfFont(Font());
  FModel->Formats[0] = FModel->Default;
  FModel->Last = Document();
}

TCustomRichEdit::~TCustomRichEdit() = default;

int TCustomRichEdit::GetTextLen() const { return static_cast<int>(EditChars().size()); }

// The text changed in [Start, End): the formats of the removed characters go, the inserted ones
// take the typing format or their left neighbour's; the paragraphs follow the breaks.
void TCustomRichEdit::CharsReplaced(int Start, int End, int Inserted) {
  TModel& m = *FModel;
  if (m.Restoring) return;
  ++m.Version;
  const std::u32string& t = EditChars();
  auto& cf = m.CharFormat;
  cf.resize(std::max<std::size_t>(cf.size(), static_cast<std::size_t>(End)));
  std::uint16_t fmt;
  if (m.HasTyping && m.TypingAt == Start) fmt = m.IndexOf(m.Typing);
  else if (End > Start && Start < static_cast<int>(cf.size())) fmt = cf[static_cast<std::size_t>(Start)];  // a replaced selection's first character
  else if (Start > 0 && Start <= static_cast<int>(cf.size()) && t[static_cast<std::size_t>(Start - 1)] != U'\n') fmt = cf[static_cast<std::size_t>(Start - 1)];
  else if (End < static_cast<int>(cf.size())) fmt = cf[static_cast<std::size_t>(End)];
  else if (Start > 0 && Start <= static_cast<int>(cf.size())) fmt = cf[static_cast<std::size_t>(Start - 1)];
  else fmt = m.IndexOf(m.Default);
  cf.erase(cf.begin() + Start, cf.begin() + End);
  cf.insert(cf.begin() + Start, static_cast<std::size_t>(Inserted), fmt);
  cf.resize(t.size(), fmt);
  // Paragraphs: the one holding Start loses the breaks removed and lends its format to new ones.
  int before = 0, added = 0, total = 1;
  for (int i = 0; i < static_cast<int>(t.size()); ++i)
    if (t[static_cast<std::size_t>(i)] == U'\n') {
      ++total;
      if (i < Start) ++before;
      else if (i < Start + Inserted) ++added;
    }
  auto& ps = m.Paragraphs;
  const int removed = std::max(0, static_cast<int>(ps.size()) - (total - added));
  const std::size_t p = std::min<std::size_t>(static_cast<std::size_t>(before), ps.size() - 1);
  const TRichParaFormat keep = ps[p];
  ps.erase(ps.begin() + static_cast<std::ptrdiff_t>(p + 1),
           ps.begin() + static_cast<std::ptrdiff_t>(std::min(ps.size(), p + 1 + static_cast<std::size_t>(removed))));
  ps.insert(ps.begin() + static_cast<std::ptrdiff_t>(p + 1), static_cast<std::size_t>(added), keep);
  ps.resize(static_cast<std::size_t>(total), keep);
  if (Start == 0 && End > 0 && Inserted == static_cast<int>(t.size())) {
    // A whole new text: plain text in the default formats.
    std::fill(cf.begin(), cf.end(), m.IndexOf(m.Default));
    std::fill(ps.begin(), ps.end(), TRichParaFormat{});
  }
  m.HasTyping = false;
  Remember();
}

void TCustomRichEdit::SetWindowTextDirect(const String& v) { TCustomMemo::SetWindowTextDirect(v); }

void TCustomRichEdit::Remember() {
  TModel& m = *FModel;
  if (m.UndoLimit <= 0) return;
  m.UndoStack.push_back(std::move(m.Last));
  while (static_cast<int>(m.UndoStack.size()) > m.UndoLimit) m.UndoStack.pop_front();
  m.Last = Document();
}

TRichDocument TCustomRichEdit::Document() const {
  TRichDocument d;
  d.Text = EditChars();
  d.Formats = FModel->Formats;
  d.CharFormat = FModel->CharFormat;
  d.CharFormat.resize(d.Text.size(), 0);
  d.Paragraphs = FModel->Paragraphs;
  return d;
}

void TCustomRichEdit::SetDocument(const TRichDocument& Doc) {
  TModel& m = *FModel;
  {
    TRestore<bool> quiet(m.Restoring, true);
    SetText(Utf32ToUtf8(Doc.Text));
  }
  const std::size_t n = EditChars().size();
  m.Formats = Doc.Formats.empty() ? std::vector<TRichCharFormat>{m.Default} : Doc.Formats;
  m.CharFormat = Doc.CharFormat;
  m.CharFormat.resize(n, 0);
  for (std::uint16_t& i : m.CharFormat)
    if (i >= m.Formats.size()) i = 0;
  int paras = 1;
  for (char32_t c : EditChars()) paras += c == U'\n';
  m.Paragraphs = Doc.Paragraphs;
  m.Paragraphs.resize(static_cast<std::size_t>(paras), m.Paragraphs.empty() ? TRichParaFormat{} : m.Paragraphs.back());
  m.HasTyping = false;
  ++m.Version;
  if (!m.Restoring) Remember();
  Invalidate();
}

String TCustomRichEdit::RtfText() const { return DocumentToRtf(Document()); }

void TCustomRichEdit::SetRtfText(const String& Rtf) {
  TRichDocument doc;
  if (RtfToDocument(Rtf, doc, FModel->Default)) SetDocument(doc);
  else SetText(Rtf);
}

// ================================================================ undo and search

void TCustomRichEdit::Undo() {
  TModel& m = *FModel;
  if (m.UndoStack.empty()) return;
  TRichDocument d = std::move(m.UndoStack.back());
  m.UndoStack.pop_back();
  {
    TRestore<bool> quiet(m.Restoring, true);
    SetDocument(d);
  }
  m.Last = std::move(d);
}

bool TCustomRichEdit::CanUndo() const { return !FModel->UndoStack.empty(); }

void TCustomRichEdit::ClearUndo() {
  FModel->UndoStack.clear();
  FModel->Last = FModel->UndoLimit > 0 ? Document() : TRichDocument{};
}

void TCustomRichEdit::SetUndoLimit(int Limit) {
  FModel->UndoLimit = std::max(0, Limit);
  while (static_cast<int>(FModel->UndoStack.size()) > FModel->UndoLimit) FModel->UndoStack.pop_front();
  ClearUndo();
}

int TCustomRichEdit::FindText(const String& SearchStr, int StartPos, int Length, TSearchTypes Options) const {
  const bool matchCase = Options.Contains(stMatchCase);
  auto fold = [&](const std::u32string& s) { return matchCase ? s : Utf8ToUtf32(AnsiLowerCase(Utf32ToUtf8(s))); };
  const std::u32string text = fold(EditChars());
  const std::u32string what = fold(Utf8ToUtf32(SearchStr));
  const int n = static_cast<int>(text.size());
  StartPos = std::clamp(StartPos, 0, n);
  const int stop = Length < 0 ? n : std::min(n, StartPos + Length);
  if (what.empty()) return -1;
  auto wordChar = [&](int i) {
    char32_t c = text[static_cast<std::size_t>(i)];
    return c == U'_' || (c < 0x80 && std::isalnum(static_cast<int>(c))) || c >= 0x80;
  };
  for (std::size_t at = text.find(what, static_cast<std::size_t>(StartPos)); at != std::u32string::npos;
       at = text.find(what, at + 1)) {
    const int a = static_cast<int>(at), e = a + static_cast<int>(what.size());
    if (e > stop) break;
    if (Options.Contains(stWholeWord) && ((a > 0 && wordChar(a - 1)) || (e < n && wordChar(e)))) continue;
    return a;
  }
  return -1;
}

// ================================================================ messages

void TCustomRichEdit::Dispatch(TMessage& Message) {
  if (Message.Msg == EM_UNDO) {
    Undo();
    Message.Result = 1;
    return;
  }
  if (Message.Msg == EM_CANUNDO) {
    Message.Result = CanUndo();
    return;
  }
  TCustomMemo::Dispatch(Message);
  TModel& m = *FModel;
  if (Message.Msg == CM_FONTCHANGED) {
    // Text in the old default format takes the new one.
    const TRichCharFormat old = m.Default;
    m.Default = FormatOfFont(Font());
    for (TRichCharFormat& f : m.Formats)
      if (f == old) f = m.Default;
    ++m.Version;
  }
  const int s = SelFrom(), l = SelCount();
  if (s != m.SelStart || l != m.SelLength) {
    m.SelStart = s;
    m.SelLength = l;
    if (m.TypingAt != s + l && m.TypingAt != s) m.HasTyping = false;
    if (OnSelectionChange) OnSelectionChange(this);
  }
}

// ================================================================ formats

TRichCharFormat TCustomRichEdit::CharFormatAt(int Index) const {
  const TModel& m = *FModel;
  if (Index < 0 || Index >= static_cast<int>(m.CharFormat.size())) return m.Default;
  return m.Formats[m.CharFormat[static_cast<std::size_t>(Index)]];
}

TRichParaFormat TCustomRichEdit::ParaFormatAt(int Index) const {
  int p = 0;
  const std::u32string& t = EditChars();
  for (int i = 0; i < Index && i < static_cast<int>(t.size()); ++i) p += t[static_cast<std::size_t>(i)] == U'\n';
  const auto& ps = FModel->Paragraphs;
  return ps[std::min<std::size_t>(static_cast<std::size_t>(p), ps.size() - 1)];
}

void TCustomRichEdit::ChangeCharFormat(bool Defaults, const std::function<void(TRichCharFormat&)>& Fn) {
  TModel& m = *FModel;
  const int s = SelFrom(), l = SelCount();
  if (Defaults || l == 0) {
    TRichCharFormat f = m.HasTyping ? m.Typing : (Defaults ? m.Default : CharFormatAt(s > 0 ? s - 1 : 0));
    if (Defaults) Fn(m.Default);
    Fn(f);
    m.Typing = f;
    m.HasTyping = true;
    m.TypingAt = s;
    ++m.Version;
    return;
  }
  for (int i = s; i < s + l && i < static_cast<int>(m.CharFormat.size()); ++i) {
    TRichCharFormat f = m.Formats[m.CharFormat[static_cast<std::size_t>(i)]];
    Fn(f);
    m.CharFormat[static_cast<std::size_t>(i)] = m.IndexOf(f);
  }
  ++m.Version;
  Remember();
  Invalidate();
}

void TCustomRichEdit::ChangeParaFormat(const std::function<void(TRichParaFormat&)>& Fn) {
  TModel& m = *FModel;
  const std::u32string& t = EditChars();
  const int s = SelFrom(), e = s + SelCount();
  // The paragraphs from the one holding the selection's start to the one holding its end.
  int first = 0, last = 0;
  for (int i = 0; i < static_cast<int>(t.size()); ++i)
    if (t[static_cast<std::size_t>(i)] == U'\n') {
      if (i < s) ++first;
      if (i < e) ++last;
    }
  for (int k = first; k <= last && k < static_cast<int>(m.Paragraphs.size()); ++k) Fn(m.Paragraphs[static_cast<std::size_t>(k)]);
  ++m.Version;
  Remember();
  Invalidate();
}

// ---------------------------------------------------------------- TTextAttributes

TRichCharFormat TTextAttributes::Get() const {
  TCustomRichEdit::TModel& m = *FEdit->FModel;
  if (FDefaults) return m.Default;
  const int s = FEdit->SelFrom();
  if (FEdit->SelCount() > 0) return FEdit->CharFormatAt(s);
  if (m.HasTyping && m.TypingAt == s) return m.Typing;
  return FEdit->CharFormatAt(s > 0 ? s - 1 : 0);
}

template <class F> void TTextAttributes::Change(F Fn) { FEdit->ChangeCharFormat(FDefaults, Fn); }

String TTextAttributes::Name() const { return Get().Name; }
void TTextAttributes::SetName(const String& v) {
  Change([&](TRichCharFormat& f) { f.Name = v; });
}
int TTextAttributes::Size() const { return Get().HalfPoints / 2; }
void TTextAttributes::SetSize(int v) {
  Change([&](TRichCharFormat& f) { f.HalfPoints = std::clamp(v, 1, 1638) * 2; });
}
int TTextAttributes::Height() const { return -MulDiv(Size(), 96, 72); }
void TTextAttributes::SetHeight(int v) { SetSize(MulDiv(std::abs(v), 72, 96)); }
TColor TTextAttributes::Color() const {
  int c = Get().Color;
  return c < 0 ? clWindowText : static_cast<TColor>(c);
}
void TTextAttributes::SetColor(TColor v) {
  Change([&](TRichCharFormat& f) {
    f.Color = v == clWindowText || v == clDefault || v == clNone ? -1 : static_cast<int>(ColorToRGB(v));
  });
}
TFontStyles TTextAttributes::Style() const {
  TRichCharFormat f = Get();
  TFontStyles s;
  if (f.Bold) s.Include(fsBold);
  if (f.Italic) s.Include(fsItalic);
  if (f.Underline) s.Include(fsUnderline);
  if (f.StrikeOut) s.Include(fsStrikeOut);
  return s;
}
void TTextAttributes::SetStyle(TFontStyles v) {
  Change([&](TRichCharFormat& f) {
    f.Bold = v.Contains(fsBold);
    f.Italic = v.Contains(fsItalic);
    f.Underline = v.Contains(fsUnderline);
    f.StrikeOut = v.Contains(fsStrikeOut);
  });
}
TFontCharset TTextAttributes::Charset() const { return static_cast<TFontCharset>(Get().Charset); }
void TTextAttributes::SetCharset(TFontCharset v) {
  Change([&](TRichCharFormat& f) { f.Charset = v; });
}
bool TTextAttributes::Protected() const { return Get().Protected; }
void TTextAttributes::SetProtected(bool v) {
  Change([&](TRichCharFormat& f) { f.Protected = v; });
}

void TTextAttributes::Assign(TPersistent* Source) {
  TRichCharFormat from;
  if (auto* font = dynamic_cast<TFont*>(Source)) from = FormatOfFont(font);
  else if (auto* a = dynamic_cast<TTextAttributes*>(Source)) from = a->Get();
  else return TPersistent::Assign(Source);
  Change([&](TRichCharFormat& f) {
    const bool prot = f.Protected;
    f = from;
    if (!dynamic_cast<TTextAttributes*>(Source)) f.Protected = prot;
  });
}

void TTextAttributes::AssignTo(TPersistent* Dest) {
  auto* font = dynamic_cast<TFont*>(Dest);
  if (!font) return TPersistent::AssignTo(Dest);
  TRichCharFormat f = Get();
  font->SetName(f.Name);
  font->SetSize(f.HalfPoints / 2);
  font->SetColor(Color());
  font->SetStyle(Style());
  font->SetCharset(static_cast<TFontCharset>(f.Charset));
}

// ---------------------------------------------------------------- TParaAttributes

TRichParaFormat TParaAttributes::Get() const { return FEdit->ParaFormatAt(FEdit->SelFrom()); }
template <class F> void TParaAttributes::Change(F Fn) { FEdit->ChangeParaFormat(Fn); }

TAlignment TParaAttributes::Alignment() const {
  switch (Get().Alignment) {
    case 1: return taRightJustify;
    case 2: return taCenter;
    default: return taLeftJustify;
  }
}
void TParaAttributes::SetAlignment(TAlignment v) {
  Change([&](TRichParaFormat& p) { p.Alignment = v == taRightJustify ? 1 : v == taCenter ? 2 : 0; });
}
int TParaAttributes::FirstIndent() const {
  TRichParaFormat p = Get();
  return (p.LeftTw + p.FirstTw) / 20;
}
void TParaAttributes::SetFirstIndent(int v) {
  Change([&](TRichParaFormat& p) {
    const int offset = -p.FirstTw / 20;
    p.LeftTw = (v + offset) * 20;
    p.FirstTw = -offset * 20;
  });
}
int TParaAttributes::LeftIndent() const { return -Get().FirstTw / 20; }
void TParaAttributes::SetLeftIndent(int v) {
  Change([&](TRichParaFormat& p) {
    const int first = (p.LeftTw + p.FirstTw) / 20;
    p.LeftTw = (first + v) * 20;
    p.FirstTw = -v * 20;
  });
}
int TParaAttributes::RightIndent() const { return Get().RightTw / 20; }
void TParaAttributes::SetRightIndent(int v) {
  Change([&](TRichParaFormat& p) { p.RightTw = v * 20; });
}
TNumberingStyle TParaAttributes::Numbering() const { return Get().Bullet ? nsBullet : nsNone; }
void TParaAttributes::SetNumbering(TNumberingStyle v) {
  Change([&](TRichParaFormat& p) { p.Bullet = v == nsBullet; });
}
void TParaAttributes::Assign(TPersistent* Source) {
  auto* a = dynamic_cast<TParaAttributes*>(Source);
  if (!a) return TPersistent::Assign(Source);
  const TRichParaFormat from = a->Get();
  Change([&](TRichParaFormat& p) { p = from; });
}

// ================================================================ range formatting

namespace {

// Lays the memo characters [From, To) out as a document: one block per paragraph, runs in
// their fonts at the device's resolution.
void BuildDocument(QTextDocument& Doc, std::vector<int>& MemoOfDoc, const std::u32string& T,
                   const std::vector<TRichCharFormat>& Formats, const std::vector<std::uint16_t>& CharFormat,
                   const std::vector<TRichParaFormat>& Paragraphs, int From, int To, int DpiX, int DpiY) {
  Doc.setDocumentMargin(0);
  Doc.setUndoRedoEnabled(false);
  QTextCursor cur(&Doc);
  int para = 0;
  for (int i = 0; i < From; ++i) para += T[static_cast<std::size_t>(i)] == U'\n';
  const bool midParagraph = From > 0 && T[static_cast<std::size_t>(From - 1)] != U'\n';
  auto fmtOf = [&](int i) -> const TRichCharFormat& {
    std::uint16_t k = i < static_cast<int>(CharFormat.size()) ? CharFormat[static_cast<std::size_t>(i)] : 0;
    return Formats[k < Formats.size() ? k : 0];
  };
  auto blockFormat = [&](int p, bool continued, const TRichCharFormat& lead) {
    const TRichParaFormat& pf = Paragraphs[std::min<std::size_t>(static_cast<std::size_t>(p), Paragraphs.size() - 1)];
    QTextBlockFormat bf;
    static const Qt::Alignment kAlign[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter, Qt::AlignJustify};
    bf.setAlignment(kAlign[std::clamp(pf.Alignment, 0, 3)] | Qt::AlignAbsolute);
    bf.setLeftMargin(std::max(0.0, pf.LeftTw * DpiX / 1440.0));
    bf.setRightMargin(std::max(0.0, pf.RightTw * DpiX / 1440.0));
    double indent = continued ? 0 : pf.FirstTw * DpiX / 1440.0;
    if (pf.Bullet && !continued) {
      QFontMetricsF fm(MakeQFont(LogFontOf(lead, EmPixelsOf(lead, DpiY)), EmPixelsOf(lead, DpiY)));
      indent += fm.horizontalAdvance(QString(QChar(0x2022)) + QStringLiteral("  "));
    }
    bf.setTextIndent(indent);
    bf.setProperty(QTextFormat::UserProperty, pf.Bullet && !continued);
    return bf;
  };
  cur.setBlockFormat(blockFormat(para, midParagraph, fmtOf(From)));
  MemoOfDoc.clear();
  int i = From;
  while (i < To) {
    char32_t c = T[static_cast<std::size_t>(i)];
    if (c == U'\r' || c == U'\n') {
      int next = i + 1;
      if (c == U'\r' && next < To && T[static_cast<std::size_t>(next)] == U'\n') ++next;
      if (T[static_cast<std::size_t>(next - 1)] == U'\n') ++para;
      if (next >= To) {  // the range ends with the break: no empty block after it
        MemoOfDoc.push_back(i);
        i = next;
        break;
      }
      MemoOfDoc.push_back(i);
      cur.insertBlock(blockFormat(para, false, fmtOf(next)));
      i = next;
      continue;
    }
    const std::uint16_t k = i < static_cast<int>(CharFormat.size()) ? CharFormat[static_cast<std::size_t>(i)] : 0;
    int j = i;
    while (j < To && T[static_cast<std::size_t>(j)] != U'\r' && T[static_cast<std::size_t>(j)] != U'\n' &&
           (j < static_cast<int>(CharFormat.size()) ? CharFormat[static_cast<std::size_t>(j)] : 0) == k)
      ++j;
    const TRichCharFormat& f = fmtOf(i);
    QTextCharFormat cf;
    const int em = EmPixelsOf(f, DpiY);
    cf.setFont(MakeQFont(LogFontOf(f, em), em), QTextCharFormat::FontPropertiesAll);
    cf.setProperty(QTextFormat::UserProperty, static_cast<int>(k));
    QString run;
    for (int x = i; x < j; ++x) {
      const char32_t ch = T[static_cast<std::size_t>(x)];
      const QString piece = QString::fromUcs4(&ch, 1);
      for (qsizetype u = 0; u < piece.size(); ++u) MemoOfDoc.push_back(x);
      run += piece;
    }
    cur.insertText(run, cf);
    i = j;
  }
  MemoOfDoc.push_back(i);
}

}  // namespace

int TCustomRichEdit::FormatRange(const TFormatRange& Range, bool Render) {
  HDC dc = Range.hdc;
  int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
  if (dpiX <= 0) dpiX = 96;
  if (dpiY <= 0) dpiY = 96;
  const TRect& r = Range.rc;
  TRect area{MulDiv(r.Left, dpiX, 1440), MulDiv(r.Top, dpiY, 1440), MulDiv(r.Right, dpiX, 1440),
             MulDiv(r.Bottom, dpiY, 1440)};
  const int n = GetTextLen();
  const int to = Range.cpMax < 0 || Range.cpMax > n ? n : Range.cpMax;
  int bottom = 0;
  return LayoutRange(dc, area, Range.cpMin, to, Render, &bottom);
}

int TCustomRichEdit::FormatRange(HDC DC, const TRect& Area, int FirstChar, bool Measure, int* Bottom) {
  int bottom = 0;
  int r = LayoutRange(DC, Area, FirstChar, GetTextLen(), !Measure, &bottom);
  if (Bottom) *Bottom = bottom;
  return r;
}

int TCustomRichEdit::LayoutRange(HDC DC, const TRect& Area, int From, int To, bool Render, int* Bottom) {
  TModel& m = *FModel;
  const std::u32string& t = EditChars();
  const int n = static_cast<int>(t.size());
  From = std::clamp(From, 0, n);
  To = std::clamp(To, From, n);
  int dpiX = GetDeviceCaps(DC, LOGPIXELSX), dpiY = GetDeviceCaps(DC, LOGPIXELSY);
  if (dpiX <= 0) dpiX = 96;
  if (dpiY <= 0) dpiY = 96;
  const int width = std::max(1, Area.Width());
  const TLayoutKey key{m.Version, From, To, width, dpiX, dpiY};
  if (!m.Doc || !(key == m.Key)) {
    m.Doc = std::make_unique<QTextDocument>();
    BuildDocument(*m.Doc, m.MemoOfDoc, t, m.Formats, m.CharFormat, m.Paragraphs, From, To, dpiX, dpiY);
    m.Doc->setTextWidth(width);
    QAbstractTextDocumentLayout* layout = m.Doc->documentLayout();
    layout->documentSize();  // lays everything out
    m.Lines.clear();
    for (QTextBlock b = m.Doc->begin(); b.isValid(); b = b.next()) {
      const double top = layout->blockBoundingRect(b).top();
      QTextLayout* tl = b.layout();
      for (int k = 0; k < tl->lineCount(); ++k) {
        QTextLine line = tl->lineAt(k);
        m.Lines.push_back({top + line.y(), top + line.y() + line.height(), b.position() + line.textStart(), b, k});
      }
    }
    m.Key = key;
  }
  *Bottom = Area.Top;
  if (From >= To) return To;
  // The lines that fit the height.
  const double room = Area.Height();
  std::size_t fit = 0;
  while (fit < m.Lines.size() && m.Lines[fit].Bottom <= room + 0.01) ++fit;
  if (fit > 0) *Bottom = Area.Top + static_cast<int>(std::ceil(m.Lines[fit - 1].Bottom));
  if (Render && fit > 0) DrawLines(DC, Area, fit);
  if (fit == m.Lines.size()) return To;
  const int docPos = std::clamp(m.Lines[fit].DocStart, 0, static_cast<int>(m.MemoOfDoc.size()) - 1);
  return std::max(From, m.MemoOfDoc[static_cast<std::size_t>(docPos)]);
}

// Draws the first Count laid-out lines through the device's text calls, run by run.
void TCustomRichEdit::DrawLines(HDC DC, const TRect& Area, std::size_t Count) {
  TModel& m = *FModel;
  int dpiY = m.Key.DpiY;
  const int saved = SaveDC(DC);
  SetBkMode(DC, TRANSPARENT);
  SetTextAlign(DC, TA_LEFT | TA_TOP);
  const COLORREF autoColor = ColorToRGB(Font()->Color());
  auto draw = [&](const TRichCharFormat& f, double x, double baseline, const QString& s) {
    const int em = EmPixelsOf(f, dpiY);
    LOGFONT lf = LogFontOf(f, em);
    HFONT font = CreateFontIndirect(lf);
    HGDIOBJ old = SelectObject(DC, font);
    TEXTMETRIC tm;
    GetTextMetrics(DC, &tm);
    SetTextColor(DC, f.Color < 0 ? autoColor : static_cast<COLORREF>(f.Color));
    TextOut(DC, Area.Left + static_cast<int>(std::lround(x)), Area.Top + static_cast<int>(std::lround(baseline)) - tm.tmAscent,
            FromQString(s));
    SelectObject(DC, old);
    DeleteObject(font);
  };
  for (std::size_t li = 0; li < Count; ++li) {
    const TLaidOutLine& L = m.Lines[li];
    QTextLine line = L.Block.layout()->lineAt(L.LineNumber);
    const QPointF origin = L.Block.layout()->position();
    const double baseline = origin.y() + line.y() + line.ascent();
    const int lineStart = L.Block.position() + line.textStart();
    const int lineEnd = lineStart + line.textLength();
    if (L.LineNumber == 0 && L.Block.blockFormat().property(QTextFormat::UserProperty).toBool()) {
      const QTextBlock::iterator it = L.Block.begin();
      if (!it.atEnd()) {
        const int k = it.fragment().charFormat().property(QTextFormat::UserProperty).toInt();
        const TRichCharFormat& f = m.Formats[static_cast<std::size_t>(k) < m.Formats.size() ? static_cast<std::size_t>(k) : 0];
        QFontMetricsF fm(MakeQFont(LogFontOf(f, EmPixelsOf(f, dpiY)), EmPixelsOf(f, dpiY)));
        const double w = fm.horizontalAdvance(QString(QChar(0x2022)) + QStringLiteral("  "));
        draw(f, origin.x() + line.cursorToX(lineStart - L.Block.position()) - w, baseline, QString(QChar(0x2022)));
      }
    }
    for (QTextBlock::iterator it = L.Block.begin(); !it.atEnd(); ++it) {
      const QTextFragment frag = it.fragment();
      const int a = std::max(lineStart, frag.position()), b = std::min(lineEnd, frag.position() + frag.length());
      if (a >= b) continue;
      QString s = frag.text().mid(a - frag.position(), b - a);
      while (!s.isEmpty() && (s.back() == QChar::LineSeparator || s.back() == QChar::ParagraphSeparator)) s.chop(1);
      if (s.isEmpty()) continue;
      const int k = frag.charFormat().property(QTextFormat::UserProperty).toInt();
      const TRichCharFormat& f = m.Formats[static_cast<std::size_t>(k) < m.Formats.size() ? static_cast<std::size_t>(k) : 0];
      draw(f, origin.x() + line.cursorToX(a - L.Block.position()), baseline, s);
    }
  }
  RestoreDC(DC, saved);
}
