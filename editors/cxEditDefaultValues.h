#pragma once
// What a data source would impose on an editor's settings (alignment, formats, mask, length,
// limits, precision, read-only state, accepted characters). Editors ask through this
// interface; its life is its owner's (the data binding's), nobody counts references.
// Declares IcxEditDefaultValuesProvider.
#include "core/System.h"
#include "core/Classes.h"
#include "gui/Messages.h"

class IcxEditDefaultValuesProvider {
public:
  virtual ~IcxEditDefaultValuesProvider() = default;
  virtual bool CanChangeValue() = 0;
  // Makes every live properties object that uses this provider drop it.
  virtual void ReleaseUsers() = 0;
  virtual TAlignment GetHorzAlignmentDefault() = 0;
  virtual Byte GetSpareEnumDefault() = 0;
  virtual bool IsEditable() = 0;
  virtual String GetDisplayFormatDefault() = 0;
  virtual String GetEditFormatDefault() = 0;
  virtual String GetEditMaskDefault() = 0;
  virtual int GetSpareIntDefault() = 0;
  virtual int GetMaxLengthDefault() = 0;
  virtual double GetMaxValueDefault() = 0;
  virtual double GetMinValueDefault() = 0;
  virtual int GetPrecisionDefault() = 0;
  virtual bool GetReadOnlyDefault() = 0;
  virtual int GetSpareDefault() = 0;
  virtual TObject* GetProviderObject() = 0;
  virtual bool IsStorageBound() = 0;
  virtual bool HasSpareFlag() = 0;
  virtual bool IsMoneyValue() = 0;
  virtual bool HasData() = 0;
  virtual bool HasDisplayFormat(bool Flag) = 0;
  virtual bool HasTextHandler() = 0;
  virtual bool AcceptsChar(Char C) = 0;
};
