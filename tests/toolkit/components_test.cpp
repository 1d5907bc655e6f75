// The component model: ownership, the destroy cascade, notifications,
// loading order, comparable events and collections.
#include "toolkit/Classes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tk;

namespace {

std::vector<std::wstring>* gLog = nullptr;

void Log(const std::wstring& s) {
  if (gLog) gLog->push_back(s);
}

class TProbe : public TComponent {
 public:
  TProbe(TComponent* AOwner, std::wstring name) : TComponent(AOwner) { SetName(name); }
  ~TProbe() override {
    Log(L"free " + Name());
    // What the destroy cascade must have shown before anything was freed.
    if (Owner()) SawOwnerDestroying = Owner()->IsDestroying();
  }
  void AfterConstruction() override {
    // The object is complete here: the virtual call reaches this class.
    Log(L"after " + Name() + L" " + ClassName());
  }
  TK_CLASS_NAME(TProbe)
  void Loaded() override {
    Log(L"loaded " + Name() + (IsLoading() ? L" still loading" : L""));
    TComponent::Loaded();
  }
  bool SawOwnerDestroying = false;
  std::vector<std::pair<TComponent*, TOperation>> Heard;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    Heard.emplace_back(AComponent, Operation);
  }
};

// Checks, while being freed, that every sibling is still marked as being
// destroyed and still alive.
class TCascadeWitness : public TComponent {
 public:
  using TComponent::TComponent;
  ~TCascadeWitness() override {
    for (int i = 0; i < Owner()->ComponentCount(); ++i)
      AllSiblingsDestroying = AllSiblingsDestroying && Owner()->Components(i)->IsDestroying();
    if (Inner) InnerWasDestroying = Inner->IsDestroying();
  }
  static inline bool AllSiblingsDestroying = true;
  static inline bool InnerWasDestroying = false;
  TComponent* Inner = nullptr;
};

struct LogScope {
  std::vector<std::wstring> log;
  LogScope() { gLog = &log; }
  ~LogScope() { gLog = nullptr; }
};

}  // namespace

TEST(ComponentLifeCycle, OwnerFreesWhatItOwnsLastCreatedFirst) {
  LogScope s;
  auto* owner = Create<TProbe>(nullptr, L"owner");
  Create<TProbe>(owner, L"a");
  Create<TProbe>(owner, L"b");
  Create<TProbe>(owner, L"c");
  ASSERT_EQ(owner->ComponentCount(), 3);
  s.log.clear();
  owner->Free();
  EXPECT_EQ(s.log, (std::vector<std::wstring>{L"free c", L"free b", L"free a", L"free owner"}));
}

TEST(ComponentLifeCycle, BeingDestroyedIsVisibleOnEverythingOwnedBeforeAnyIsFreed) {
  auto* owner = Create<TComponent>(nullptr);
  auto* first = Create<TComponent>(owner);
  auto* nestedOwner = Create<TComponent>(owner);
  auto* nested = Create<TComponent>(nestedOwner);
  auto* witness = Create<TCascadeWitness>(owner);  // freed first: last created
  witness->Inner = nested;
  TCascadeWitness::AllSiblingsDestroying = true;
  TCascadeWitness::InnerWasDestroying = false;
  (void)first;
  owner->Free();
  EXPECT_TRUE(TCascadeWitness::AllSiblingsDestroying);
  EXPECT_TRUE(TCascadeWitness::InnerWasDestroying);
}

TEST(ComponentLifeCycle, AfterConstructionSeesTheCompleteObject) {
  LogScope s;
  auto* c = Create<TProbe>(nullptr, L"x");
  EXPECT_EQ(s.log, std::vector<std::wstring>{L"after x TProbe"});
  c->Free();
}

TEST(ComponentLifeCycle, FreeingAnOwnedComponentLeavesTheOwnerList) {
  auto* owner = Create<TComponent>(nullptr);
  auto* a = Create<TComponent>(owner);
  auto* b = Create<TComponent>(owner);
  a->Free();
  ASSERT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(owner->Components(0), b);
  EXPECT_EQ(b->ComponentIndex(), 0);
  owner->Free();
}

TEST(ComponentLifeCycle, LoadedRunsInCreationOrderAndClearsLoadingOfItsOwnComponentOnly) {
  LogScope s;
  auto* form = Create<TProbe>(nullptr, L"form");
  auto* a = Create<TProbe>(form, L"a");
  auto* b = Create<TProbe>(form, L"b");
  for (TComponent* c : {static_cast<TComponent*>(form), static_cast<TComponent*>(a), static_cast<TComponent*>(b)})
    c->BeginReading();
  EXPECT_TRUE(b->ComponentState().Contains(csReading));
  for (TComponent* c : {static_cast<TComponent*>(form), static_cast<TComponent*>(a), static_cast<TComponent*>(b)})
    c->EndReading();
  EXPECT_FALSE(b->ComponentState().Contains(csReading));
  EXPECT_TRUE(b->IsLoading());
  s.log.clear();
  form->Loaded();
  EXPECT_FALSE(form->IsLoading());
  EXPECT_TRUE(a->IsLoading());
  a->Loaded();
  b->Loaded();
  EXPECT_EQ(s.log, (std::vector<std::wstring>{L"loaded form still loading", L"loaded a still loading",
                                              L"loaded b still loading"}));
  EXPECT_FALSE(b->IsLoading());
  form->Free();
}

TEST(ComponentNotification, SiblingsHearOfAnInsertedComponentAsItsRealClass) {
  auto* form = Create<TComponent>(nullptr);
  auto* listener = Create<TProbe>(form, L"listener");
  auto* joined = Create<TProbe>(form, L"joined");
  ASSERT_EQ(listener->Heard.size(), 1u);
  EXPECT_EQ(listener->Heard[0].first, joined);
  EXPECT_EQ(listener->Heard[0].second, opInsert);
  // Dynamic type is already complete when the notification arrives.
  EXPECT_NE(dynamic_cast<TProbe*>(listener->Heard[0].first), nullptr);
  joined->Free();
  ASSERT_EQ(listener->Heard.size(), 2u);
  EXPECT_EQ(listener->Heard[1].first, joined);
  EXPECT_EQ(listener->Heard[1].second, opRemove);
  form->Free();
}

TEST(ComponentNotification, FreeNotificationReachesAComponentOwnedElsewhere) {
  auto* menuOwner = Create<TComponent>(nullptr);
  auto* menu = Create<TComponent>(menuOwner);
  auto* user = Create<TProbe>(nullptr, L"user");
  menu->FreeNotification(user);
  menu->Free();
  ASSERT_FALSE(user->Heard.empty());
  EXPECT_EQ(user->Heard.back().first, menu);
  EXPECT_EQ(user->Heard.back().second, opRemove);
  // And the link is gone both ways: freeing the user later touches nothing.
  user->Free();
  menuOwner->Free();
}

TEST(ComponentNotification, RemovedFreeNotificationIsNotSent) {
  auto* a = Create<TComponent>(nullptr);
  auto* b = Create<TProbe>(nullptr, L"b");
  a->FreeNotification(b);
  a->RemoveFreeNotification(b);
  a->Free();
  EXPECT_TRUE(b->Heard.empty());
  b->Free();
}

TEST(ComponentNotification, FreeingTheListenerFirstLeavesNoDanglingLink) {
  auto* a = Create<TComponent>(nullptr);
  auto* b = Create<TComponent>(nullptr);
  a->FreeNotification(b);
  b->Free();
  a->Free();  // must not notify the freed b
  SUCCEED();
}

TEST(ComponentNames, FindComponentIgnoresCaseAndEmptyNames) {
  auto* form = Create<TComponent>(nullptr);
  auto* m = Create<TComponent>(form);
  m->SetName(L"PopupMenu1");
  Create<TComponent>(form);
  EXPECT_EQ(form->FindComponent(L"popupmenu1"), m);
  EXPECT_EQ(form->FindComponent(L""), nullptr);
  EXPECT_EQ(form->FindComponent(L"Other"), nullptr);
  form->Free();
}

namespace {
struct THandlerHost : TObject {
  int calls = 0;
  void A(TObject*) { ++calls; }
  void B(TObject*) { calls += 10; }
};
}  // namespace

TEST(ComparableEvents, BoundMethodsCompareByObjectAndMethod) {
  THandlerHost x, y;
  TNotifyEvent xa(&x, &THandlerHost::A), xa2(&x, &THandlerHost::A), xb(&x, &THandlerHost::B), ya(&y, &THandlerHost::A);
  EXPECT_TRUE(xa == xa2);
  EXPECT_FALSE(xa == xb);
  EXPECT_FALSE(xa == ya);
  xa(nullptr);
  xb(nullptr);
  EXPECT_EQ(x.calls, 11);
}

TEST(ComparableEvents, LambdasEqualOnlyTheirCopiesOrTheSameTag) {
  int n = 0;
  TNotifyEvent a = [&n](TObject*) { ++n; };
  TNotifyEvent b = [&n](TObject*) { ++n; };
  TNotifyEvent a2 = a;
  EXPECT_TRUE(a == a2);
  EXPECT_FALSE(a == b);
  static const int tag = 0;
  TNotifyEvent t1([&n](TObject*) { ++n; }, &tag), t2([&n](TObject*) { n += 2; }, &tag);
  EXPECT_TRUE(t1 == t2);
  a2(nullptr);
  EXPECT_EQ(n, 1);
}

TEST(ComparableEvents, EmptyEventsAreEqualAndCallingOneDoesNothing) {
  TNotifyEvent e, f = nullptr;
  EXPECT_TRUE(e == f);
  EXPECT_TRUE(e == nullptr);
  EXPECT_FALSE(static_cast<bool>(e));
  e(nullptr);
  THandlerHost h;
  TNotifyEvent g(&h, &THandlerHost::A);
  EXPECT_FALSE(g == e);
}

namespace {
struct TNamedItem : TCollectionItem {
  using TCollectionItem::TCollectionItem;
  std::wstring Text;
  void Assign(const TPersistent* Source) override {
    if (auto* o = dynamic_cast<const TNamedItem*>(Source)) Text = o->Text;
  }
  String DisplayName() const override { return Text.empty() ? TCollectionItem::DisplayName() : Text; }
};
TCollection::TItemFactory NamedItems() {
  return [](TCollection* c) -> TCollectionItem* { return new TNamedItem(c); };
}
}  // namespace

TEST(Collections, ItemsKeepOrderIndexAndLeaveWhenFreed) {
  TCollection c(NamedItems());
  auto* a = static_cast<TNamedItem*>(c.Add());
  auto* b = static_cast<TNamedItem*>(c.Add());
  auto* d = static_cast<TNamedItem*>(c.Insert(0));
  EXPECT_EQ(c.Count(), 3);
  EXPECT_EQ(d->Index(), 0);
  EXPECT_EQ(a->Index(), 1);
  EXPECT_NE(a->ID(), b->ID());
  EXPECT_EQ(c.FindItemID(b->ID()), b);
  delete a;
  EXPECT_EQ(c.Count(), 2);
  EXPECT_EQ(b->Index(), 1);
  c.Delete(0);
  EXPECT_EQ(c.Items(0), b);
}

TEST(Collections, AssignCopiesEveryItemAndUpdatesOnceAtTheEnd) {
  TCollection src(NamedItems()), dst(NamedItems());
  static_cast<TNamedItem*>(src.Add())->Text = L"one";
  static_cast<TNamedItem*>(src.Add())->Text = L"two";
  dst.Add();
  int updates = 0;
  dst.OnUpdate = [&](TCollection*, TCollectionItem*) { ++updates; };
  dst.Assign(&src);
  ASSERT_EQ(dst.Count(), 2);
  EXPECT_EQ(dst.Items(1)->DisplayName(), L"two");
  EXPECT_EQ(updates, 1);
  EXPECT_EQ(dst.Items(0)->Collection(), &dst);
}

TEST(Collections, DisplayNameFallsBackToTheClassName) {
  TCollection c([](TCollection* o) { return new TCollectionItem(o); });
  EXPECT_EQ(c.Add()->DisplayName(), L"TCollectionItem");
}

TEST(EnumSets, UnionDifferenceAndMembership) {
  TComponentState s{csLoading};
  s += csReading;
  EXPECT_TRUE(s.Contains(csLoading) && s.Contains(csReading));
  s -= csLoading;
  EXPECT_FALSE(s.Contains(csLoading));
  EXPECT_EQ(s + TComponentState{csLoading}, (TComponentState{csReading, csLoading}));
  EXPECT_TRUE((s * TComponentState{csDestroying}).Empty());
}
