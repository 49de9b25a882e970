#pragma once
// The remembered text format: what a new text object and the format tool take. It is kept on a
// private memo so that any text object's look can be remembered and handed on whole.
#include <memory>

class TfrxComponent;
class TfrxCustomMemoView;
class TfrxMemoView;

class TSampleFormat {
public:
  TSampleFormat();
  ~TSampleFormat();
  TSampleFormat(const TSampleFormat&) = delete;
  TSampleFormat& operator=(const TSampleFormat&) = delete;

  // A fresh memo; with a designer component in effect it takes that component's default font
  // and right-to-left reading.
  void Reset();
  // The source's whole look (nullptr: Reset); never its link to a following memo.
  void Take(TfrxComponent* Source);
  // Colour, font (not for a dot-matrix memo), frame, brush, alignments, line spacing, parent
  // font and reading order onto Target.
  void ApplyTo(TfrxCustomMemoView* Target) const;
  TfrxMemoView* Memo() const { return FMemo.get(); }

private:
  std::unique_ptr<TfrxMemoView> FMemo;
};
