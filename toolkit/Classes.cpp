#include "toolkit/Classes.h"

#include <algorithm>

#include "toolkit/SysUtils.h"

namespace tk {

// --- TComponent ----------------------------------------------------------------

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->Insert(this);
}

TComponent::~TComponent() {
  // Reached without Free (plain delete): do what Free would have done, as
  // far as it is still possible at this point.
  if (!FBeforeDestructionDone) TComponent::BeforeDestruction();
  // The owner lets go last, so destructors still see their owner.
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::CompleteConstruction() {
  if (FOwner) FOwner->Notification(this, opInsert);
}

void TComponent::Free() {
  if (!FBeforeDestructionDone) BeforeDestruction();
  delete this;
}

void TComponent::BeforeDestruction() {
  if (FBeforeDestructionDone) return;
  FBeforeDestructionDone = true;
  Destroying();
  // Free notifications first, while this object is still whole, so a
  // receiver may still look at what is going.
  while (!FFreeNotifies.empty()) {
    TComponent* c = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    auto& back = c->FFreeNotifies;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    c->Notification(this, opRemove);
  }
  DestroyComponents();
}

void TComponent::Destroying() {
  FComponentState.Include(csDestroying);
  for (TComponent* c : FComponents)
    if (!c->FComponentState.Contains(csDestroying)) c->Destroying();
}

void TComponent::DestroyComponents() {
  // Each freed component removes itself from the list; last created first.
  while (!FComponents.empty()) {
    TComponent* c = FComponents.back();
    c->Free();
    if (!FComponents.empty() && FComponents.back() == c) {
      // A component that refused to leave the list must not loop forever.
      FComponents.pop_back();
    }
  }
}

int TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  const auto& v = FOwner->FComponents;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

TComponent* TComponent::FindComponent(const String& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameTextAscii(c->FName, AName)) return c;
  return nullptr;
}

void TComponent::BeginReading() {
  FComponentState.Include(csLoading);
  FComponentState.Include(csReading);
}

void TComponent::EndReading() { FComponentState.Exclude(csReading); }

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::Insert(TComponent* c) {
  FComponents.push_back(c);
  c->FOwner = this;
}

void TComponent::Remove(TComponent* c) {
  auto it = std::find(FComponents.begin(), FComponents.end(), c);
  if (it != FComponents.end()) FComponents.erase(it);
  c->FOwner = nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner == this) return;
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  Insert(AComponent);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner != this) return;
  Notification(AComponent, opRemove);
  Remove(AComponent);
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
    FFreeNotifies.push_back(AComponent);
  auto& back = AComponent->FFreeNotifies;
  if (std::find(back.begin(), back.end(), this) == back.end()) back.push_back(this);
}

void TComponent::RemoveNotification(TComponent* c) {
  FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), c), FFreeNotifies.end());
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  RemoveNotification(AComponent);
  AComponent->RemoveNotification(this);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
  // Owned components hear about their siblings; copy, since a handler may
  // free components while we walk.
  if (FComponents.empty()) return;
  std::vector<TComponent*> owned = FComponents;
  for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
    TComponent* c = *it;
    if (c == AComponent) continue;
    if (std::find(FComponents.begin(), FComponents.end(), c) == FComponents.end()) continue;
    c->Notification(AComponent, Operation);
  }
}

// --- Collections -----------------------------------------------------------------

TCollectionItem::TCollectionItem(TCollection* ACollection) { SetCollection(ACollection); }

TCollectionItem::~TCollectionItem() {
  if (FCollection) FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value) {
  if (Value == FCollection) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!FCollection) return -1;
  const auto& v = FCollection->FItems;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

void TCollectionItem::SetIndex(int Value) {
  int cur = Index();
  if (cur < 0 || Value == cur) return;
  auto& v = FCollection->FItems;
  Value = std::clamp(Value, 0, static_cast<int>(v.size()) - 1);
  v.erase(v.begin() + cur);
  v.insert(v.begin() + Value, this);
  Changed(true);
}

void TCollectionItem::Changed(bool AllItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

TCollection::TCollection(TItemFactory ItemClass, TPersistent* AOwner)
    : FItemClass(std::move(ItemClass)), FOwner(AOwner) {}

TCollection::~TCollection() {
  FUpdateCount = 1;
  Clear();
}

TCollectionItem* TCollection::Add() {
  if (!FItemClass) throw EInvalidOperation(L"Collection has no item class");
  TCollectionItem* item = FItemClass(this);
  if (item->FCollection != this) item->SetCollection(this);
  Changed();
  return item;
}

TCollectionItem* TCollection::Insert(int Index) {
  TCollectionItem* item = Add();
  item->SetIndex(Index);
  return item;
}

void TCollection::Delete(int Index) {
  delete FItems.at(Index);
  Changed();
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  while (!FItems.empty()) delete FItems.back();
  EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int ID) const {
  for (TCollectionItem* i : FItems)
    if (i->FID == ID) return i;
  return nullptr;
}

void TCollection::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

void TCollection::Assign(const TPersistent* Source) {
  auto* src = dynamic_cast<const TCollection*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  if (src == this) return;
  BeginUpdate();
  try {
    Clear();
    for (TCollectionItem* i : src->FItems) Add()->Assign(i);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCollection::Update(TCollectionItem* Item) {
  if (OnUpdate) OnUpdate(this, Item);
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item) {
  FItems.push_back(Item);
  Item->FCollection = this;
  Item->FID = FNextID++;
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it != FItems.end()) FItems.erase(it);
  Item->FCollection = nullptr;
  Changed();
}

}  // namespace tk
