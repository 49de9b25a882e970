#pragma once
// The exception classes of the runtime. Every failure the system raises derives from
// Exception, which carries the message text shown to the user.
#include "core/System.h"
#include <exception>

class Exception : public std::exception {
public:
  explicit Exception(String msg) : FMessage(std::move(msg)) {}
  const String& Message() const { return FMessage; }
  void SetMessage(const String& m) { FMessage = m; }
  const char* what() const noexcept override { return FMessage.c_str(); }
  virtual const char* ClassName() const { return "Exception"; }
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int v) { FHelpContext = v; }

private:
  String FMessage;
  int FHelpContext = 0;
};

#define KELM_EXCEPTION(Name, Parent)                                  \
  class Name : public Parent {                                        \
  public:                                                             \
    using Parent::Parent;                                             \
    const char* ClassName() const override { return #Name; }          \
  }

// Ends the current action without a message.
class EAbort : public Exception {
public:
  EAbort() : Exception("Operation aborted") {}
  using Exception::Exception;
  const char* ClassName() const override { return "EAbort"; }
};

KELM_EXCEPTION(EConvertError, Exception);
KELM_EXCEPTION(EVariantError, Exception);
KELM_EXCEPTION(EMathError, Exception);
KELM_EXCEPTION(EInvalidOp, EMathError);
KELM_EXCEPTION(EZeroDivide, EMathError);
KELM_EXCEPTION(EOverflow, EMathError);
KELM_EXCEPTION(EUnderflow, EMathError);
KELM_EXCEPTION(EIntError, Exception);
KELM_EXCEPTION(EDivByZero, EIntError);
KELM_EXCEPTION(ERangeError, EIntError);
KELM_EXCEPTION(EIntOverflow, EIntError);
KELM_EXCEPTION(EListError, Exception);
KELM_EXCEPTION(EStringListError, Exception);
KELM_EXCEPTION(EStreamError, Exception);
KELM_EXCEPTION(EFilerError, EStreamError);
KELM_EXCEPTION(EReadError, EFilerError);
KELM_EXCEPTION(EWriteError, EFilerError);
KELM_EXCEPTION(EClassNotFound, EFilerError);
KELM_EXCEPTION(EInvalidImage, EFilerError);
KELM_EXCEPTION(EMethodNotFound, EFilerError);
KELM_EXCEPTION(EFOpenError, EStreamError);
KELM_EXCEPTION(EFCreateError, EStreamError);
KELM_EXCEPTION(EInOutError, Exception);
KELM_EXCEPTION(EInvalidCast, Exception);
KELM_EXCEPTION(EInvalidOperation, Exception);
KELM_EXCEPTION(EInvalidPointer, Exception);
KELM_EXCEPTION(EComponentError, Exception);
KELM_EXCEPTION(EPropertyError, Exception);
KELM_EXCEPTION(EPropertyConvertError, Exception);
KELM_EXCEPTION(EOutOfResources, Exception);
KELM_EXCEPTION(EResNotFound, Exception);
KELM_EXCEPTION(EInvalidGraphic, Exception);
KELM_EXCEPTION(EInvalidGraphicOperation, Exception);
KELM_EXCEPTION(EPrinter, Exception);
KELM_EXCEPTION(EIniFileException, Exception);
KELM_EXCEPTION(ERegistryException, Exception);
KELM_EXCEPTION(EOleError, Exception);
KELM_EXCEPTION(EOSError, Exception);
KELM_EXCEPTION(ENotImplemented, Exception);

// Raises EAbort: ends the current action silently.
[[noreturn]] void Abort();
