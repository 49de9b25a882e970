#pragma once
// What the component stream's reader and writer share: the value types of the binary stream,
// the record prefix flags and TFiler, their base.
#include "core/Classes.h"
#include "core/Component.h"
#include "core/Currency.h"
#include "core/Exceptions.h"
#include "core/Variant.h"

#include <functional>

// Raised for malformed layout text; the message names the source and the line.
KELM_EXCEPTION(EParserError, EReadError);

KELM_ENUM(TValueType, vaNull, vaList, vaInt8, vaInt16, vaInt32, vaExtended, vaString, vaIdent, vaFalse,
          vaTrue, vaBinary, vaSet, vaLString, vaNil, vaCollection, vaSingle, vaCurrency, vaDate, vaWString,
          vaInt64, vaUTF8String)

// Flags of the record prefix byte 0xF0 | flags: ffInherited = 1, ffChildPos = 2, ffInline = 4.
KELM_ENUM(TFilerFlag, ffInherited, ffChildPos, ffInline)
using TFilerFlags = TSet<TFilerFlag>;

class TReader;
class TWriter;

// ---------------------------------------------------------------- TFiler

class TFiler : public TObject {
public:
  explicit TFiler(TStream* Stream) : FStream(Stream) {}

  // A value a class streams besides its published properties, read and written by callbacks.
  virtual void DefineProperty(const String& Name, const std::function<void(TReader*)>& ReadData,
                              const std::function<void(TWriter*)>& WriteData, bool HasData) = 0;
  // Raw bytes: the callbacks see a stream holding exactly the property's data.
  virtual void DefineBinaryProperty(const String& Name, const std::function<void(TStream*)>& ReadData,
                                    const std::function<void(TStream*)>& WriteData, bool HasData) = 0;

  TStream* Stream() const { return FStream; }
  TComponent* Root() const { return FRoot; }
  virtual void SetRoot(TComponent* Value) { FRoot = Value; }
  // The component that names are relative to: references and handlers belong to it.
  TComponent* LookupRoot() const { return FLookupRoot; }
  void SetLookupRoot(TComponent* Value) { FLookupRoot = Value; }
  // Layouts have no inheritance, so there is never an ancestor to compare against.
  TPersistent* Ancestor() const { return nullptr; }

protected:
  TStream* FStream;
  TComponent* FRoot = nullptr;
  TComponent* FLookupRoot = nullptr;
};
