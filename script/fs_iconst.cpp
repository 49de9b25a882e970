// The message table: key and English text per message, and the current texts.
#include "script/fs_iconst.h"

#include "core/StrUtils.h"

#include <array>
#include <cassert>

namespace {

struct TMessageDef {
  TfsMessage Id;
  const char* Key;
  const char* English;
};

constexpr TMessageDef kMessages[] = {
    {fsLangNotFound, "SLangNotFound", "Language '%s' not found"},
    {fsInvalidLanguage, "SInvalidLanguage", "Invalid language definition"},
    {fsIdRedeclared, "SIdRedeclared", "Identifier redeclared: "},
    {fsUnknownType, "SUnknownType", "Unknown type: "},
    {fsIncompatibleTypes, "SIncompatibleTypes", "Incompatible types"},
    {fsIdUndeclared, "SIdUndeclared", "Undeclared identifier: "},
    {fsClassRequired, "SClassRequired", "Class type required"},
    {fsIndexRequired, "SIndexRequired", "Index required"},
    {fsStringError, "SStringError", "Strings doesn't have properties or methods"},
    {fsClassError, "SClassError", "Class %s does not have a default property"},
    {fsArrayRequired, "SArrayRequired", "Array type required"},
    {fsVarRequired, "SVarRequired", "Variable required"},
    {fsNotEnoughParams, "SNotEnoughParams", "Not enough actual parameters"},
    {fsTooManyParams, "STooManyParams", "Too many actual parameters"},
    {fsLeftCantAssigned, "SLeftCantAssigned", "Left side cannot be assigned to"},
    {fsForError, "SForError", "For loop variable must be numeric variable"},
    {fsEventError, "SEventError", "Event handler must be a procedure"},
};
static_assert(std::size(kMessages) == fsMessageCount);

std::array<String, fsMessageCount>& Texts() {
  static std::array<String, fsMessageCount> texts = [] {
    std::array<String, fsMessageCount> t;
    for (int i = 0; i < fsMessageCount; ++i) {
      assert(kMessages[i].Id == i);
      t[i] = kMessages[i].English;
    }
    return t;
  }();
  return texts;
}

}  // namespace

const String& fsMessage(TfsMessage Message) { return Texts()[Message]; }

const char* fsMessageKey(TfsMessage Message) { return kMessages[Message].Key; }

bool SetScriptMessage(const String& Key, const String& Text) {
  for (const TMessageDef& m : kMessages)
    if (SameText(Key, m.Key)) {
      Texts()[m.Id] = Text;
      return true;
    }
  return false;
}

void ResetScriptMessages() {
  for (const TMessageDef& m : kMessages) Texts()[m.Id] = m.English;
}
