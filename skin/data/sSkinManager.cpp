#include "skin/data/sSkinManager.h"

namespace kx {

namespace {

TsSkinManager* gDefaultManager = nullptr;

}  // namespace

TsSkinManager* DefaultManager() { return gDefaultManager; }

TsSkinManager::TsSkinManager(tk::TComponent* AOwner) : tk::TComponent(AOwner) {
  if (!gDefaultManager) gDefaultManager = this;
}

TsSkinManager::~TsSkinManager() {
  if (gDefaultManager == this) gDefaultManager = nullptr;
}

bool TsSkinManager::IsDefault() const { return gDefaultManager == this; }

void TsSkinManager::DefaultSkinDirectory() {
  if (FSkinDirectory.empty()) FSkinDirectory = L"c:\\Skins";
}

void TsSkinManager::AfterConstruction() {
  tk::TComponent::AfterConstruction();
  DefaultSkinDirectory();
}

void TsSkinManager::Loaded() {
  tk::TComponent::Loaded();
  DefaultSkinDirectory();
}

}  // namespace kx
