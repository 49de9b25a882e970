#pragma once
// The start the older report engine's benchmarks share: the application offscreen and no
// system printers, so page geometry never depends on the machine the benchmark runs on.
#include "gui/Application.h"
#include "print/Printers.h"

#include <cstdlib>
#include <memory>
#include <vector>

namespace bench {

class TNoPrinters : public TPrinterSource {
public:
  std::vector<std::unique_ptr<TPrintDevice>> Devices() override { return {}; }
};

inline void StartOffscreenWithoutPrinters(int& argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  SetPrinterSource(std::make_unique<TNoPrinters>());
}

}  // namespace bench
