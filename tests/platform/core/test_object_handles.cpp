// Object handles and the stack-space guard.
#include "core/ObjectHandles.h"
#include "core/StackSpace.h"
#include "core/Component.h"

#include <gtest/gtest.h>

#include <memory>

TEST(ObjectHandles, NilAndUnknownIdsAnswerNothing) {
  EXPECT_EQ(HandleOf(nullptr), 0);
  EXPECT_EQ(ObjectOf(0), nullptr);
  EXPECT_EQ(ObjectOf(-5), nullptr);
  EXPECT_EQ(ObjectOf(0x7FFFFFF0), nullptr);
}

TEST(ObjectHandles, AHandleIsStableAndDiesWithItsObject) {
  int before = ObjectHandleCount();
  auto a = std::make_unique<TComponent>(nullptr);
  auto b = std::make_unique<TComponent>(nullptr);
  Integer ha = HandleOf(a.get());
  Integer hb = HandleOf(b.get());
  EXPECT_NE(ha, 0);
  EXPECT_NE(ha, hb);
  EXPECT_EQ(HandleOf(a.get()), ha);  // asked again: the same id
  EXPECT_EQ(ObjectOf(ha), a.get());
  EXPECT_EQ(ObjectOf<TComponent>(hb), b.get());
  EXPECT_EQ(ObjectHandleCount(), before + 2);

  a.reset();
  EXPECT_EQ(ObjectOf(ha), nullptr);  // freed: the id leads nowhere
  EXPECT_EQ(ObjectOf(hb), b.get());
  EXPECT_EQ(ObjectHandleCount(), before + 1);

  // A new object at the freed address gets a new id; the old one stays dead.
  auto c = std::make_unique<TComponent>(nullptr);
  Integer hc = HandleOf(c.get());
  EXPECT_NE(hc, ha);
  EXPECT_EQ(ObjectOf(ha), nullptr);
  b.reset();
  c.reset();
  EXPECT_EQ(ObjectHandleCount(), before);
}

TEST(ObjectHandles, OwnedComponentsFreedWithTheirOwnerLoseTheirHandles) {
  auto owner = std::make_unique<TComponent>(nullptr);
  auto* child = new TComponent(owner.get());
  Integer h = HandleOf(child);
  EXPECT_EQ(ObjectOf(h), child);
  owner.reset();
  EXPECT_EQ(ObjectOf(h), nullptr);
}

namespace {
int Recurse(int depth) {
  CheckStackSpace(256 * 1024);
  volatile char pad[4096];
  pad[0] = static_cast<char>(depth);
  return Recurse(depth + 1) + pad[0];
}
}  // namespace

TEST(StackSpace, DeepRecursionStopsWithStackOverflow) {
  EXPECT_GT(StackSpaceLeft(), 64u * 1024);
  try {
    Recurse(0);
    FAIL() << "no error";
  } catch (const EStackOverflow& e) {
    EXPECT_EQ(e.Message(), "Stack overflow");
  }
}
