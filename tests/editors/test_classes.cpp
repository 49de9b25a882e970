// The editor library's bases: registered-class lists, design-time links, object links that
// outlive their object, free notifications and the geometry helpers.
#include "editors/cxClasses.h"

#include "core/ClassBuilder.h"
#include "core/Lists.h"

#include <gtest/gtest.h>

namespace {

class TcxTestStreamed : public TcxComponent {
  KELM_CLASS(TcxTestStreamed, TcxComponent)
public:
  using TcxComponent::TcxComponent;
};

}  // namespace

KELM_PUBLISH(TcxTestStreamed) {}

namespace {

TEST(RegisteredClasses, CaseBlindDescriptionsFirstEntryKeptAndKeepSorted) {
  TcxRegisteredClasses list;
  const TClass b = TComponent::StaticClass(), a1 = TcxComponent::StaticClass(), a2 = TcxFreeNotificator::StaticClass();
  list.RegisterEntry(b, "b|x");
  list.RegisterEntry(a1, "A");
  list.RegisterEntry(a2, "a|y");
  list.RegisterEntry(a1, "Z again");  // already there: the first description stays
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.DescriptionAt(0), "b");
  EXPECT_EQ(list.Descriptions(0), "b|x");
  EXPECT_EQ(list.DescriptionAt(1), "A");
  EXPECT_EQ(list.IndexOfClass(a1), 1);
  EXPECT_EQ(list.IndexOfClass(TPersistent::StaticClass()), -1);
  EXPECT_EQ(list.CompareEntries(1, 2), 0);  // "A" and "a" differ only in case
  EXPECT_GT(list.CompareEntries(0, 1), 0);

  list.SetKeepSorted(true);  // sorts at once; equal descriptions keep their order
  EXPECT_EQ(list.Items(0), a1);
  EXPECT_EQ(list.Items(1), a2);
  EXPECT_EQ(list.Items(2), b);
  list.RegisterEntry(TObject::StaticClass(), "0 first");
  EXPECT_EQ(list.Items(0), TObject::StaticClass());

  list.SetKeepSorted(false);  // the order stays, new entries go to the end
  list.RegisterEntry(TPersistent::StaticClass(), "0 zero");
  EXPECT_EQ(list.Items(0), TObject::StaticClass());
  EXPECT_EQ(list.Items(4), TPersistent::StaticClass());
  EXPECT_THROW(list.DescriptionAt(5), EStringListError);
  EXPECT_THROW(list.DescriptionAt(-1), EStringListError);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(RegisteredClasses, RegisteringWithStreamingMakesTheClassFoundByName) {
  UnRegisterClass(TcxTestStreamed::StaticClass());
  ASSERT_EQ(GetClass("TcxTestStreamed"), nullptr);
  TcxRegisteredClasses quiet(false);
  quiet.RegisterEntry(TcxTestStreamed::StaticClass(), "streamed");
  EXPECT_EQ(GetClass("TcxTestStreamed"), nullptr);
  TcxRegisteredClasses streaming(true);
  streaming.RegisterEntry(TcxTestStreamed::StaticClass(), "streamed");
  EXPECT_EQ(GetClass("TcxTestStreamed"), TcxTestStreamed::StaticClass());
  EXPECT_EQ(GetClass("TcxComponent"), TcxComponent::StaticClass());  // registered at start
  UnRegisterClass(TcxTestStreamed::StaticClass());
}

// Lists the components it was given as its linked ones.
class TLinker : public TcxComponent {
public:
  using TcxComponent::TcxComponent;
  std::vector<TComponent*> Linked;

protected:
  void ListLinkedComponents(TList* List) override {
    for (TComponent* c : Linked) List->Add(c);
  }
};

TEST(FakeLinks, RefreshedOnlyWhileDesigningAndClearedWhenTheTargetGoes) {
  TComponent owner(nullptr);
  auto* linker = new TLinker(&owner);
  std::vector<TComponent*> parts;
  for (int i = 0; i < 4; ++i) parts.push_back(new TComponent(&owner));
  linker->Linked = parts;
  linker->RefreshFakeLinks();  // not designing: nothing
  EXPECT_EQ(linker->FakeComponentLink1(), nullptr);

  linker->SetDesigning(true);
  linker->Loaded();  // a streamed-in component refreshes its links
  EXPECT_EQ(linker->FakeComponentLink1(), parts[0]);
  EXPECT_EQ(linker->FakeComponentLink2(), parts[1]);
  EXPECT_EQ(linker->FakeComponentLink3(), parts[2]);

  linker->Linked = {parts[3]};
  linker->RefreshFakeLinks();
  EXPECT_EQ(linker->FakeComponentLink1(), parts[3]);
  EXPECT_EQ(linker->FakeComponentLink2(), nullptr);
  EXPECT_EQ(linker->FakeComponentLink3(), nullptr);

  linker->SetFakeLink(3, parts[0]);  // no fourth link
  linker->SetFakeLink(-1, parts[0]);
  linker->SetFakeLink(1, parts[1]);
  EXPECT_EQ(linker->FakeComponentLink2(), parts[1]);
  delete parts[1];  // a freed target leaves no dangling link
  EXPECT_EQ(linker->FakeComponentLink2(), nullptr);

  // The links are never written to a layout.
  const TPropInfo* p = GetPropInfo(linker, "FakeComponentLink1");
  ASSERT_NE(p, nullptr);
  EXPECT_FALSE(p->IsStored(linker));

  TLinker orphan(nullptr);  // no owner: nothing to show
  orphan.SetDesigning(true);
  orphan.Linked = {parts[0]};
  orphan.RefreshFakeLinks();
  EXPECT_EQ(orphan.FakeComponentLink1(), nullptr);
}

// A component whose handler may free it while it handles a message.
class TSelfFreeing : public TcxComponent {
public:
  using TcxComponent::TcxComponent;
  std::function<void(TSelfFreeing*)> OnEvent;
  int Handled = 0;
  // Returns whether it was still alive after the handler.
  bool HandleMessage() {
    TcxObjectLinkScope link(this);
    if (OnEvent) OnEvent(this);
    if (!link.Alive()) return false;
    ++Handled;  // touches its fields only while alive
    return true;
  }
};

TEST(ObjectLinks, AComponentFreedByItsOwnHandlerFindsItsLinkCleared) {
  EXPECT_EQ(ObjectLinkCount(), 0);
  auto* c = new TSelfFreeing(nullptr);
  EXPECT_TRUE(c->HandleMessage());
  EXPECT_EQ(c->Handled, 1);
  c->OnEvent = [](TSelfFreeing* self) {
    EXPECT_EQ(ObjectLinkCount(), 1);
    delete self;
  };
  EXPECT_FALSE(c->HandleMessage());  // under the sanitizer, a touch would be reported
  EXPECT_EQ(ObjectLinkCount(), 0);

  // Links to other objects survive the clearing; several holders of one target all see it.
  TObject other;
  auto* keep = new TcxComponent(nullptr);
  TcxObjectLink* l1 = AcquireObjectLink(keep);
  TcxObjectLink* l2 = AcquireObjectLink(&other);
  TcxObjectLink* l3 = AcquireObjectLink(keep);
  delete keep;
  EXPECT_EQ(l1->Target, nullptr);
  EXPECT_EQ(l3->Target, nullptr);
  EXPECT_EQ(l2->Target, &other);
  EXPECT_EQ(ObjectLinkCount(), 1);
  ReleaseObjectLink(l1);
  ReleaseObjectLink(l2);
  ReleaseObjectLink(l3);
  EXPECT_EQ(ObjectLinkCount(), 0);
  ClearObjectLinks(&other);  // no controller: nothing happens
}

TEST(FreeNotificator, ReportsWatchedComponentsOnly) {
  TcxFreeNotificator notificator(nullptr);
  std::vector<TComponent*> removed;
  notificator.SetOnComponentRemoved(TcxComponentRemovedEvent::Lambda([&](TComponent* c) { removed.push_back(c); }));
  auto* watched = new TComponent(nullptr);
  auto* unwatched = new TComponent(nullptr);
  notificator.Watch(watched);
  notificator.Watch(unwatched);
  notificator.Unwatch(unwatched);
  notificator.Watch(nullptr);
  delete unwatched;
  EXPECT_TRUE(removed.empty());
  TComponent* expected = watched;
  delete watched;
  EXPECT_EQ(removed, std::vector<TComponent*>{expected});
}

TEST(ClassesHelpers, MidCoordinateRoundsDownOwnersAndTexts) {
  const struct {
    int A, B, Mid;
  } cases[] = {{3, 4, 3}, {-3, 0, -2}, {0, 0, 0}, {-4, 0, -2}, {-1, 0, -1}, {10, 20, 15},
               {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF}};
  for (const auto& c : cases) EXPECT_EQ(MidCoordinate(c.A, c.B), c.Mid) << c.A << " " << c.B;
  TComponent owner(nullptr);
  TcxInterfacedPersistent settings(&owner);
  EXPECT_EQ(PersistentOwner(&settings), &owner);
  EXPECT_EQ(PersistentOwner(nullptr), nullptr);
  EXPECT_EQ(TranslateLibraryString("无效的输入值"), "无效的输入值");
  EXPECT_EQ(MakePoint(2, -3), (TPoint{2, -3}));
}

}  // namespace
