// Every window layout of the program, swept: each loads into its window class, every component
// it names is made with its class, so the window's generated member (bound by name once the
// layout has loaded) points at it, and the loaded window written back reads to the same text.
// A layout edit that breaks any of this fails here, whichever window it is; what a window
// does with its components is tested through the window itself.
#include "core/LayoutText.h"
#include "core/Resources.h"
#include "core/StrUtils.h"
#include "gui/Application.h"
#include "gui/DataModule.h"
#include "gui/Forms.h"
#include "tools/FormGen.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

namespace {

std::vector<String> LayoutResources() {
  std::vector<String> names;
  for (const String& r : ResourceNames())
    if (StartsStr("forms/", r) && EndsStr(".txt", r)) names.push_back(r);
  return names;
}

// The class whose layout ends the chain a window's layouts are read along.
TClass RootAncestorOf(TComponent* Window) {
  if (dynamic_cast<TDataModule*>(Window)) return TDataModule::StaticClass();
  if (dynamic_cast<TCustomFrame*>(Window)) return TFrame::StaticClass();
  return TForm::StaticClass();
}

std::set<String> Inventory(TComponent* Window) {
  std::set<String> all;
  for (int i = 0; i < Window->ComponentCount(); ++i)
    all.insert(Window->Components(i)->Name() + ": " + Window->Components(i)->ClassName());
  return all;
}

// The text without the window's own position when the MDI frame places it (each child opens
// below the last one), which is no part of its layout.
String Placed(TComponent* Window, const String& Text) {
  auto* form = dynamic_cast<TCustomForm*>(Window);
  if (!form || form->FormStyle() != fsMDIChild) return Text;
  String out;
  std::size_t at = 0;
  while (at < Text.size()) {
    std::size_t end = Text.find('\n', at);
    end = end == String::npos ? Text.size() : end + 1;
    std::string_view line(Text.data() + at, end - at);
    if (!StartsStr("  Left = ", line) && !StartsStr("  Top = ", line)) out += line;
    at = end;
  }
  return out;
}

std::unique_ptr<TComponent> NewWindow(const TFormLayout& Layout) {
  return std::unique_ptr<TComponent>(dynamic_cast<TComponent*>(FindClass(Layout.ClassName)->Create(nullptr)));
}

// Whether the window reads its layout itself when it is made: a control with a layout of its
// own (the grid's calculator) rather than a form, data module or frame.
bool ReadsItsOwnLayout(TComponent* Window) {
  return !dynamic_cast<TCustomForm*>(Window) && !dynamic_cast<TDataModule*>(Window) &&
         !dynamic_cast<TCustomFrame*>(Window);
}

// A window of the layout's class with its layouts read, as creating it reads them, but without
// its creation event: the sweep looks at the layout, not at what the window does when it opens.
std::unique_ptr<TComponent> LoadWindow(const TFormLayout& Layout) {
  std::unique_ptr<TComponent> window = NewWindow(Layout);
  if (window && !ReadsItsOwnLayout(window.get()))
    EXPECT_TRUE(InitInheritedComponent(window.get(), RootAncestorOf(window.get())));
  return window;
}

// The program's windows open as children of its main window: an MDI frame stands in for it.
class Layouts : public ::testing::Test {
protected:
  void SetUp() override {
    FSavedMain = Application->MainForm();
    FMain = std::make_unique<TForm>(nullptr);
    FMain->SetBounds(0, 0, 800, 600);
    FMain->SetFormStyle(fsMDIForm);
    Application->SetMainForm(FMain.get());
    FMain->Show();
  }
  void TearDown() override {
    Application->SetMainForm(FSavedMain);
    FMain.reset();
  }

  TForm* FSavedMain = nullptr;
  std::unique_ptr<TForm> FMain;
};

}  // namespace

TEST_F(Layouts, EveryLayoutLoadsAndMakesEachComponentItsMemberIsBoundTo) {
  std::vector<String> resources = LayoutResources();
  EXPECT_GE(resources.size(), 29u) << "the layouts were found";
  for (const String& res : resources) {
    SCOPED_TRACE(res);
    TFormLayout layout = ReadFormLayout(LoadResourceString(res), res);
    ASSERT_NE(GetClass(layout.ClassName), nullptr) << "no window class " << layout.ClassName;
    std::unique_ptr<TComponent> window;
    ASSERT_NO_THROW(window = LoadWindow(layout));
    ASSERT_NE(window, nullptr);
    for (const TLayoutComponent& c : layout.Components) {
      SCOPED_TRACE(c.Name + " (line " + std::to_string(c.Line) + ")");
      TComponent* found = window->FindComponent(c.Name);
      ASSERT_NE(found, nullptr) << "the window holds no component of this name";
      EXPECT_EQ(found->Owner(), window.get());
      TClass declared = GetClass(c.ClassName);
      ASSERT_NE(declared, nullptr) << c.ClassName << " is no registered class";
      EXPECT_TRUE(found->ClassType()->InheritsFrom(declared)) << found->ClassName() << " is no " << c.ClassName;
    }
  }
}

TEST_F(Layouts, EveryLoadedWindowWritesTextThatReadsBackToTheSameWindow) {
  for (const String& res : LayoutResources()) {
    SCOPED_TRACE(res);
    TFormLayout layout = ReadFormLayout(LoadResourceString(res), res);
    std::unique_ptr<TComponent> first = LoadWindow(layout);
    ASSERT_NE(first, nullptr);
    String text = WriteComponentToText(first.get());
    std::unique_ptr<TComponent> again = NewWindow(layout);
    // A window whose making already makes components (it reads its own layout, or builds a
    // part in code) is made and loaded again; any other reads the text written.
    if (again->ComponentCount() > 0) {
      again = LoadWindow(layout);
      int made = ReadsItsOwnLayout(again.get()) ? 0 : 1;
      EXPECT_GE(again->ComponentCount(), made);
    } else {
      ASSERT_NO_THROW(ReadComponentFromText(again.get(), text, res + " written back"));
    }
    EXPECT_EQ(Placed(again.get(), WriteComponentToText(again.get())), Placed(first.get(), text));
    // The same components, by name and class (the text lists non-visual ones first, so the
    // order of creation may differ).
    EXPECT_EQ(Inventory(again.get()), Inventory(first.get()));
  }
}
