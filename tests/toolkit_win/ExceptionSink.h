// Records what reaches the application's exception handler, for the tests of
// exceptions thrown inside window procedures and timers.
#pragma once

#include "toolkit/Forms.h"
#include "toolkit/SysUtils.h"

#include <vector>

namespace tk::test {

// Replaces the application's exception handler for one test.
class TExceptionSink {
 public:
  TExceptionSink() { Application->OnException = TExceptionEvent(this, &TExceptionSink::Record); }
  ~TExceptionSink() { Application->OnException = nullptr; }
  std::vector<String> Messages;
  std::vector<TObject*> Senders;

 private:
  void Record(TObject* Sender, const Exception& E) {
    Messages.push_back(E.Message());
    Senders.push_back(Sender);
  }
};

}  // namespace tk::test
