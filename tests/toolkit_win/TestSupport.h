// Shared helpers of the toolkit's Windows tests: message pumping with a
// deadline, and an exception sink that records what reached the handler.
#pragma once

#include "toolkit/Forms.h"
#include "toolkit/SysUtils.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tktest {

// Pumps messages until pred() holds or ms milliseconds passed.
inline bool PumpUntil(const std::function<bool()>& pred, DWORD ms = 3000) {
  const DWORD start = ::GetTickCount();
  while (!pred()) {
    tk::Application->ProcessMessages();
    if (::GetTickCount() - start > ms) return pred();
    ::Sleep(1);
  }
  return true;
}

inline void Pump(DWORD ms) {
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < ms) {
    tk::Application->ProcessMessages();
    ::Sleep(1);
  }
}

// Replaces the application's exception handler for one test.
class TExceptionSink {
 public:
  TExceptionSink() {
    tk::Application->OnException = tk::TExceptionEvent(this, &TExceptionSink::Record);
  }
  ~TExceptionSink() { tk::Application->OnException = nullptr; }
  std::vector<tk::String> Messages;
  std::vector<tk::TObject*> Senders;

 private:
  void Record(tk::TObject* Sender, const tk::Exception& E) {
    Messages.push_back(E.Message());
    Senders.push_back(Sender);
  }
};

// A form made for a test, freed when the test ends.
template <class T = tk::TForm>
struct TOwnedForm {
  T* Form;
  TOwnedForm() : Form(tk::Create<T>(nullptr)) {}
  ~TOwnedForm() { tk::FreeAndNil(Form); }
  T* operator->() const { return Form; }
};

}  // namespace tktest
