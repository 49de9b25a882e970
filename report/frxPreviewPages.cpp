#include "report/frxPreviewPages.h"

#include <algorithm>
#include <cmath>

#include "core/ClassBuilder.h"
#include "core/FileUtils.h"
#include "core/FloatFormat.h"
#include "core/Scope.h"
#include "core/Streams.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxPages.h"
#include "report/frxXML.h"
#include "report/frxXMLSerializer.h"
#include "report/frxFormUtils.h"
#include "report/frxKind.h"
#include "report/frxRes.h"
#include "core/StringList.h"

namespace {

constexpr std::size_t kPageCacheSize = 50;
// What an element costs beyond its name and attribute text: the element object and the
// child-list slot it takes.
constexpr std::size_t kElementOverhead = 64;

bool IsCrossView(const TfrxComponent* Object) {
  String name = Object->ClassName();
  return name == "TfrxCrossView" || name == "TfrxDBCrossView";
}

bool IsLeftOut(const TfrxComponent* Object) {
  return IsCrossView(Object) || KindOf<const TfrxDialogComponent>(Object) != nullptr;
}

int AttrInt(const TfrxXMLItem* Item, const String& Name, int Default) {
  String value = Item->AttrValue(Name);
  return value.empty() ? Default : StrToInt(value);
}

Extended AttrFloat(const TfrxXMLItem* Item, const String& Name) {
  String value = Item->AttrValue(Name);
  return value.empty() ? 0 : StrToFloatAnySep(value);
}

}  // namespace

// ---------------------------------------------------------------- outline

KELM_PUBLISH(TfrxOutline) {}

TfrxOutline::TfrxOutline(TfrxPreviewPages* APreviewPages) : TfrxCustomOutline(APreviewPages), FStore(APreviewPages) {}

TfrxXMLItem* TfrxOutline::Root() { return FStore->Document()->Root()->ChildByName("outline"); }

TfrxXMLItem* TfrxOutline::CurItem() {
  if (!FCurItem) FCurItem = Root();
  return FCurItem;
}

void TfrxOutline::Forget() { FCurItem = nullptr; }

int TfrxOutline::Count() { return CurItem()->ChildCount(); }

void TfrxOutline::AddItem(const String& Text, int Top) {
  TfrxXMLItem* item = CurItem()->AddChild();
  item->SetName("item");
  item->SetText("text=\"" + XMLEscapeText(Text) + "\" page=\"" + IntToStr(FStore->CurPage()) + "\" top=\"" +
                IntToStr(Top) + "\"");
  FCurItem = item;
}

void TfrxOutline::LevelDown(int Index) { FCurItem = CurItem()->ChildAt(Index); }

void TfrxOutline::LevelRoot() { FCurItem = Root(); }

void TfrxOutline::LevelUp() {
  TfrxXMLItem* cur = CurItem();
  if (cur != Root()) FCurItem = cur->Parent();
}

void TfrxOutline::GetItem(int Index, String& Text, int& Page, int& Top) {
  TfrxXMLItem* item = CurItem()->ChildAt(Index);
  Text = item->AttrValue("text");
  Page = AttrInt(item, "page", Page);
  Top = AttrInt(item, "top", Top);
}

TfrxXMLItem* TfrxOutline::GetCurPosition() {
  TfrxXMLItem* cur = CurItem();
  return cur->ChildCount() ? cur->ChildAt(cur->ChildCount() - 1) : cur;
}

void TfrxOutline::ShiftItems(TfrxXMLItem* Item, int NewTop) {
  TfrxXMLItem* parent = Item->Parent();
  if (!parent) return;
  int index = parent->IndexOfChild(Item);
  if (index + 1 >= parent->ChildCount()) return;
  TfrxXMLItem* next = parent->ChildAt(index + 1);
  int delta = NewTop - AttrInt(next, "top", 0);
  std::vector<TfrxXMLItem*> todo{next};
  while (!todo.empty()) {
    TfrxXMLItem* e = todo.back();
    todo.pop_back();
    e->SetAttrValue("page", IntToStr(AttrInt(e, "page", 0) + 1));
    e->SetAttrValue("top", IntToStr(AttrInt(e, "top", 0) + delta));
    for (int i = 0; i < e->ChildCount(); ++i) todo.push_back(e->ChildAt(i));
  }
}

// ---------------------------------------------------------------- dictionary

bool TfrxDictionary::TLess::operator()(const String& A, const String& B) const { return CompareText(A, B) < 0; }

void TfrxDictionary::Add(const String& ShortName, const String& SourceName, TfrxComponent* Object) {
  FNames[ShortName] = TEntry{SourceName, Object};
}

String TfrxDictionary::CreateUniqueName(const String& Prefix) const {
  // Short names of a prefix are handed out from 1 without gaps: halving finds the filled
  // range quickly, the walk upward the first free number.
  int n = 10000;
  while (n > 1 && !Contains(Prefix + IntToStr(n))) n /= 2;
  while (Contains(Prefix + IntToStr(n))) ++n;
  return Prefix + IntToStr(n);
}

void TfrxDictionary::AddUnique(const String& Prefix, const String& SourceName, String& ShortName,
                               TfrxComponent* Object) {
  ShortName = CreateUniqueName(Prefix);
  Add(ShortName, SourceName, Object);
}

bool TfrxDictionary::Contains(const String& ShortName) const { return FNames.count(ShortName) != 0; }

TfrxComponent* TfrxDictionary::Source(const String& ShortName) const {
  auto it = FNames.find(ShortName);
  return it == FNames.end() ? nullptr : it->second.Object;
}

String TfrxDictionary::SourceName(const String& ShortName) const {
  auto it = FNames.find(ShortName);
  return it == FNames.end() ? String() : it->second.SourceName;
}

void TfrxDictionary::Clear() { FNames.clear(); }

void TfrxDictionary::Write(TfrxXMLItem* Item) const {
  for (const auto& [name, entry] : FNames) {
    TfrxXMLItem* e = Item->AddChild();
    e->SetName(name);
    e->SetText("name=\"" + entry.SourceName + "\"");
  }
}

// ---------------------------------------------------------------- store

KELM_PUBLISH(TfrxPreviewPages) {}

TfrxPreviewPages::TfrxPreviewPages(TfrxReport* AReport)
    : TfrxCustomPreviewPages(AReport), FDocument(std::make_unique<TfrxXMLDocument>()) {
  FDocument->Root()->SetName("preparedreport");
  SetOutline(std::make_unique<TfrxOutline>(this));
}

TfrxPreviewPages::~TfrxPreviewPages() { ClearCache(); }

TfrxOutline* TfrxPreviewPages::OutlineObj() const { return static_cast<TfrxOutline*>(Outline()); }

TfrxReportPage* TfrxPreviewPages::SourcePage(int Index) const { return FSourcePages.at(Index).get(); }

TfrxComponent* TfrxPreviewPages::SourceCopy(TfrxComponent* DesignObject) const {
  auto it = FDesignToCopy.find(DesignObject);
  return it == FDesignToCopy.end() ? nullptr : it->second;
}

void TfrxPreviewPages::LinkSource(TfrxComponent* Object, TfrxComponent* DesignObject) {
  if (TfrxComponent* copy = SourceCopy(DesignObject)) FDesignToCopy[Object] = copy;
}

void TfrxPreviewPages::UnlinkSource(TfrxComponent* Object) { FDesignToCopy.erase(Object); }

// The engine asks for the page list once per object it writes: the position found last is
// tried first, and only a miss (the document cleared, loaded or rearranged) searches by name.
int TfrxPreviewPages::PagesIndex() const {
  const TfrxXMLItem* root = FDocument->Root();
  if (FPagesIndex >= 0 && FPagesIndex < root->ChildCount() && root->ChildAt(FPagesIndex)->Name() == "previewpages")
    return FPagesIndex;
  FPagesIndex = root->IndexOfChildName("previewpages");
  return FPagesIndex;
}

TfrxXMLItem* TfrxPreviewPages::PagesItem() {
  const int i = PagesIndex();
  return i >= 0 ? FDocument->Root()->ChildAt(i) : FDocument->Root()->ChildByName("previewpages");
}

TfrxXMLItem* TfrxPreviewPages::PageItem(int Index) { return PagesItem()->ChildAt(Index); }

int TfrxPreviewPages::Count() {
  const int i = PagesIndex();
  return i < 0 ? 0 : FDocument->Root()->ChildAt(i)->ChildCount();
}

void TfrxPreviewPages::ClearCache() { FPageCache.clear(); }

void TfrxPreviewPages::ForgetCachedPage(int Index) {
  FPageCache.remove_if([Index](const auto& Entry) { return Entry.first == Index; });
}

void TfrxPreviewPages::Clear() {
  ClearCache();
  FDesignToCopy.clear();
  FCopyInfo.clear();
  FSourcePages.clear();
  FDocument->Clear();
  FDictionary.Clear();
  OutlineObj()->Forget();
  FCurPage = -1;
  FFirstPage = 0;
  FPassPage = -1;
  FPassObjectCount = 0;
  FMemoryEstimate = 0;
}

void TfrxPreviewPages::Initialize() { FDocument->SetTempDir(Report()->EngineOptions()->TempDir()); }

void TfrxPreviewPages::Finish() {
  ClearCache();
  for (auto& page : FSourcePages) FCopyInfo[page.get()].Design = nullptr;
}

void TfrxPreviewPages::SetSourceText(TfrxComponent* Copy, bool Full) {
  TfrxXMLSerializer serializer(nullptr);
  FCopyInfo[Copy].SourceText =
      Full || !Copy->StoreFullAttributes() ? serializer.ObjectToText(Copy) : Copy->ClassName();
}

void TfrxPreviewPages::AddSourcePage(TfrxReportPage* Page) {
  int pageIndex = static_cast<int>(FSourcePages.size());
  auto copy = std::unique_ptr<TfrxReportPage>(static_cast<TfrxReportPage*>(Page->ClassType()->Create(nullptr)));
  copy->Assign(Page);
  copy->SetName(Page->Name());
  FCopyInfo[copy.get()].Design = Page;
  // Depth first: a copy's parent copy exists before it; left-out objects take their subtree.
  std::vector<std::pair<TfrxComponent*, TfrxComponent*>> todo;
  for (int i = Page->ObjectCount() - 1; i >= 0; --i) todo.emplace_back(Page->Objects(i), copy.get());
  while (!todo.empty()) {
    auto [design, parentCopy] = todo.back();
    todo.pop_back();
    if (IsLeftOut(design)) continue;
    auto* c = static_cast<TfrxComponent*>(design->ClassType()->Create(parentCopy));
    c->Assign(design);
    c->SetName(design->Name());
    String prefix = dynamic_cast<TfrxBand*>(c) ? String("b") : AnsiLowerCase(c->BaseName().substr(0, 1));
    String shortName;
    FDictionary.AddUnique(prefix, "Page" + IntToStr(pageIndex) + "." + c->Name(), shortName, c);
    FDesignToCopy[design] = c;
    TSourceInfo& info = FCopyInfo[c];
    info.Design = design;
    info.ShortName = shortName;
    SetSourceText(c, false);
    for (int i = design->ObjectCount() - 1; i >= 0; --i) todo.emplace_back(design->Objects(i), c);
  }
  FDesignToCopy[Page] = copy.get();
  FSourcePages.push_back(std::move(copy));
}

void TfrxPreviewPages::BeginPass() {
  FPassPage = Count() - 1;
  if (FPassPage >= 0) FPassObjectCount = PageItem(FPassPage)->ChildCount();
}

void TfrxPreviewPages::ClearFirstPass() {
  ClearCache();
  TfrxXMLItem* root = FDocument->Root();
  if (FPassPage == -1) {
    for (int i = 0; i < root->ChildCount(); ++i)
      if (!SameText(root->ChildAt(i)->Name(), "anchors")) root->ChildAt(i)->FreeChildren();
  } else {
    TfrxXMLItem* page = PageItem(FPassPage);
    EnsureLoaded(page);
    while (page->ChildCount() > FPassObjectCount) delete page->ChildAt(page->ChildCount() - 1);
    TfrxXMLItem* pages = PagesItem();
    while (pages->ChildCount() > FPassPage + 1) delete pages->ChildAt(pages->ChildCount() - 1);
  }
  OutlineObj()->Forget();
  FCurPage = FPassPage;
  FMemoryEstimate = 0;
}

void TfrxPreviewPages::EnsureLoaded(TfrxXMLItem* Item) {
  if (!Item->Loaded()) FDocument->SwapIn(Item);
}

void TfrxPreviewPages::AddPage(TfrxReportPage* Page) {
  TfrxEngineOptions* options = Report()->EngineOptions();
  if (options->UseFileCache() && FMemoryEstimate > std::size_t(options->MaxMemSize()) * 1048576) {
    TfrxXMLItem* pages = PagesItem();
    for (int i = pages->ChildCount() - 2; i >= 0; --i) {
      TfrxXMLItem* item = pages->ChildAt(i);
      if (!item->Loaded() || !item->Unloadable()) break;
      FDocument->SwapOut(item);
    }
    FMemoryEstimate = 0;
  }
  ++FCurPage;
  if (FAddPageMode == apWriteOver && FCurPage < Count()) {
    // The page is written to again: with the file cache it may be out.
    EnsureLoaded(PageItem(FCurPage));
    ForgetCachedPage(FCurPage);
    return;
  }
  int source = -1;
  for (int i = 0; i < SourcePageCount(); ++i)
    if (FCopyInfo[FSourcePages[i].get()].Design == Page) source = i;
  TfrxXMLItem* item = PagesItem()->AddChild();
  item->SetName("page" + IntToStr(source));
  if (Count() > 2) item->SetUnloadable(true);
  FAddPageMode = apWriteOver;
  FCurPage = Count() - 1;
}

void TfrxPreviewPages::AddObjectTo(TfrxXMLItem* Parent, TfrxComponent* Object) {
  if (!Object->Visible()) return;
  TfrxXMLItem* target = Parent;
  if (!KindOf<TfrxSubreport>(Object) && !IsLeftOut(Object)) {
    target = Parent->AddChild();
    TfrxComponent* copy = SourceCopy(Object);
    if (copy) {
      target->SetName(FCopyInfo[copy].ShortName);
      bool firstPass = Report()->EngineOptions()->DoublePass() && Engine() && !Engine()->FinalPass();
      if (firstPass)
        target->SetText(Trim(Object->TfrxComponent::DiffAttributes(copy)));
      else if (Object->StoreFullAttributes())
        target->SetText(Trim(Object->FullAttributes(copy)));
      else
        target->SetText(Trim(Object->DiffAttributes(copy)));
    } else {
      target->SetName(Object->ClassName());
      target->SetText(Trim(Object->FullAttributes(nullptr)));
    }
    FMemoryEstimate += target->Name().size() + target->Text().size() + kElementOverhead;
  }
  for (int i = 0; i < Object->ObjectCount(); ++i) AddObjectTo(target, Object->Objects(i));
}

void TfrxPreviewPages::AddObject(TfrxComponent* Object) {
  // The engine may go back to an earlier page (sub-reports side by side): with the file cache
  // that page may be out.
  TfrxXMLItem* page = PageItem(FCurPage);
  EnsureLoaded(page);
  ForgetCachedPage(FCurPage);
  AddObjectTo(page, Object);
}

int TfrxPreviewPages::CurPosition() {
  TfrxXMLItem* page = PageItem(FCurPage);
  EnsureLoaded(page);
  return page->ChildCount();
}

void TfrxPreviewPages::CutObjects(int FromPosition) {
  TfrxXMLItem* page = PageItem(FCurPage);
  EnsureLoaded(page);
  TfrxXMLItem* cutted = FDocument->Root()->ChildByName("cutted");
  ForgetCachedPage(FCurPage);
  while (page->ChildCount() > FromPosition) cutted->AdoptChild(page->ChildAt(FromPosition));
}

void TfrxPreviewPages::PasteObjects(Extended X, Extended Y) {
  TfrxXMLItem* root = FDocument->Root();
  int i = root->IndexOfChildName("cutted");
  if (i < 0) return;
  std::unique_ptr<TfrxXMLItem> cutted(root->ChildAt(i));
  if (cutted->ChildCount() == 0) return;
  TfrxXMLItem* page = PageItem(FCurPage);
  EnsureLoaded(page);
  ForgetCachedPage(FCurPage);
  Extended dx = X - AttrFloat(cutted->ChildAt(0), "l");
  Extended dy = Y - AttrFloat(cutted->ChildAt(0), "t");
  while (cutted->ChildCount() > 0) {
    TfrxXMLItem* e = cutted->ChildAt(0);
    e->SetAttrValue("l", FloatToStr(AttrFloat(e, "l") + dx));
    e->SetAttrValue("t", FloatToStr(AttrFloat(e, "t") + dy));
    page->AdoptChild(e);
  }
}

TfrxReportPage* TfrxPreviewPages::BuildPage(TfrxXMLItem* Item) {
  EnsureLoaded(Item);
  const String& name = Item->Name();
  std::unique_ptr<TfrxReportPage> page;
  TfrxXMLSerializer serializer(nullptr);
  if (name == "TfrxReportPage" || name == "TfrxDMPPage") {
    TClass cls = FindClass(name);
    page.reset(static_cast<TfrxReportPage*>(cls->Create(nullptr)));
    serializer.ReadTree(page.get(), Item);
    return page.release();
  }
  int source = name.size() > 4 ? StrToIntDef(name.substr(4), -1) : -1;
  if (name.substr(0, 4) != "page" || source < 0 || source >= SourcePageCount())
    throw Exception("Prepared page " + name + " has no source page");
  TfrxReportPage* src = FSourcePages[source].get();
  page.reset(static_cast<TfrxReportPage*>(src->ClassType()->Create(nullptr)));
  page->Assign(src);
  std::vector<std::pair<TfrxXMLItem*, TfrxComponent*>> todo;
  for (int i = Item->ChildCount() - 1; i >= 0; --i) todo.emplace_back(Item->ChildAt(i), page.get());
  while (!todo.empty()) {
    auto [e, parent] = todo.back();
    todo.pop_back();
    TfrxComponent* copy = FDictionary.Source(e->Name());
    TfrxComponent* obj;
    if (copy) {
      obj = serializer.ObjectFromText(parent, FCopyInfo[copy].SourceText + " " + e->Text());
      obj->SetName(copy->Name());
    } else {
      obj = serializer.ObjectFromText(parent, e->Name() + " " + e->Text());
    }
    for (int i = e->ChildCount() - 1; i >= 0; --i) todo.emplace_back(e->ChildAt(i), obj);
  }
  page->ArrangeAlignedChildren();
  return page.release();
}

// While the engine runs, the pages it has finished stay cached: every change it makes to a
// page (objects added, cut or pasted, the page written over) drops that page's entry first.
TfrxReportPage* TfrxPreviewPages::GetPage(int Index) {
  if (Count() == 0) return nullptr;
  for (auto it = FPageCache.begin(); it != FPageCache.end(); ++it)
    if (it->first == Index) {
      FPageCache.splice(FPageCache.begin(), FPageCache, it);
      return FPageCache.front().second.get();
    }
  TfrxXMLItem* item = PageItem(Index);
  FPageCache.emplace_front(Index, std::unique_ptr<TfrxReportPage>(BuildPage(item)));
  TfrxReportPage* result = FPageCache.front().second.get();
  if (FPageCache.size() > kPageCacheSize) {
    int dropped = FPageCache.back().first;
    FPageCache.pop_back();
    if (Report()->EngineOptions()->UseFileCache() && dropped < Count()) {
      TfrxXMLItem* d = PageItem(dropped);
      if (d->Unloadable() && d->Loaded()) FDocument->SwapOut(d);
    }
  }
  return result;
}

TPoint TfrxPreviewPages::GetPageSize(int Index) {
  if (Index < 0 || Index >= Count()) return TPoint{0, 0};
  TfrxXMLItem* item = PageItem(Index);
  const String& name = item->Name();
  TfrxComponent* page = nullptr;
  if (name.substr(0, 4) == "page") {
    int source = StrToIntDef(name.substr(4), -1);
    if (source >= 0 && source < SourcePageCount()) page = FSourcePages[source].get();
  }
  if (!page) page = GetPage(Index);
  return TPoint{static_cast<int>(std::lround(page->Width())), static_cast<int>(std::lround(page->Height()))};
}

void TfrxPreviewPages::AddToSourcePage(TfrxComponent* Object) {
  if (FSourcePages.empty()) return;
  int pageIndex = SourcePageCount() - 1;
  TfrxReportPage* page = FSourcePages.back().get();
  auto* c = static_cast<TfrxComponent*>(Object->ClassType()->Create(page));
  c->Assign(Object);
  String base = c->BaseName();
  int n = 1;
  while (page->FindObject(base + IntToStr(n))) ++n;
  c->SetName(base + IntToStr(n));
  String shortName;
  FDictionary.AddUnique(AnsiLowerCase(base.substr(0, 1)), "Page" + IntToStr(pageIndex) + "." + c->Name(), shortName, c);
  TSourceInfo& info = FCopyInfo[c];
  info.Design = Object;
  info.ShortName = shortName;
  SetSourceText(c, false);
  FDesignToCopy[Object] = c;
}

bool TfrxPreviewPages::BandExists(TfrxComponent* Band) {
  if (FCurPage < 0 || FCurPage >= Count()) return false;
  TfrxXMLItem* page = PageItem(FCurPage);
  EnsureLoaded(page);
  bool pageFooter = KindOf<TfrxPageFooter>(Band) != nullptr;
  bool columnFooter = KindOf<TfrxColumnFooter>(Band) != nullptr;
  for (int i = 0; i < page->ChildCount(); ++i) {
    TfrxComponent* copy = FDictionary.Source(page->ChildAt(i)->Name());
    if (!copy) continue;
    if (FCopyInfo[copy].Design == Band) return true;
    if (pageFooter && KindOf<TfrxPageFooter>(copy)) return true;
    if (columnFooter && KindOf<TfrxColumnFooter>(copy)) return true;
  }
  return false;
}

Extended TfrxPreviewPages::LastBandBottom() {
  if (FCurPage < 0 || FCurPage >= Count()) return 0;
  TfrxXMLItem* page = PageItem(FCurPage);
  EnsureLoaded(page);
  Extended result = 0;
  for (int i = 0; i < page->ChildCount(); ++i) {
    TfrxXMLItem* e = page->ChildAt(i);
    TfrxComponent* copy = FDictionary.Source(e->Name());
    if (!KindOf<TfrxBand>(copy) || KindOf<TfrxPageFooter>(copy) || KindOf<TfrxOverlay>(copy))
      continue;
    Extended t = e->AttrValue("t").empty() ? copy->Top() : AttrFloat(e, "t");
    Extended h = e->AttrValue("h").empty() ? copy->Height() : AttrFloat(e, "h");
    result = std::max(result, t + h);
  }
  return result;
}

// ---------------------------------------------------------------- anchors

void TfrxPreviewPages::AddAnchor(const String& Text) {
  TfrxXMLItem* item = FDocument->Root()->ChildByName("anchors")->AddChild();
  item->SetName("item");
  int top = Engine() ? static_cast<int>(std::lround(Engine()->CurY())) : 0;
  item->SetText("text=\"" + XMLEscapeText(Text) + "\" page=\"" + IntToStr(FCurPage) + "\" top=\"" +
                IntToStr(top) + "\"");
}

TfrxXMLItem* TfrxPreviewPages::FindAnchor(const String& Text) {
  TfrxXMLItem* root = FDocument->Root();
  int i = root->IndexOfChildName("anchors");
  if (i < 0) return nullptr;
  TfrxXMLItem* anchors = root->ChildAt(i);
  for (int k = anchors->ChildCount() - 1; k >= 0; --k)
    if (AnsiSameText(anchors->ChildAt(k)->AttrValue("text"), Text)) return anchors->ChildAt(k);
  return nullptr;
}

int TfrxPreviewPages::GetAnchorPage(const String& Text) {
  TfrxXMLItem* item = FindAnchor(Text);
  return item ? AttrInt(item, "page", 0) + 1 : 1;
}

// ---------------------------------------------------------------- .fp3

namespace {
TfrxCompressorFactory gCompressor = nullptr;
}  // namespace

void RegisterPreparedCompressor(TfrxCompressorFactory Factory) { gCompressor = Factory; }

TfrxCompressorFactory PreparedCompressor() { return gCompressor; }

void TfrxPreviewPages::SaveToStream(TStream* Stream) {
  if (gCompressor && Report()->ReportOptions()->Compressed()) {
    std::unique_ptr<TfrxCustomCompressor> compressor = gCompressor();
    TMemoryStream plain;
    WriteDocument(&plain);
    plain.SetPosition(0);
    compressor->Compress(&plain, Stream);
    return;
  }
  WriteDocument(Stream);
}

void TfrxPreviewPages::WriteDocument(TStream* Stream) {
  TfrxXMLItem* root = FDocument->Root();
  TfrxXMLItem* report = root->ChildByName("report");
  report->FreeChildren();
  TfrxXMLItem* r = report->AddChild();
  r->SetName(Report()->ClassName());
  r->SetText(String("DotMatrixReport=\"") + (Report()->DotMatrixReport() ? "1" : "0") +
             "\" PreviewOptions.OutlineVisible=\"" + (Report()->PreviewOptions()->OutlineVisible() ? "1" : "0") +
             "\" PreviewOptions.OutlineWidth=\"" + IntToStr(Report()->PreviewOptions()->OutlineWidth()) + "\"");
  TfrxXMLItem* sources = root->ChildByName("sourcepages");
  sources->FreeChildren();
  TfrxXMLSerializer serializer(nullptr);
  for (std::size_t i = 0; i < FSourcePages.size(); ++i)
    serializer.WriteObject(FSourcePages[i].get(), sources->AddChild(), true, i == 0);
  TfrxXMLItem* dictionary = root->ChildByName("dictionary");
  dictionary->FreeChildren();
  FDictionary.Write(dictionary);
  FDocument->WriteToStream(Stream);
  // The source pages live as objects; the document keeps only what the run wrote.
  sources->FreeChildren();
}

void TfrxPreviewPages::ReadSourcePages(TfrxXMLItem* Item) {
  TfrxXMLSerializer serializer(nullptr);
  for (int i = 0; i < Item->ChildCount(); ++i) {
    TfrxXMLItem* e = Item->ChildAt(i);
    TClass cls = FindClass(e->Name() == "TfrxDMPPage" ? String("TfrxDMPPage") : String("TfrxReportPage"));
    auto page = std::unique_ptr<TfrxReportPage>(static_cast<TfrxReportPage*>(cls->Create(nullptr)));
    serializer.ReadTree(page.get(), e);
    SetSourceText(page.get(), true);
    for (TfrxComponent* c : page->AllObjects()) SetSourceText(c, true);
    FSourcePages.push_back(std::move(page));
  }
  Item->FreeChildren();
}

void TfrxPreviewPages::ReadDictionary(TfrxXMLItem* Item) {
  FDictionary.Clear();
  for (int i = 0; i < Item->ChildCount(); ++i) {
    TfrxXMLItem* e = Item->ChildAt(i);
    const String& text = e->Text();
    if (text.size() < 7 || text.compare(0, 6, "name=\"") != 0 || text.back() != '"')
      throw Exception("Invalid file format: dictionary entry " + e->Name());
    String sourceName = text.substr(6, text.size() - 7);
    std::size_t dot = sourceName.find('.');
    int index = dot == String::npos ? -1 : StrToIntDef(sourceName.substr(4, dot - 4), -1);
    if (sourceName.compare(0, 4, "Page") != 0 || index < 0 || index >= SourcePageCount())
      throw Exception("Invalid file format: dictionary entry " + e->Name());
    TfrxComponent* object = FSourcePages[index]->FindObject(sourceName.substr(dot + 1, 255));
    FDictionary.Add(e->Name(), sourceName, object);
    if (object) FCopyInfo[object].ShortName = e->Name();
  }
}

void TfrxPreviewPages::LoadFromStream(TStream* Stream, bool AllowPartialLoading) {
  Clear();
  if (gCompressor) {
    std::unique_ptr<TfrxCustomCompressor> compressor = gCompressor();
    TMemoryStream plain;
    try {
      compressor->Decompress(Stream, &plain);
    } catch (const Exception&) {
      Report()->Errors()->Add(ReportResources()->TextOf("clDecompressError"));
      ReportErrorByMode(Report(), ReportResources()->TextOf("clErrors") + "\r\n" + Report()->Errors()->Text());
      return;
    }
    plain.SetPosition(0);
    ReadDocument(&plain, false);
    return;
  }
  ReadDocument(Stream, AllowPartialLoading);
}

void TfrxPreviewPages::ReadDocument(TStream* Stream, bool AllowPartialLoading) {
  // Whatever fails below leaves nothing half read behind.
  TScopeExit emptyOnFailure([this] { Clear(); });
  FDocument->ReadFromStream(Stream, AllowPartialLoading);
  TfrxXMLItem* root = FDocument->Root();
  if (!SameText(root->Name(), "preparedreport")) throw Exception("Invalid file format: no prepared report");
  int r = root->IndexOfChildName("report");
  if (r >= 0 && root->ChildAt(r)->ChildCount() > 0) {
    TfrxXMLSerializer serializer(nullptr);
    serializer.ReadAttributes(root->ChildAt(r)->ChildAt(0)->Text(), Report());
  }
  int s = root->IndexOfChildName("sourcepages");
  if (s >= 0) ReadSourcePages(root->ChildAt(s));
  int d = root->IndexOfChildName("dictionary");
  if (d >= 0) ReadDictionary(root->ChildAt(d));
  // Every page must name a source page it can be rebuilt from.
  for (int i = 0; i < Count(); ++i) {
    const String& name = PageItem(i)->Name();
    if (name == "TfrxReportPage" || name == "TfrxDMPPage") continue;
    int source = name.size() > 4 && name.compare(0, 4, "page") == 0 ? StrToIntDef(name.substr(4), -1) : -1;
    if (source < 0 || source >= SourcePageCount()) throw Exception("Invalid file format: page " + name);
  }
  FCurPage = Count() - 1;
  emptyOnFailure.Dismiss();
}

bool TfrxPreviewPages::LoadFromFile(const String& FileName, bool Force) {
  bool exists = FileExists(FileName);
  if (exists || Force) {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream, false);
  }
  return exists;
}

void TfrxPreviewPages::SaveToFile(const String& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}
