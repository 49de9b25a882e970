#include "core/SpreadsheetServer.h"

#include "core/ComObj.h"
#include "core/Spreadsheet.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

// A stand-in object: its members are a table of names and handlers that take the arguments
// in their written order.
class TStandIn : public TAutomationObject {
public:
  using TMember = std::function<void(Word Flags, const std::vector<Variant>& Args, Variant* Result)>;

  HRESULT GetIDsOfNames(const String& Name, int& DispId) override {
    for (std::size_t i = 0; i < FMembers.size(); ++i)
      if (SameText(Name, FMembers[i].first)) {
        DispId = static_cast<int>(i);
        return 0;
      }
    return DISP_E_UNKNOWNNAME;
  }

  HRESULT Invoke(int DispId, Word Flags, const TDispParams& Params, Variant* Result, TExcepInfo& Info) override {
    if (DispId < 0 || std::size_t(DispId) >= FMembers.size()) return DISP_E_MEMBERNOTFOUND;
    std::vector<Variant> args(Params.Args.rbegin(), Params.Args.rend());
    try {
      FMembers[std::size_t(DispId)].second(Flags, args, Result);
      return 0;
    } catch (const Exception& e) {
      Info.Source = "Excel";
      Info.Description = e.Message();
      return DISP_E_EXCEPTION;
    }
  }

protected:
  void Member(const char* Name, TMember Handler) { FMembers.emplace_back(Name, std::move(Handler)); }
  static void Give(Variant* Result, const Variant& Value) {
    if (Result) *Result = Value;
  }
  template <class T, class... A> static Variant Object(A&&... Args) {
    return Variant::FromDispatch(std::make_shared<T>(std::forward<A>(Args)...));
  }
  static void NeedArgs(const std::vector<Variant>& Args, std::size_t Count) {
    if (Args.size() != Count) throw EOleError(OleSysErrorMessage(DISP_E_BADPARAMCOUNT));
  }

private:
  std::vector<std::pair<String, TMember>> FMembers;
};

using TSheetPtr = std::shared_ptr<const TSpreadsheet>;

// What the application and its workbooks share: the workbook last opened.
struct TExcelState {
  TSheetPtr Active;
  bool Visible = false;
};

class TCount : public TStandIn {
public:
  explicit TCount(int N) {
    Member("Count", [N](Word, const std::vector<Variant>&, Variant* R) { Give(R, Variant(N)); });
  }
};

class TRange : public TStandIn {
public:
  explicit TRange(TSheetPtr S) {
    Member("Columns", [S](Word, const std::vector<Variant>&, Variant* R) { Give(R, Object<TCount>(S->ColCount())); });
    Member("Rows", [S](Word, const std::vector<Variant>&, Variant* R) { Give(R, Object<TCount>(S->RowCount())); });
  }
};

class TCell : public TStandIn {
public:
  TCell(TSheetPtr S, int Row, int Col) {
    Member("Value", [S, Row, Col](Word, const std::vector<Variant>&, Variant* R) { Give(R, S->Value(Row, Col)); });
    Member("Text", [S, Row, Col](Word, const std::vector<Variant>&, Variant* R) { Give(R, Variant(S->Text(Row, Col))); });
  }
};

class TCells : public TStandIn {
public:
  explicit TCells(TSheetPtr S) {
    Member("Item", [S](Word, const std::vector<Variant>& A, Variant* R) {
      NeedArgs(A, 2);
      Give(R, Object<TCell>(S, A[0].AsInteger(), A[1].AsInteger()));
    });
  }
};

class TSheet : public TStandIn {
public:
  explicit TSheet(TSheetPtr S) {
    Member("UsedRange", [S](Word, const std::vector<Variant>&, Variant* R) { Give(R, Object<TRange>(S)); });
    Member("Cells", [S](Word, const std::vector<Variant>&, Variant* R) { Give(R, Object<TCells>(S)); });
  }
};

Variant ActiveSheetOf(const TSheetPtr& S) {
  if (!S) throw EOleError("没有打开的工作簿");
  return Variant::FromDispatch(std::make_shared<TSheet>(S));
}

class TWorkbook : public TStandIn {
public:
  TWorkbook(std::shared_ptr<TExcelState> State, TSheetPtr Sheet) : FSheet(std::move(Sheet)) {
    Member("ActiveSheet", [this](Word, const std::vector<Variant>&, Variant* R) { Give(R, ActiveSheetOf(FSheet)); });
    Member("Close", [this, State](Word, const std::vector<Variant>&, Variant*) {
      if (State && FSheet && State->Active == FSheet) State->Active.reset();
      FSheet.reset();
    });
  }

private:
  TSheetPtr FSheet;
};

class TWorkbooks : public TStandIn {
public:
  explicit TWorkbooks(std::shared_ptr<TExcelState> State) {
    Member("Add", [State](Word, const std::vector<Variant>&, Variant* R) { Give(R, Object<TWorkbook>(State, nullptr)); });
    Member("Open", [State](Word, const std::vector<Variant>& A, Variant* R) {
      if (A.empty()) throw EOleError(OleSysErrorMessage(DISP_E_BADPARAMCOUNT));
      auto sheet = std::make_shared<const TSpreadsheet>(A[0].AsString());
      State->Active = sheet;
      Give(R, Object<TWorkbook>(State, sheet));
    });
  }
};

class TApplication : public TStandIn {
public:
  TApplication() : FState(std::make_shared<TExcelState>()) {
    auto state = FState;
    Member("Workbooks", [state](Word, const std::vector<Variant>&, Variant* R) { Give(R, Object<TWorkbooks>(state)); });
    Member("Visible", [state](Word Flags, const std::vector<Variant>& A, Variant* R) {
      if (Flags & DISPATCH_PROPERTYPUT) {
        NeedArgs(A, 1);
        state->Visible = A[0].AsBoolean();
      } else {
        Give(R, Variant(state->Visible));
      }
    });
    Member("ActiveSheet", [state](Word, const std::vector<Variant>&, Variant* R) { Give(R, ActiveSheetOf(state->Active)); });
    Member("Quit", [state](Word, const std::vector<Variant>&, Variant*) { state->Active.reset(); });
  }

private:
  std::shared_ptr<TExcelState> FState;
};

const bool kRegistered = [] {
  RegisterSpreadsheetAutomation();
  return true;
}();

}  // namespace

void RegisterSpreadsheetAutomation() {
  RegisterAutomationClass("Excel.Application", [] { return std::make_shared<TApplication>(); });
  RegisterAutomationClass("Excel.Sheet", [] { return std::make_shared<TWorkbook>(nullptr, nullptr); });
}
