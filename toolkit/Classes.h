// The component model: small enum sets, comparable events, TComponent
// (owner, owned list, state, notifications, the destroy cascade) and owned
// item collections. Pure: builds natively; UI-thread objects on Windows.
//
// Ownership: a component owns the components created with it as owner and
// frees them, in reverse creation order, before its own destructor body
// runs. Free a component with Free() (or FreeAndNil); create it with
// Create<T>(owner, ...) so that AfterConstruction and the owner's insert
// notification see the complete object.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <typeinfo>
#include <utility>
#include <vector>

#include "toolkit/Object.h"

namespace tk {

// A set of up to 64 values of an unscoped enum, like the toolkit's sets.
template <class E>
class TSet {
 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> items) {
    for (E e : items) FBits |= Bit(e);
  }
  constexpr bool Contains(E e) const { return (FBits & Bit(e)) != 0; }
  constexpr void Include(E e) { FBits |= Bit(e); }
  constexpr void Exclude(E e) { FBits &= ~Bit(e); }
  constexpr void Set(E e, bool on) { on ? Include(e) : Exclude(e); }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr uint64_t Bits() const { return FBits; }
  static constexpr TSet FromBits(uint64_t b) {
    TSet s;
    s.FBits = b;
    return s;
  }

  constexpr TSet operator+(TSet o) const { return FromBits(FBits | o.FBits); }
  constexpr TSet operator-(TSet o) const { return FromBits(FBits & ~o.FBits); }
  constexpr TSet operator*(TSet o) const { return FromBits(FBits & o.FBits); }
  constexpr TSet operator+(E e) const { return FromBits(FBits | Bit(e)); }
  constexpr TSet operator-(E e) const { return FromBits(FBits & ~Bit(e)); }
  constexpr TSet& operator+=(TSet o) {
    FBits |= o.FBits;
    return *this;
  }
  constexpr TSet& operator-=(TSet o) {
    FBits &= ~o.FBits;
    return *this;
  }
  constexpr TSet& operator+=(E e) {
    Include(e);
    return *this;
  }
  constexpr TSet& operator-=(E e) {
    Exclude(e);
    return *this;
  }
  friend constexpr bool operator==(TSet a, TSet b) { return a.FBits == b.FBits; }

 private:
  static constexpr uint64_t Bit(E e) { return uint64_t{1} << static_cast<unsigned>(e); }
  uint64_t FBits = 0;
};

// An event handler: a callable plus an identity, so that code which
// installed a handler can later tell "is this still mine?" and remove only
// its own. Bound methods compare by object and method; plain callables
// compare by the tag they were given (untagged ones equal nothing but
// themselves, i.e. copies of the same TEvent).
template <class... A>
class TEvent {
 public:
  TEvent() = default;
  TEvent(std::nullptr_t) {}

  // A method of an object: TEvent(this, &TMyClass::Handler).
  template <class O, class C, class R>
  TEvent(O* Obj, R (C::*Method)(A...)) {
    C* o = Obj;
    FObject = o;
    FType = &typeid(C);
    static_assert(sizeof(Method) <= sizeof(FMethod));
    std::memcpy(FMethod, &Method, sizeof(Method));
    FFn = [o, Method](A... a) { (o->*Method)(std::forward<A>(a)...); };
  }

  // Any callable, optionally with an identity tag.
  template <class F,
            class = std::enable_if_t<std::is_invocable_v<F&, A...> && !std::is_same_v<std::decay_t<F>, TEvent>>>
  TEvent(F&& Fn, const void* Tag = nullptr) : FObject(Tag), FFn(std::forward<F>(Fn)), FSerial(Tag ? 0 : NextSerial()) {}

  explicit operator bool() const { return static_cast<bool>(FFn); }
  void operator()(A... a) const {
    if (FFn) FFn(std::forward<A>(a)...);
  }
  // The object a method handler is bound to (or the tag), else null.
  const void* Object() const { return FObject; }

  friend bool operator==(const TEvent& x, const TEvent& y) {
    if (!x.FFn || !y.FFn) return !x.FFn && !y.FFn;
    return x.FObject == y.FObject && x.FType == y.FType && x.FSerial == y.FSerial &&
           std::memcmp(x.FMethod, y.FMethod, sizeof(x.FMethod)) == 0;
  }
  friend bool operator==(const TEvent& x, std::nullptr_t) { return !x.FFn; }

 private:
  static uint64_t NextSerial() {
    static uint64_t n = 0;
    return ++n;
  }
  const void* FObject = nullptr;
  const std::type_info* FType = nullptr;
  unsigned char FMethod[2 * sizeof(void*)] = {};
  std::function<void(A...)> FFn;
  uint64_t FSerial = 0;
};

using TNotifyEvent = TEvent<TObject*>;

enum TComponentStateItem : uint8_t { csLoading, csReading, csWriting, csDestroying, csDesigning, csUpdating };
using TComponentState = TSet<TComponentStateItem>;

enum TOperation : uint8_t { opInsert, opRemove };

class TComponent : public TPersistent {
 public:
  TK_CLASS_NAME(TComponent)
  // Joins AOwner's components; the owner's insert notification is sent by
  // Create<T>() once the object is complete.
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  // Runs right after the most derived constructor (through Create<T>).
  virtual void AfterConstruction() {}
  // Marks this and everything it owns as being destroyed, tells the
  // free-notification list, frees what it owns (last first). The owner
  // lets go in the destructor, after the derived destructors ran.
  virtual void BeforeDestruction();
  // The one way to destroy a component (null-safe through FreeAndNil).
  void Free();

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int Index) const { return FComponents.at(Index); }
  int ComponentIndex() const;
  TComponent* FindComponent(const String& AName) const;

  const String& Name() const { return FName; }
  void SetName(const String& Value) { FName = Value; }
  intptr_t Tag() const { return FTag; }
  void SetTag(intptr_t Value) { FTag = Value; }

  TComponentState ComponentState() const { return FComponentState; }
  bool IsLoading() const { return FComponentState.Contains(csLoading); }
  bool IsDestroying() const { return FComponentState.Contains(csDestroying); }

  // The window description marks a component while it assigns its
  // properties: BeginReading sets loading and reading, EndReading clears
  // reading; the base Loaded clears loading.
  void BeginReading();
  void EndReading();
  virtual void Loaded();

  // Sets csDestroying on this and, recursively, on everything it owns.
  void Destroying();
  void DestroyComponents();

  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);

  // AComponent gets Notification(this, opRemove) when this is freed (and
  // the other way round).
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  // Sends Notification(AComponent, Operation) to this component; the
  // default forwards it to every owned component.
  void Notify(TComponent* AComponent, TOperation Operation) { Notification(AComponent, Operation); }

 protected:
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  void SetComponentState(TComponentState s) { FComponentState = s; }
  void IncludeState(TComponentStateItem s) { FComponentState.Include(s); }
  void ExcludeState(TComponentStateItem s) { FComponentState.Exclude(s); }

 private:
  template <class T, class... Args>
  friend T* Create(Args&&... args);
  void Insert(TComponent* c);
  void Remove(TComponent* c);
  void RemoveNotification(TComponent* c);
  void CompleteConstruction();

  TComponent* FOwner = nullptr;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  String FName;
  intptr_t FTag = 0;
  TComponentState FComponentState;
  bool FBeforeDestructionDone = false;
};

// Creates a component (or any TComponent descendant): constructor, owner's
// insert notification, AfterConstruction. The owner (first argument when it
// is one) owns the result.
template <class T, class... Args>
T* Create(Args&&... args) {
  T* p = new T(std::forward<Args>(args)...);
  try {
    p->CompleteConstruction();
    p->AfterConstruction();
  } catch (...) {
    p->Free();
    throw;
  }
  return p;
}

template <class T>
void FreeAndNil(T*& p) {
  T* q = p;
  p = nullptr;
  if (q) q->Free();
}

// --- Collections -------------------------------------------------------------

class TCollection;

class TCollectionItem : public TPersistent {
 public:
  TK_CLASS_NAME(TCollectionItem)
  explicit TCollectionItem(TCollection* ACollection);
  ~TCollectionItem() override;

  TCollection* Collection() const { return FCollection; }
  void SetCollection(TCollection* Value);
  int Index() const;
  void SetIndex(int Value);
  int ID() const { return FID; }
  // The name shown for the item; the class name when nothing better exists.
  virtual String DisplayName() const { return ClassName(); }

 protected:
  void Changed(bool AllItems);

 private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  int FID = 0;
};

// An owned list of items of one class (given as a factory). Items are freed
// with the collection.
class TCollection : public TPersistent {
 public:
  TK_CLASS_NAME(TCollection)
  using TItemFactory = std::function<TCollectionItem*(TCollection*)>;
  explicit TCollection(TItemFactory ItemClass, TPersistent* AOwner = nullptr);
  ~TCollection() override;

  int Count() const { return static_cast<int>(FItems.size()); }
  TCollectionItem* Items(int Index) const { return FItems.at(Index); }
  TCollectionItem* Add();
  TCollectionItem* Insert(int Index);
  void Delete(int Index);
  void Clear();
  TCollectionItem* FindItemID(int ID) const;
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }
  TPersistent* Owner() const { return FOwner; }

  // Copies the items one by one through the item's Assign.
  void Assign(const TPersistent* Source) override;

  // Called after an item (null: the whole list) changed, unless updating.
  std::function<void(TCollection*, TCollectionItem*)> OnUpdate;

 protected:
  virtual void Update(TCollectionItem* Item);
  void Changed();

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);

  TItemFactory FItemClass;
  TPersistent* FOwner;
  std::vector<TCollectionItem*> FItems;
  int FNextID = 0;
  int FUpdateCount = 0;
};

}  // namespace tk
