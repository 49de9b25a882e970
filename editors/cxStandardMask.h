#pragma once
// The classic edit-mask notation compiled into one item per position of a fixed-width text:
// literals shown in place, input positions shown as Blank until filled. The standard mask
// mode of the masked editor lays texts into it, turns display texts into value texts and
// asks whether a text is complete. Characters are whole characters (a Chinese character is
// one position), never bytes.
//
// This engine is the masked editor's own: sections are recognised only at the mask's end and
// texts are fitted item by item. The platform's TEditMask keeps the platform control's rules.
// Declares TcxStandardMask and its position items.
#include "core/System.h"

#include <memory>
#include <vector>

class TcxStandardMaskCustomItem {
public:
  virtual ~TcxStandardMaskCustomItem() = default;
  // The test is made on Ch as given; input items then convert Ch to their case, matched or not.
  virtual bool Matches(char32_t& Ch) const = 0;
};

class TcxStandardMaskLiteralItem : public TcxStandardMaskCustomItem {
public:
  explicit TcxStandardMaskLiteralItem(char32_t ALiteral) : Literal(ALiteral) {}
  bool Matches(char32_t& Ch) const override { return Ch == Literal; }
  char32_t Literal;
};

// Case conversion of an input item: 0 upper, 1 lower, 2 as typed.
enum : Byte { cxMaskUpperCase = 0, cxMaskLowerCase = 1, cxMaskNoCase = 2 };

class TcxStandardMaskManyItem : public TcxStandardMaskCustomItem {
public:
  TcxStandardMaskManyItem(Byte ACaseConversion, bool AOptional)
      : CaseConversion(ACaseConversion), Optional(AOptional) {}
  bool Matches(char32_t& Ch) const override;
  Byte CaseConversion;
  bool Optional;

protected:
  virtual bool Accepts(char32_t Ch) const = 0;
};

class TcxStandardMaskAlphaItem : public TcxStandardMaskManyItem {
public:
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;

protected:
  bool Accepts(char32_t Ch) const override;
};

class TcxStandardMaskAlphaNumericItem : public TcxStandardMaskManyItem {
public:
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;

protected:
  bool Accepts(char32_t Ch) const override;
};

class TcxStandardMaskASCIIItem : public TcxStandardMaskManyItem {
public:
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;

protected:
  bool Accepts(char32_t) const override { return true; }
};

class TcxStandardMaskNumericItem : public TcxStandardMaskManyItem {
public:
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;

protected:
  bool Accepts(char32_t Ch) const override;
};

// "+", "-" or a digit; always optional.
class TcxStandardMaskNumericSymbolItem : public TcxStandardMaskManyItem {
public:
  explicit TcxStandardMaskNumericSymbolItem(Byte ACaseConversion) : TcxStandardMaskManyItem(ACaseConversion, true) {}

protected:
  bool Accepts(char32_t Ch) const override;
};

class TcxStandardMask {
public:
  TcxStandardMask() = default;
  TcxStandardMask(const TcxStandardMask&) = delete;
  TcxStandardMask& operator=(const TcxStandardMask&) = delete;
  ~TcxStandardMask();

  // Resets the object and parses Mask; "/" and ":" take the separators as they are now.
  void Compile(const String& AMask);

  char32_t Blank() const { return FBlank; }
  bool Leading() const { return FLeading; }
  bool SaveLiterals() const { return FSaveLiterals; }
  const String& Mask() const { return FMask; }
  int ItemCount() const { return static_cast<int>(FItems.size()); }
  TcxStandardMaskCustomItem* ItemAt(int Index) const;

  String EmptyDisplayText() const;
  String EmptyValueText() const;
  // Lays Text into the mask: from the left, or from the right when the mask began with "!".
  void FitText(String& Text, bool ConvertCase, bool WithLiterals) const;
  void ValueText(String& Text) const;
  // One valid character per position; input items convert the characters of Text in place.
  bool IsComplete(String& Text) const;

private:
  void Clear();
  void Parse(const std::u32string& M);
  bool ParseSections(const std::u32string& M, std::size_t I);

  char32_t FBlank = U'_';
  std::vector<TcxStandardMaskCustomItem*> FItems;
  bool FLeading = false;
  bool FSaveLiterals = true;
  String FMask;
};
