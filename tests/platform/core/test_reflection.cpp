// Class information, the registry, components, collections and events.
#include "core/ClassBuilder.h"
#include "core/Component.h"
#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/TypInfo.h"
#include "core/Variant.h"

#include <gtest/gtest.h>

KELM_ENUM(TShapeKind, skCircle, skSquare, skTriangle)
KELM_ENUM(TSide, sdLeft, sdTop, sdRight, sdBottom)
using TSides = TSet<TSide>;
KELM_EVENT(TShapeEvent, void(TObject* Sender, int& Value));

class TShapeBase : public TComponent {
  KELM_CLASS(TShapeBase, TComponent)
public:
  using TComponent::TComponent;
  int Width() const { return FWidth; }
  void SetWidth(int v) { FWidth = v; ++WidthWrites; }
  String Caption() const { return FCaption; }
  void SetCaption(const String& v) { FCaption = v; }
  int WidthWrites = 0;

private:
  int FWidth = 10;
  String FCaption;
};

class TShape : public TShapeBase {
  KELM_CLASS(TShape, TShapeBase)
public:
  using TShapeBase::TShapeBase;
  ~TShape() override { if (Destroyed) ++*Destroyed; }
  TShapeKind Kind() const { return FKind; }
  void SetKind(TShapeKind v) { FKind = v; }
  TSides Sides() const { return FSides; }
  void SetSides(TSides v) { FSides = v; }
  double Ratio() const { return FRatio; }
  void SetRatio(double v) { FRatio = v; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool v) { FVisible = v; }
  Int64 Big() const { return FBig; }
  void SetBig(Int64 v) { FBig = v; }
  Variant Data() const { return FData; }
  void SetData(const Variant& v) { FData = v; }
  TShape* Buddy() const { return FBuddy; }
  void SetBuddy(TShape* v) {
    if (FBuddy) FBuddy->RemoveFreeNotification(this);
    FBuddy = v;
    if (v) v->FreeNotification(this);
  }
  TShapeEvent OnMeasure;
  TNotifyEvent OnClick;

  void HandleMeasure(TObject*, int& v) { v *= 2; }
  void HandleClick(TObject*) { ++Clicks; }
  int Clicks = 0;
  int* Destroyed = nullptr;

protected:
  void Notification(TComponent* c, TOperation op) override {
    TShapeBase::Notification(c, op);
    if (op == opRemove && c == FBuddy) FBuddy = nullptr;
  }

private:
  TShapeKind FKind = skCircle;
  TSides FSides = {sdLeft, sdTop};
  double FRatio = 0;
  bool FVisible = true;
  Int64 FBig = 0;
  Variant FData;
  TShape* FBuddy = nullptr;
};

KELM_PUBLISH(TShapeBase) {
  b.Prop("Width", &TShapeBase::Width, &TShapeBase::SetWidth).Default(10);
  b.Prop("Caption", &TShapeBase::Caption, &TShapeBase::SetCaption);
}

KELM_PUBLISH(TShape) {
  b.Prop("Kind", &TShape::Kind, &TShape::SetKind).Default(skCircle);
  b.Prop("Sides", &TShape::Sides, &TShape::SetSides).Default(TSides{sdLeft, sdTop});
  b.Prop("Ratio", &TShape::Ratio, &TShape::SetRatio);
  b.Prop("Visible", &TShape::Visible, &TShape::SetVisible).Default(true);
  b.Prop("Big", &TShape::Big, &TShape::SetBig).Default(0);
  b.Prop("Data", &TShape::Data, &TShape::SetData);
  b.Prop("Buddy", &TShape::Buddy, &TShape::SetBuddy);
  b.Prop("OnMeasure", &TShape::OnMeasure, &TShape::OnMeasure);
  b.Prop("OnClick", &TShape::OnClick, &TShape::OnClick);
  b.Method("HandleMeasure", &TShape::HandleMeasure);
  b.Method("HandleClick", &TShape::HandleClick);
}

TEST(Reflection, PropertiesBaseFirstInDeclarationOrderWithKindsAndTypeNames) {
  struct Row { const char* name; TTypeKind kind; const char* type; };
  const Row rows[] = {
      {"Name", tkLString, "String"},  {"Tag", tkInt64, "Int64"},         {"Width", tkInteger, "Integer"},
      {"Caption", tkLString, "String"}, {"Kind", tkEnumeration, "TShapeKind"}, {"Sides", tkSet, "TSet<TSide>"},
      {"Ratio", tkFloat, "Double"},   {"Visible", tkEnumeration, "Boolean"}, {"Big", tkInt64, "Int64"},
      {"Data", tkVariant, "Variant"}, {"Buddy", tkClass, "TShape"},      {"OnMeasure", tkMethod, "TShapeEvent"},
      {"OnClick", tkMethod, "TNotifyEvent"},
  };
  const auto& props = TShape::StaticClass()->Properties();
  ASSERT_EQ(props.size(), std::size(rows));
  for (std::size_t i = 0; i < props.size(); ++i) {
    SCOPED_TRACE(rows[i].name);
    EXPECT_EQ(props[i]->Name, rows[i].name);
    EXPECT_EQ(props[i]->Kind, rows[i].kind);
    EXPECT_EQ(props[i]->TypeName, rows[i].type);
    EXPECT_EQ(props[i]->Index, static_cast<int>(i));
  }
  EXPECT_EQ(TShape::StaticClass()->Parent(), TShapeBase::StaticClass());
  EXPECT_TRUE(TShape::StaticClass()->InheritsFrom(TComponent::StaticClass()));
  EXPECT_FALSE(TShapeBase::StaticClass()->InheritsFrom(TShape::StaticClass()));
  // The class itself and every class above it, nothing beside or below it.
  EXPECT_TRUE(TShape::StaticClass()->InheritsFrom(TShape::StaticClass()));
  EXPECT_TRUE(TShape::StaticClass()->InheritsFrom(TPersistent::StaticClass()));
  EXPECT_FALSE(TComponent::StaticClass()->InheritsFrom(TShapeBase::StaticClass()));
  EXPECT_FALSE(TShape::StaticClass()->InheritsFrom(TCollectionItem::StaticClass()));
  EXPECT_FALSE(TShape::StaticClass()->InheritsFrom(nullptr));
  EXPECT_EQ(GetPropInfo(TShape::StaticClass(), "kind")->Enum->NameOf(2), "skTriangle");
}

TEST(Reflection, GetAndSetByNameOfEveryKind) {
  TShape s(nullptr);
  SetOrdProp(&s, "Width", 42);
  SetEnumProp(&s, "Kind", "skSquare");
  SetSetProp(&s, "Sides", "[sdRight, sdBottom]");
  SetFloatProp(&s, "Ratio", 1.5);
  SetStrProp(&s, "Caption", "合同");
  SetPropValue(&s, "Visible", Variant(false));
  SetPropValue(&s, "Big", Variant(Int64(1) << 40));
  SetVariantProp(&s, "Data", Variant("x"));
  EXPECT_EQ(s.Width(), 42);
  EXPECT_EQ(s.Kind(), skSquare);
  EXPECT_EQ(s.Sides(), (TSides{sdRight, sdBottom}));
  EXPECT_EQ(GetSetProp(&s, "Sides"), "sdRight,sdBottom");
  EXPECT_EQ(GetOrdProp(&s, "Sides"), 12);
  EXPECT_DOUBLE_EQ(s.Ratio(), 1.5);
  EXPECT_EQ(GetStrProp(&s, "caption"), "合同");
  EXPECT_FALSE(s.Visible());
  EXPECT_EQ(s.Big(), Int64(1) << 40);
  EXPECT_EQ(VarToStr(GetPropValue(&s, "Kind")), "skSquare");
  EXPECT_EQ(VarToStr(s.Data()), "x");
}

TEST(Reflection, LookupByNameFindsEveryPropertyInAnyCaseAndNothingElse) {
  TClass cls = TShape::StaticClass();
  for (const TPropInfo* p : cls->Properties()) {
    SCOPED_TRACE(p->Name);
    EXPECT_EQ(GetPropInfo(cls, p->Name), p);
    EXPECT_EQ(GetPropInfo(cls, UpperCase(p->Name)), p);
    EXPECT_EQ(GetPropInfo(cls, LowerCase(p->Name)), p);
    // Near misses: one character more or less, or a character that differs in bit 0x20 but
    // is no letter.
    EXPECT_EQ(GetPropInfo(cls, p->Name + "x"), nullptr);
    EXPECT_EQ(GetPropInfo(cls, p->Name.substr(0, p->Name.size() - 1)), nullptr);
    EXPECT_EQ(GetPropInfo(cls, "@" + p->Name.substr(1)), nullptr);
    EXPECT_EQ(GetPropInfo(cls, "`" + p->Name.substr(1)), nullptr);
  }
  EXPECT_EQ(GetPropInfo(cls, ""), nullptr);
  EXPECT_EQ(GetPropInfo(TObject::StaticClass(), "Name"), nullptr);  // publishes nothing
}

TEST(Reflection, BadAccessRaisesNamedErrors) {
  TShape s(nullptr);
  TShapeBase other(nullptr);
  EXPECT_THROW(GetOrdProp(&s, "NoSuch"), EPropertyError);
  EXPECT_THROW(SetStrProp(&s, "Width", "x"), EPropertyError);
  EXPECT_THROW(SetEnumProp(&s, "Kind", "skHexagon"), EPropertyConvertError);
  EXPECT_THROW(SetObjectProp(&s, "Buddy", &other), EPropertyError);  // not a TShape
  try {
    GetOrdProp(&s, "NoSuch");
  } catch (const EPropertyError& e) {
    EXPECT_NE(e.Message().find("NoSuch"), String::npos);
  }
  EXPECT_THROW(FindClass("TNoSuchClass"), EClassNotFound);
  try {
    FindClass("TNoSuchClass");
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Class TNoSuchClass not found");
  }
}

TEST(Reflection, DefaultsDecideWhatIsStored) {
  TShape s(nullptr);
  auto isDefault = [&](const char* n) { return GetPropInfo(&s, n)->IsDefault(&s); };
  EXPECT_TRUE(isDefault("Width"));
  EXPECT_TRUE(isDefault("Kind"));
  EXPECT_TRUE(isDefault("Sides"));
  EXPECT_TRUE(isDefault("Visible"));
  EXPECT_TRUE(isDefault("Ratio"));
  EXPECT_TRUE(isDefault("Caption"));
  EXPECT_TRUE(isDefault("OnClick"));
  s.SetWidth(11);
  s.SetSides({});
  s.SetCaption("a");
  s.SetRatio(0.5);
  s.OnClick = TNotifyEvent(&s, &TShape::HandleClick);
  EXPECT_FALSE(isDefault("Width"));
  EXPECT_FALSE(isDefault("Sides"));
  EXPECT_FALSE(isDefault("Caption"));
  EXPECT_FALSE(isDefault("Ratio"));
  EXPECT_FALSE(isDefault("OnClick"));
  EXPECT_FALSE(GetPropInfo(&s, "Name")->IsStored(&s));
}

TEST(Reflection, VirtualConstructorByClassName) {
  TComponent owner(nullptr);
  TObject* o = FindClass("tshape")->Create(&owner);
  auto* s = dynamic_cast<TShape*>(o);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Owner(), &owner);
  EXPECT_EQ(s->ClassName(), "TShape");
  EXPECT_TRUE(s->InheritsFrom(TShapeBase::StaticClass()));
}

TEST(Events, DelegatesCompareByTargetAndMethodAndBindByName) {
  TShape a(nullptr), b(nullptr);
  TNotifyEvent none;
  TNotifyEvent ca(&a, &TShape::HandleClick), ca2(&a, &TShape::HandleClick), cb(&b, &TShape::HandleClick);
  EXPECT_EQ(ca, ca2);
  EXPECT_FALSE(ca == cb);
  EXPECT_FALSE(ca == none);
  EXPECT_TRUE(none == TNotifyEvent());
  auto l1 = TNotifyEvent::Lambda([](TObject*) {});
  auto l1copy = l1;
  EXPECT_EQ(l1, l1copy);
  EXPECT_FALSE(l1 == TNotifyEvent::Lambda([](TObject*) {}));

  // Bound by published name, stored back by name, and of the right signature only.
  SetMethodProp(&a, "OnMeasure", MethodAddress(&a, "handlemeasure"));
  int v = 21;
  a.OnMeasure(&a, v);
  EXPECT_EQ(v, 42);
  EXPECT_EQ(MethodName(GetMethodProp(&a, "OnMeasure")), "HandleMeasure");
  EXPECT_THROW(SetMethodProp(&a, "OnClick", MethodAddress(&a, "HandleMeasure")), EPropertyError);
  EXPECT_FALSE(MethodAddress(&a, "NoSuchHandler").Assigned());
  SetMethodProp(&a, "OnClick", MethodAddress(&b, "HandleClick"));
  a.OnClick(&a);
  EXPECT_EQ(b.Clicks, 1);
  EXPECT_EQ(a.OnClick, cb);
}

TEST(Components, NamesAreValidatedAndUniquePerOwner) {
  TComponent owner(nullptr);
  auto* a = new TShape(&owner);
  auto* b = new TShape(&owner);
  a->SetName("Shape1");
  EXPECT_THROW(b->SetName("SHAPE1"), EComponentError);
  EXPECT_THROW(b->SetName("1abc"), EComponentError);
  EXPECT_THROW(b->SetName("a b"), EComponentError);
  b->SetName("Shape2");
  EXPECT_EQ(owner.FindComponent("shape2"), b);
  EXPECT_EQ(owner.ComponentCount(), 2);
  a->SetName("shape1");  // a case change of its own name is allowed
  EXPECT_EQ(a->Name(), "shape1");
}

TEST(Components, FreeNotificationClearsReferencesAndOwnerFreesOnce) {
  int destroyed = 0;
  auto* owner = new TComponent(nullptr);
  auto* holder = new TShape(owner);
  auto* target = new TShape(owner);
  holder->Destroyed = &destroyed;
  target->Destroyed = &destroyed;
  holder->SetBuddy(target);
  delete target;
  EXPECT_EQ(holder->Buddy(), nullptr);
  EXPECT_EQ(owner->ComponentCount(), 1);
  auto* t2 = new TShape(nullptr);
  t2->Destroyed = &destroyed;
  holder->SetBuddy(t2);
  delete owner;  // frees holder; t2 must no longer point back at it
  EXPECT_EQ(destroyed, 2);
  delete t2;
  EXPECT_EQ(destroyed, 3);
}

class TColItem : public TCollectionItem {
  KELM_CLASS(TColItem, TCollectionItem)
public:
  using TCollectionItem::TCollectionItem;
  String Title() const { return FTitle; }
  void SetTitle(const String& v) { FTitle = v; Changed(false); }
  String DisplayName() const override { return FTitle.empty() ? TCollectionItem::DisplayName() : FTitle; }
  void Assign(TPersistent* src) override {
    if (auto* o = dynamic_cast<TColItem*>(src)) SetTitle(o->FTitle);
    else TCollectionItem::Assign(src);
  }
private:
  String FTitle;
};
KELM_PUBLISH(TColItem) { b.Prop("Title", &TColItem::Title, &TColItem::SetTitle); }

class TCountingCollection : public TCollection {
public:
  TCountingCollection() : TCollection(TColItem::StaticClass()) {}
  std::vector<TCollectionItem*> Updates;
protected:
  void Update(TCollectionItem* item) override { Updates.push_back(item); }
};

TEST(Collections, AddInsertDeleteAndUpdates) {
  TCountingCollection c;
  auto* a = static_cast<TColItem*>(c.Add());
  auto* b = static_cast<TColItem*>(c.Add());
  a->SetTitle("A");
  b->SetTitle("B");
  auto* x = static_cast<TColItem*>(c.Insert(0));
  x->SetTitle("X");
  EXPECT_EQ(c.Count(), 3);
  EXPECT_EQ(x->Index(), 0);
  EXPECT_EQ(a->Index(), 1);
  EXPECT_EQ(x->ID(), 2);
  EXPECT_EQ(c.FindItemID(1), b);
  EXPECT_EQ(a->DisplayName(), "A");
  c.Updates.clear();
  c.BeginUpdate();
  a->SetTitle("A2");
  c.Delete(0);
  EXPECT_TRUE(c.Updates.empty());
  c.EndUpdate();
  ASSERT_EQ(c.Updates.size(), 1u);
  EXPECT_EQ(c.Updates[0], nullptr);  // one update for the whole collection
  c.Updates.clear();
  b->SetTitle("B2");
  ASSERT_EQ(c.Updates.size(), 1u);
  EXPECT_EQ(c.Updates[0], b);
  EXPECT_EQ(c.Count(), 2);
  EXPECT_THROW(c.Items(5), EListError);

  TCountingCollection copy;
  copy.Assign(&c);
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(static_cast<TColItem*>(copy.Items(1))->Title(), "B2");
}

TEST(Persistent, AssignOfAnUnrelatedClassNamesBoth) {
  TShape s(nullptr);
  TCountingCollection c;
  try {
    c.Assign(&s);
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TShape to a TCollection");
  }
}

class TFieldForm : public TComponent {
  KELM_CLASS(TFieldForm, TComponent)
public:
  using TComponent::TComponent;
  TShape* Shape1 = nullptr;
};
KELM_PUBLISH(TFieldForm) { b.Field("Shape1", &TFieldForm::Shape1); }

TEST(Components, PublishedFieldFollowsNameAndClearsWhenFreed) {
  TFieldForm form(nullptr);
  auto* s = new TShape(&form);
  s->SetName("Shape1");
  EXPECT_EQ(form.Shape1, s);
  s->SetName("Other");
  EXPECT_EQ(form.Shape1, nullptr);
  s->SetName("shape1");
  EXPECT_EQ(form.Shape1, s);
  delete s;
  EXPECT_EQ(form.Shape1, nullptr);
}
