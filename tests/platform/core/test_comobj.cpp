#include "core/ComObj.h"

#include "core/SysUtils.h"

#include <gtest/gtest.h>

namespace {

// Counts the stand-ins alive, so a test sees when the last Variant lets one go.
class TCountedServer : public IDispatchObject {
public:
  TCountedServer() { ++Alive; }
  ~TCountedServer() override { --Alive; }
  static inline int Alive = 0;
};

String CreateError(const String& ProgId) {
  try {
    CreateOleObject(ProgId);
  } catch (const EOleSysError& e) {
    return e.Message();
  }
  return "no error";
}

}  // namespace

TEST(ComObj, CreatesRegisteredStandInsFreedWithTheirLastVariant) {
  RegisterAutomationClass("Test.Counted", [] { return std::make_shared<TCountedServer>(); });
  {
    Variant a = CreateOleObject("test.COUNTED");  // identifiers ignore case
    EXPECT_EQ(VarType(a), varDispatch);
    EXPECT_NE(dynamic_cast<TCountedServer*>(a.AsDispatch().get()), nullptr);
    EXPECT_EQ(TCountedServer::Alive, 1);
    Variant b = a;
    a = Null();
    EXPECT_EQ(TCountedServer::Alive, 1);  // b still holds it
    Variant c = CreateOleObject("Test.Counted");
    EXPECT_EQ(TCountedServer::Alive, 2);  // each call makes its own object
  }
  EXPECT_EQ(TCountedServer::Alive, 0);
  RegisterAutomationClass("Test.Counted", nullptr);
  EXPECT_EQ(CreateError("Test.Counted"), "Invalid class string");
}

TEST(ComObj, RefusesUnknownIdentifiersAndFailingFactories) {
  RegisterAutomationClass("Test.Throws", []() -> std::shared_ptr<IDispatchObject> { throw Exception("server down"); });
  RegisterAutomationClass("Test.Empty", [] { return std::shared_ptr<IDispatchObject>(); });
  for (const char* progId : {"No.Such", "", "Test.Throws", "Test.Empty"})
    EXPECT_EQ(CreateError(progId), "Invalid class string") << progId;
  RegisterAutomationClass("Test.Throws", nullptr);
  RegisterAutomationClass("Test.Empty", nullptr);
}

TEST(ComObj, SystemTextsOfDispatchErrors) {
  struct TCase {
    HRESULT Code;
    const char* Text;
  } cases[] = {
      {DISP_E_UNKNOWNNAME, "Unknown name."},
      {DISP_E_MEMBERNOTFOUND, "Member not found."},
      {DISP_E_BADPARAMCOUNT, "Invalid number of parameters."},
      {DISP_E_EXCEPTION, "Exception occurred."},
      {HRESULT(0x80001234u), ""},  // the system has no text for it
  };
  for (const TCase& c : cases) EXPECT_EQ(OleSysErrorMessage(c.Code), c.Text) << IntToHex(static_cast<Cardinal>(c.Code), 8);
}
