// The grid library's memory stream, property interceptors, platform wrappers and texts.
#include "data/ADODB.h"
#include "core/ClassBuilder.h"
#include "grid/GridConstsEh.h"
#include "GridPaintFixture.h"
#include "grid/GridUtilsEh.h"
#include "gui/Edit.h"
#include "core/SysUtils.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

// ================================================================ memory stream

namespace {

// Counts the blocks the stream asks for.
class TCountingStream : public TMemoryStreamEh {
public:
  int Reallocations = 0;

protected:
  void* Realloc(Int64& NewCapacity) override {
    Int64 before = Capacity();
    void* p = TMemoryStreamEh::Realloc(NewCapacity);
    if (NewCapacity != before) ++Reallocations;
    return p;
  }
};

}  // namespace

struct GrowthCase {
  int HalfStep;  // 0: the default
  int Bytes;
};

void PrintTo(const GrowthCase& c, std::ostream* os) {
  *os << "half step " << (c.HalfStep ? c.HalfStep : 4096) << ", " << c.Bytes << " bytes";
}

class MemoryStreamGrowth : public ::testing::TestWithParam<GrowthCase> {};

TEST_P(MemoryStreamGrowth, ByteByByteGrowthReallocatesOnlyAtStepBoundaries) {
  const GrowthCase c = GetParam();
  TCountingStream s;
  if (c.HalfStep) s.SetHalfMemoryDelta(c.HalfStep);
  const Int64 step = 2 * Int64(s.HalfMemoryDelta());
  std::set<Int64> capacities;
  for (int i = 0; i < c.Bytes; ++i) {
    Byte b = Byte(i);
    s.WriteBuffer(&b, 1);
    ASSERT_EQ(s.Capacity() % step, 0) << "after " << i + 1 << " bytes";
    ASSERT_GE(s.Capacity(), s.Size());
    ASSERT_LT(s.Capacity() - s.Size(), step);
    capacities.insert(s.Capacity());
  }
  const int expected = int((c.Bytes + step - 1) / step);
  EXPECT_EQ(s.Reallocations, expected);
  EXPECT_EQ(int(capacities.size()), expected);
  // The bytes survived every move of the block.
  for (int i = 0; i < c.Bytes; ++i) ASSERT_EQ(static_cast<Byte*>(s.Memory())[i], Byte(i));
}

INSTANTIATE_TEST_SUITE_P(Steps, MemoryStreamGrowth,
                         ::testing::Values(GrowthCase{0, 3 * 8192 + 5}, GrowthCase{100, 1001}, GrowthCase{1, 9},
                                           GrowthCase{0, 8192}));

TEST(MemoryStreamEh, DefaultStepIs8192AndACapacityEqualToTheSizeStaysExact) {
  TMemoryStreamEh s;
  EXPECT_EQ(s.HalfMemoryDelta(), 4096);
  char data[10] = "123456789";
  s.WriteBuffer(data, 10);
  EXPECT_EQ(s.Capacity(), 8192);
  s.SetCapacity(s.Size());
  EXPECT_EQ(s.Capacity(), 10);
  EXPECT_EQ(std::memcmp(s.Memory(), data, 10), 0);
  s.WriteBuffer(data, 1);
  EXPECT_EQ(s.Capacity(), 8192);
  s.SetCapacity(0);
  EXPECT_EQ(s.Capacity(), 0);
  EXPECT_EQ(s.Memory(), nullptr);
}

// ================================================================ interceptors

namespace {

class TTargetEh : public TPersistent {
  KELM_CLASS(TTargetEh, TPersistent)
};
class TTargetChildEh : public TTargetEh {
  KELM_CLASS(TTargetChildEh, TTargetEh)
};
class TOtherTargetEh : public TPersistent {
  KELM_CLASS(TOtherTargetEh, TPersistent)
};
class TFirstInterceptorEh : public TStoragePropertyInterceptor {
  KELM_CLASS(TFirstInterceptorEh, TStoragePropertyInterceptor)
public:
  using TStoragePropertyInterceptor::TStoragePropertyInterceptor;
};
class TSecondInterceptorEh : public TStoragePropertyInterceptor {
  KELM_CLASS(TSecondInterceptorEh, TStoragePropertyInterceptor)
public:
  using TStoragePropertyInterceptor::TStoragePropertyInterceptor;
};

}  // namespace

KELM_PUBLISH(TTargetEh) {}
KELM_PUBLISH(TTargetChildEh) {}
KELM_PUBLISH(TOtherTargetEh) {}
KELM_PUBLISH(TFirstInterceptorEh) {}
KELM_PUBLISH(TSecondInterceptorEh) {}

TEST(ReadPropertyInterceptors, ASecondRegistrationForATargetReplacesTheFirst) {
  TClass target = TTargetEh::StaticClass();
  RegisterReadPropertyInterceptor<TFirstInterceptorEh>(target);
  EXPECT_EQ(GetReadPropertyInterceptorClass(target), TFirstInterceptorEh::StaticClass());
  RegisterReadPropertyInterceptor<TSecondInterceptorEh>(target);
  EXPECT_EQ(GetReadPropertyInterceptorClass(target), TSecondInterceptorEh::StaticClass());

  // The replaced pair is gone: removing it changes nothing.
  UnregisterReadPropertyInterceptor(target, TFirstInterceptorEh::StaticClass());
  EXPECT_EQ(GetReadPropertyInterceptorClass(target), TSecondInterceptorEh::StaticClass());

  TTargetChildEh child;
  std::unique_ptr<TStoragePropertyInterceptor> i(CreateReadPropertyInterceptor(&child));
  ASSERT_NE(i, nullptr);
  EXPECT_TRUE(i->Is<TSecondInterceptorEh>());
  EXPECT_EQ(i->Target(), &child);
  EXPECT_TRUE(i->NeedIntercept());

  TOtherTargetEh other;
  EXPECT_EQ(CreateReadPropertyInterceptor(&other), nullptr);

  UnregisterReadPropertyInterceptor(target, TSecondInterceptorEh::StaticClass());
  EXPECT_EQ(GetReadPropertyInterceptorClass(target), nullptr);
  EXPECT_EQ(CreateReadPropertyInterceptor(&child), nullptr);
}

TEST(ReadPropertyInterceptors, FormsHaveTheirInterceptorFromTheStart) {
  EXPECT_EQ(GetReadPropertyInterceptorClass(TForm::StaticClass()), TFormStoragePropertyInterceptor::StaticClass());
}

class FormInterceptor : public ::testing::Test {
protected:
  void SetUp() override {
    EnsureGridTestApplication();
    Form = new TForm(nullptr);
    Form->SetBounds(10, 20, 300, 200);
  }
  void TearDown() override { delete Form; }
  std::unique_ptr<TStoragePropertyInterceptor> Interceptor() {
    return std::unique_ptr<TStoragePropertyInterceptor>(CreateReadPropertyInterceptor(Form));
  }
  TForm* Form = nullptr;
};

TEST_F(FormInterceptor, ReadsThePlacementLiveAndKeepsThePhysicalPlacementOfAnotherResolution) {
  auto i = Interceptor();
  ASSERT_NE(i, nullptr);
  EXPECT_EQ(GetOrdProp(i.get(), "Left"), 10);
  Form->SetBounds(15, 25, 320, 240);
  EXPECT_EQ(GetOrdProp(i.get(), "Left"), 15);
  EXPECT_EQ(GetOrdProp(i.get(), "Height"), 240);
  EXPECT_EQ(GetOrdProp(i.get(), "PixelsPerInch"), 96);

  // Stored at twice the screen's resolution.
  SetOrdProp(i.get(), "PixelsPerInch", 192);
  SetOrdProp(i.get(), "Left", 200);
  SetOrdProp(i.get(), "Top", 100);
  SetOrdProp(i.get(), "Width", 600);
  SetOrdProp(i.get(), "Height", 400);
  i->Readed();
  EXPECT_EQ(Form->BoundsRect(), Rect(100, 50, 400, 250));
}

TEST_F(FormInterceptor, AReadPositionOverridesScreenCentring) {
  struct Case {
    TPosition Position;
    bool PositionRead;
    TPosition Expected;
  } cases[] = {
      {poScreenCenter, true, poDesigned},
      {poDesktopCenter, true, poDesigned},
      {poScreenCenter, false, poScreenCenter},
      {poDefaultPosOnly, true, poDefaultPosOnly},
  };
  for (const Case& c : cases) {
    Form->SetPosition(c.Position);
    auto i = Interceptor();
    if (c.PositionRead) SetOrdProp(i.get(), "Top", 30);
    SetOrdProp(i.get(), "Width", 250);
    i->Readed();
    EXPECT_EQ(Form->Position(), c.Expected) << int(c.Position) << " read " << c.PositionRead;
    EXPECT_EQ(Form->Width(), 250);
  }
}

// ================================================================ wrappers

namespace {
class TMasterHolderEh : public TComponent {
  KELM_CLASS(TMasterHolderEh, TComponent)
public:
  using TComponent::TComponent;
  TComponent* MasterSource() const { return FMaster; }
  void SetMasterSource(TComponent* v) { FMaster = v; }

private:
  TComponent* FMaster = nullptr;
};
}  // namespace

KELM_PUBLISH(TMasterHolderEh) { b.Prop("MasterSource", &TMasterHolderEh::MasterSource, &TMasterHolderEh::SetMasterSource); }

TEST(GridWrappers, DataSetOfADataSourcePropertyIsFoundOnlyThroughADataSource) {
  TComponent owner(nullptr);
  auto* query = new TADOQuery(&owner);
  auto* source = new TDataSource(&owner);
  source->SetDataSet(query);
  auto* holder = new TMasterHolderEh(&owner);

  EXPECT_EQ(DataSetOfDataSourcePropertyEh(holder, "MasterSource"), nullptr);  // empty
  holder->SetMasterSource(source);
  EXPECT_EQ(DataSetOfDataSourcePropertyEh(holder, "MasterSource"), query);
  EXPECT_EQ(DataSetOfDataSourcePropertyEh(holder, "mastersource"), query);
  EXPECT_EQ(DataSetOfDataSourcePropertyEh(holder, "NoSuchProperty"), nullptr);
  EXPECT_EQ(DataSetOfDataSourcePropertyEh(holder, "Name"), nullptr);  // not a class property
  holder->SetMasterSource(query);  // a component, but not a data source
  EXPECT_EQ(DataSetOfDataSourcePropertyEh(holder, "MasterSource"), nullptr);
  EXPECT_EQ(DataSetOfDataSourcePropertyEh(nullptr, "MasterSource"), nullptr);

  // A detail query names its master through its published DataSource.
  auto* detail = new TADOQuery(&owner);
  detail->SetDataSource(source);
  EXPECT_EQ(DataSetOfDataSourcePropertyEh(detail, "DataSource"), query);
}

TEST(GridWrappers, TextMessagesGetABufferWhoseFirstWordHoldsItsSize) {
  EnsureGridTestApplication();
  int sizeSeen = -1;
  HWND wnd = AllocateHWnd([&](TMessage& m) {
    if (m.Msg != WM_USER + 7) return;
    char* buffer = reinterpret_cast<char*>(m.LParam);
    Word size = 0;
    std::memcpy(&size, buffer, sizeof size);
    sizeSeen = size;
    const char text[] = "第二行 line";
    std::memcpy(buffer, text, sizeof text - 1);
    m.Result = LRESULT(sizeof text - 1);
  });
  EXPECT_EQ(SendGetTextMessageEh(wnd, WM_USER + 7, 1), "第二行 line");
  EXPECT_EQ(sizeSeen, 4096);
  // A window that copies nothing gives no text.
  EXPECT_EQ(SendGetTextMessageEh(wnd, WM_USER + 8, 0), "");
  DeallocateHWnd(wnd);
}

TEST(GridWrappers, EditSelectionsAreReadInCharacters) {
  EnsureGridTestApplication();
  TForm form(nullptr);
  TEdit* edit = new TEdit(&form);
  edit->SetParent(&form);
  edit->SetText("合同编号 A-17");
  edit->SetSelStart(2);
  edit->SetSelLength(5);
  int start = -1, end = -1;
  GetEditSelectionEh(edit->Handle(), start, end);
  EXPECT_EQ(start, 2);
  EXPECT_EQ(end, 7);
}

TEST_F(TGridPaintFixture, LogicalRectanglesConvertToDevicePointsAndPolygonsCopyTheirPoints) {
  SetViewportOrgEx(DC(), 7, -3, nullptr);
  TRect r = Rect(1, 2, 11, 22);
  EXPECT_TRUE(LPtoDPEh(DC(), r));
  EXPECT_EQ(r, Rect(8, -1, 18, 19));
  SetViewportOrgEx(DC(), 0, 0, nullptr);

  std::vector<TPoint> points{{0, 0}, {10, 0}, {0, 10}};
  HRGN rgn = CreatePolygonRgnEh(points, ALTERNATE);
  EXPECT_TRUE(PtInRegion(rgn, 2, 2));
  EXPECT_FALSE(PtInRegion(rgn, 8, 8));
  DeleteObject(rgn);
  EXPECT_EQ(EmptyRectEh(), Rect(0, 0, 0, 0));
}

TEST_F(TGridPaintFixture, AClipScopeRestoresThePreviousClipOrNone) {
  // No clip before: none after.
  {
    TClipRectScopeEh clip(DC(), Rect(5, 5, 10, 10));
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(DC(), r), 1);
    DeleteObject(r);
  }
  HRGN after = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(DC(), after), 0);

  HRGN before = CreateRectRgn(0, 0, 50, 40);
  SelectClipRgn(DC(), before);
  {
    TClipRectScopeEh clip(DC(), Rect(30, 30, 100, 100));
    TRect box;
    GetClipBox(DC(), &box);
    EXPECT_EQ(box, Rect(30, 30, 50, 40));
  }
  ASSERT_EQ(GetClipRgn(DC(), after), 1);
  EXPECT_TRUE(EqualRgn(after, before));
  SelectClipRgn(DC(), nullptr);
  DeleteObject(before);
  DeleteObject(after);
}

TEST(GridStringHelpers, CompareAndMapCaseByCharacters) {
  struct Case {
    const char* A;
    const char* B;
    int TextSign;
    int StrSign;
  } cases[] = {
      {"abc中文", "ABC中文", 0, 1},
      {"Äpfel", "äPFEL", 0, -1},
      {"中", "丁", 1, 1},  // by code point: U+4E2D after U+4E01
      {"a", "ab", -1, -1},
  };
  auto sign = [](int v) { return (v > 0) - (v < 0); };
  for (const Case& c : cases) {
    EXPECT_EQ(sign(AnsiCompareTextEh(c.A, c.B)), c.TextSign) << c.A << " " << c.B;
    EXPECT_EQ(sign(AnsiCompareStrEh(c.A, c.B)), c.StrSign) << c.A << " " << c.B;
  }
  EXPECT_EQ(AnsiUpperCaseEh("äbc中"), "ÄBC中");
  EXPECT_EQ(AnsiLowerCaseEh("ÄBC中"), "äbc中");
}

TEST(GridTexts, FormatsTakeTheirArguments) {
  EXPECT_EQ(Format(SPageOfPagesEh, {3, 12}), "第 3 页，共 12 页");
  EXPECT_EQ(Format(STextNotFoundEh, {"合同"}), "字符串 \"合同\" 没有找到");
}
