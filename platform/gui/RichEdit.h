#pragma once
// The rich edit: a memo whose characters carry formatting. The edit's own text model stays the
// memo's (characters, anchor, caret, CR LF line breaks); beside it the rich edit keeps one
// character format per character and one paragraph format per paragraph, moved along with
// every change of the text. Positions count the memo's characters (a break is two).
//
// Lines read and write the rich-text stream format (RichText.h). SelAttributes change the
// selected characters, DefAttributes the format typed text takes; Paragraph changes the
// paragraphs the selection touches. FormatRange lays a range out on a device the way the
// native control's range formatting does, and draws the runs through the device's text calls
// so that metafile canvases record them. Undo takes back whole changes, formatting included.
// Declares TTextAttributes, TParaAttributes, TFormatRange, TCustomRichEdit and TRichEdit.
#include "gui/Memo.h"
#include "gui/RichText.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>

KELM_ENUM(TNumberingStyle, nsNone, nsBullet)
KELM_ENUM(TSearchType, stWholeWord, stMatchCase)
using TSearchTypes = TSet<TSearchType>;

class TCustomRichEdit;
class TFont;

// The character attributes of the selection (or of typed text, for the defaults).
class TTextAttributes : public TPersistent {
  KELM_CLASS(TTextAttributes, TPersistent)
public:
  TTextAttributes(TCustomRichEdit* Edit, bool Defaults) : FEdit(Edit), FDefaults(Defaults) {}
  String Name() const;
  void SetName(const String& v);
  int Size() const;  // points
  void SetSize(int v);
  int Height() const;  // pixels at 96 per inch
  void SetHeight(int v);
  TColor Color() const;
  void SetColor(TColor v);
  TFontStyles Style() const;
  void SetStyle(TFontStyles v);
  TFontCharset Charset() const;
  void SetCharset(TFontCharset v);
  bool Protected() const;
  void SetProtected(bool v);
  // From a font or other attributes.
  void Assign(TPersistent* Source) override;

protected:
  void AssignTo(TPersistent* Dest) override;  // into a font

private:
  TRichCharFormat Get() const;
  template <class F> void Change(F Fn);
  TCustomRichEdit* FEdit;
  bool FDefaults;
};

// The paragraph attributes of the paragraphs the selection touches (the first one's when read).
// Indents in points: FirstIndent is where a paragraph's first line starts, LeftIndent where
// its other lines start relative to it, RightIndent the room kept on the right.
class TParaAttributes : public TPersistent {
  KELM_CLASS(TParaAttributes, TPersistent)
public:
  explicit TParaAttributes(TCustomRichEdit* Edit) : FEdit(Edit) {}
  TAlignment Alignment() const;
  void SetAlignment(TAlignment v);
  int FirstIndent() const;
  void SetFirstIndent(int v);
  int LeftIndent() const;
  void SetLeftIndent(int v);
  int RightIndent() const;
  void SetRightIndent(int v);
  TNumberingStyle Numbering() const;
  void SetNumbering(TNumberingStyle v);
  void Assign(TPersistent* Source) override;

private:
  TRichParaFormat Get() const;
  template <class F> void Change(F Fn);
  TCustomRichEdit* FEdit;
};

// A range to lay out: device and target device, the area and the page in twips, the characters.
struct TFormatRange {
  HDC hdc = nullptr;
  HDC hdcTarget = nullptr;
  TRect rc{};
  TRect rcPage{};
  int cpMin = 0;
  int cpMax = -1;  // -1: to the end
};

class TCustomRichEdit : public TCustomMemo {
  KELM_CLASS(TCustomRichEdit, TCustomMemo)
public:
  explicit TCustomRichEdit(TComponent* AOwner);
  ~TCustomRichEdit() override;
  // Lines read and write plain text instead of rich text.
  bool PlainText() const { return FPlainText; }
  void SetPlainText(bool v) { FPlainText = v; }
  TTextAttributes* SelAttributes() const { return FSelAttributes.get(); }
  void SetSelAttributes(TTextAttributes* v) { FSelAttributes->Assign(v); }
  TTextAttributes* DefAttributes() const { return FDefAttributes.get(); }
  void SetDefAttributes(TTextAttributes* v) { FDefAttributes->Assign(v); }
  TParaAttributes* Paragraph() const { return FParagraph.get(); }

  // The characters of the text (a break counts two).
  int GetTextLen() const;
  // The text with its formatting, and the same as a rich-text stream.
  TRichDocument Document() const;
  void SetDocument(const TRichDocument& Doc);
  String RtfText() const;
  void SetRtfText(const String& Rtf);  // data that is no rich text is taken as plain text

  // The first match at or after StartPos within Length characters, or -1.
  int FindText(const String& SearchStr, int StartPos, int Length, TSearchTypes Options) const;
  // Takes back the last change of text or formatting; Limit changes are kept (0 keeps none).
  void Undo();
  bool CanUndo() const;
  void ClearUndo();
  void SetUndoLimit(int Limit);

  // Lays the range out in Range.rc (twips) of Range.hdc, starting a line at cpMin; draws it
  // when Render. Returns the first character that did not fit (the text's length when all
  // did; cpMin when not even the first line did).
  int FormatRange(const TFormatRange& Range, bool Render);
  // The same in device pixels: lays the text out from character FirstChar on in Area (word
  // wrapped, fonts sized for the device's resolution); Bottom receives the bottom of the last
  // line laid out.
  int FormatRange(HDC DC, const TRect& Area, int FirstChar, bool Measure = false, int* Bottom = nullptr);

  void Dispatch(TMessage& Message) override;

  // After the selection moved, by the user or by code.
  TNotifyEvent OnSelectionChange;

protected:
  void CharsReplaced(int Start, int End, int Inserted) override;
  void SetWindowTextDirect(const String& v) override;

private:
  friend class TTextAttributes;
  friend class TParaAttributes;
  struct TModel;
  // Sets a change of formatting over the selection (or the defaults) as one undoable step.
  void ChangeCharFormat(bool Defaults, const std::function<void(TRichCharFormat&)>& Fn);
  void ChangeParaFormat(const std::function<void(TRichParaFormat&)>& Fn);
  TRichCharFormat CharFormatAt(int Index) const;
  TRichParaFormat ParaFormatAt(int Index) const;
  void Remember();
  // The selection read from the model, without a message.
  int SelFrom() const { return std::min(Anchor(), Caret()); }
  int SelCount() const { return std::abs(Anchor() - Caret()); }
  int LayoutRange(HDC DC, const TRect& Area, int From, int To, bool Render, int* Bottom);
  void DrawLines(HDC DC, const TRect& Area, std::size_t Count);

  bool FPlainText = false;
  std::unique_ptr<TModel> FModel;
  std::unique_ptr<TTextAttributes> FSelAttributes, FDefAttributes;
  std::unique_ptr<TParaAttributes> FParagraph;
};

class TRichEdit : public TCustomRichEdit {
  KELM_CLASS(TRichEdit, TCustomRichEdit)
  template <class B> static void Published(B& b) {
    PublishPlacement(b);
    PublishColors(b);
    PublishParentColor(b).Default(false);
    PublishMouseEvents(b);
    PublishWindowed(b);
    PublishTabStop(b).Default(true);
    b.Prop("Alignment", &TRichEdit::Alignment, &TRichEdit::SetAlignment).Default(taLeftJustify);
    b.Prop("BorderStyle", &TRichEdit::BorderStyle, &TRichEdit::SetBorderStyle).Default(bsSingle);
    b.Prop("HideSelection", &TRichEdit::HideSelection, &TRichEdit::SetHideSelection).Default(true);
    b.Prop("Lines", &TRichEdit::Lines, &TRichEdit::SetLines);
    b.Prop("MaxLength", &TRichEdit::MaxLength, &TRichEdit::SetMaxLength).Default(0);
    b.Prop("PlainText", &TRichEdit::PlainText, &TRichEdit::SetPlainText).Default(false);
    b.Prop("ReadOnly", &TRichEdit::ReadOnly, &TRichEdit::SetReadOnly).Default(false);
    b.Prop("ScrollBars", &TRichEdit::ScrollBars, &TRichEdit::SetScrollBars).Default(ssNone);
    b.Prop("WantReturns", &TRichEdit::WantReturns, &TRichEdit::SetWantReturns).Default(true);
    b.Prop("WantTabs", &TRichEdit::WantTabs, &TRichEdit::SetWantTabs).Default(false);
    b.Prop("WordWrap", &TRichEdit::WordWrap, &TRichEdit::SetWordWrap).Default(true);
    b.Prop("OnChange", &TRichEdit::OnChange, &TRichEdit::OnChange);
    b.Prop("OnSelectionChange", &TRichEdit::OnSelectionChange, &TRichEdit::OnSelectionChange);
  }
public:
  explicit TRichEdit(TComponent* AOwner) : TCustomRichEdit(AOwner) {}
};
