#pragma once
// The multi-line edit: TCustomMemo and TMemo, the edit's model seen as lines.
#include "gui/Edit.h"

class TCustomMemo : public TCustomEdit {
  KELM_CLASS(TCustomMemo, TCustomEdit)
public:
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;

  // The text's lines (split at CR LF); changing them changes the text.
  TStrings* Lines() const { return FLines.get(); }
  void SetLines(TStrings* v);
  TScrollStyle ScrollBars() const { return ScrollBarStyle(); }
  void SetScrollBars(TScrollStyle v) { SetScrollBarStyle(v); }
  bool WantReturns() const { return WantsReturns(); }
  void SetWantReturns(bool v) { SetWantsReturns(v); }
  bool WantTabs() const { return WantsTabs(); }
  void SetWantTabs(bool v) { SetWantsTabs(v); }
  bool WordWrap() const { return WordWraps(); }
  void SetWordWrap(bool v) { SetWordWraps(v); }
  // The caret as column and line (0-based).
  TPoint CaretPosition() const;
  void SetCaretPosition(TPoint v);

  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void KeyPress(Char& Key) override;
  // Puts a subclass's own kind of lines in place (the memo owns them from then on) and hands
  // the memo's own lines over.
  std::unique_ptr<TStrings> ReplaceLines(TStrings* NewLines) {
    std::unique_ptr<TStrings> old = std::move(FLines);
    FLines.reset(NewLines);
    return old;
  }

private:
  friend class TMemoStrings;
  std::unique_ptr<TStrings> FLines;
};

class TMemo : public TCustomMemo {
  KELM_CLASS(TMemo, TCustomMemo)
  template <class B> static void Published(B& b) {
    PublishPlacement(b);
    PublishColors(b);
    PublishParentColor(b).Default(false);
    PublishMouseEvents(b);
    PublishWindowed(b);
    PublishTabStop(b).Default(true);
    b.Prop("Alignment", &TMemo::Alignment, &TMemo::SetAlignment).Default(taLeftJustify);
    b.Prop("BorderStyle", &TMemo::BorderStyle, &TMemo::SetBorderStyle).Default(bsSingle);
    b.Prop("HideSelection", &TMemo::HideSelection, &TMemo::SetHideSelection).Default(true);
    b.Prop("Lines", &TMemo::Lines, &TMemo::SetLines);
    b.Prop("MaxLength", &TMemo::MaxLength, &TMemo::SetMaxLength).Default(0);
    b.Prop("OEMConvert", &TMemo::OEMConvert, &TMemo::SetOEMConvert).Default(false);
    b.Prop("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly).Default(false);
    b.Prop("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars).Default(ssNone);
    b.Prop("WantReturns", &TMemo::WantReturns, &TMemo::SetWantReturns).Default(true);
    b.Prop("WantTabs", &TMemo::WantTabs, &TMemo::SetWantTabs).Default(false);
    b.Prop("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap).Default(true);
    b.Prop("OnChange", &TMemo::OnChange, &TMemo::OnChange);
  }
public:
  explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};
