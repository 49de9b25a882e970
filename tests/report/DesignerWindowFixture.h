// A report built in code and the designer window opened on it, freed after each test.
#pragma once

#include "gui/Application.h"
#include "report/designer/frxDesignerForm.h"
#include "report/frxClass.h"
#include "report/frxPages.h"

#include <gtest/gtest.h>

#include <memory>

class DesignerWindowFixture : public ::testing::Test {
protected:
  void SetUp() override { Report = std::make_unique<TfrxReport>(nullptr); }
  void TearDown() override {
    delete W;
    W = nullptr;
    Report.reset();
    Application->ProcessMessages();
  }

  TfrxReportPage* AddPage(const String& Name) {
    auto* p = new TfrxReportPage(Report.get());
    p->SetParent(Report.get());
    p->SetName(Name);
    p->TakePrinterDefaults();
    return p;
  }
  template <class T> T* Add(TfrxComponent* Parent, const String& Name, double L, double T_, double Wd, double H) {
    auto* c = new T(Parent);
    c->SetParent(Parent);
    c->SetName(Name);
    c->SetBounds(L, T_, Wd, H);
    return c;
  }

  std::unique_ptr<TfrxReport> Report;
  TfrxDesignerForm* W = nullptr;
};
