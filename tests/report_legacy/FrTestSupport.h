#pragma once
// What the older engine's tests share: fresh globals per case, the virtual printer only, and
// the message boxes the engine shows, recorded instead of shown.
#include "report_legacy/FR_Class.h"
#include "report_legacy/FR_Prntr.h"

#include "gui/MessageBox.h"
#include "print/Printers.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace frtest {

// A machine without printers.
class TNoPrinters : public TPrinterSource {
public:
  std::vector<std::unique_ptr<TPrintDevice>> Devices() override { return {}; }
};

struct TBox {
  String Text, Caption;
  int Flags;
};

class TEngineTest : public ::testing::Test {
protected:
  void SetUp() override {
    FOldSource = SetPrinterSource(std::make_unique<TNoPrinters>());
    FreeGlobalPrinter();
    frState() = TfrEngineState();
    Globals = std::make_unique<TfrGlobals>();
    SetMessageBoxHook([this](const String& Text, const String& Caption, int Flags) {
      Boxes.push_back({Text, Caption, Flags});
      return 1;
    });
  }
  void TearDown() override {
    SetMessageBoxHook(nullptr);
    Globals.reset();
    frState() = TfrEngineState();
    SetPrinterSource(std::move(FOldSource));
    FreeGlobalPrinter();
  }

  std::unique_ptr<TfrGlobals> Globals;
  std::vector<TBox> Boxes;

private:
  std::unique_ptr<TPrinterSource> FOldSource;
};

}  // namespace frtest
