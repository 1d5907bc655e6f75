// Tabulo: the program entry.
#include <windows.h>

#include "app/Unit1.h"
#include "skin/data/sSkinManager.h"
#include "toolkit/Forms.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  tk::Application->Initialize();
  tk::Application->SetMainFormOnTaskBar(true);
  tk::Application->SetTitle(L"Tabulo");
  kx::InitializeEngine();
  tk::Application->CreateForm<TForm1>();
  tk::Application->Run();
  tk::DoneApplication();
  return 0;
}
