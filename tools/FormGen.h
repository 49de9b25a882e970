#pragma once
// The form generator's work: reads a window's layout text and writes the header that gives
// its class the layout's components as typed members, with the code that binds them once
// the layout has loaded. A component's name is then written once, in its layout.
//
//   class TFrm_Login : public TFrm_LoginLayout<TForm> {   // from "forms/TFrm_Login.h"
//     KELM_CLASS(TFrm_Login, TFrm_LoginLayout<TForm>)
//     ...handlers and state only...
//   };
#include "core/Exceptions.h"
#include "core/System.h"

#include <map>
#include <vector>

// A layout or header the generator cannot use; the message names the file and the line.
KELM_EXCEPTION(EFormGenError, Exception);

// One named component of a layout, as the window's class owns it.
struct TLayoutComponent {
  String Name;
  String ClassName;
  int Line = 0;  // of its "object" line
};

struct TFormLayout {
  String SourceName;  // as given, used in messages
  String ClassName;   // the window's class: the root object's class
  bool Inherited = false;  // the layout adds to its base class's layout
  std::vector<TLayoutComponent> Components;  // in layout order
};

// The components a window's class owns: every named object of the layout, at any depth,
// except the objects of its base class's layout ("inherited") and the children of a frame
// ("inline"), which their own classes own. EFormGenError for a syntax error, a duplicate
// name (names compare without regard to case, as the window finds them) or a name that is
// a C++ keyword.
TFormLayout ReadFormLayout(const String& Text, const String& SourceName);

// Component class name -> the include name of the header declaring it ("gui/StdCtrls.h").
using TClassHeaders = std::map<String, String>;

// Adds the classes a header declares with KELM_CLASS to Headers under IncludeName.
// EFormGenError when another header already declared one of them.
void ScanClassHeader(const String& Text, const String& IncludeName, TClassHeaders& Headers);

// The generated header of the layout: a class <Window>Components with one member per
// component, pointing to it once bound, and the alias <Window>Layout<Base> the window's
// class derives from. EFormGenError naming the file and line of a component whose class no
// header declares.
String GenerateFormHeader(const TFormLayout& Layout, const TClassHeaders& Headers);

// The name of the generated header, under the generated include folder: "forms/TFrm_Login.h".
String FormHeaderName(const TFormLayout& Layout);
