// Shared pieces of the manager tests: forms and controls that record the
// engine commands they receive, temporary skin directories, a notifier that
// records instead of showing boxes, and a manager holding the internal skin.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "skin/data/kxNotifier.h"
#include "skin/data/sSkinManager.h"
#include "skin/framework/sMessages.h"
#include "tests/support/Owned.h"
#include "tests/support/Pump_win.h"
#include "toolkit/Forms.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"

namespace mgrtest {

using tk::String;
using tk::test::PumpPending;
using tk::test::TOwned;

// Commands seen, in order; answers KX_QUERYHANDLED with 1 when Handles is set.
struct TCommandLog {
  bool Handles = false;
  std::vector<uint16_t> Commands;
  std::vector<intptr_t> LParams;
  bool Take(tk::TMessage& m) {
    if (m.Msg != kx::SM_KESTRIXCMD) return false;
    const uint16_t c = kx::CommandOf(m);
    if (c == kx::KX_QUERYHANDLED) {
      m.Result = Handles ? 1 : 0;
      return true;
    }
    Commands.push_back(c);
    LParams.push_back(m.LParam);
    m.Result = 0;
    return true;
  }
  int Count(uint16_t c) const { return static_cast<int>(std::count(Commands.begin(), Commands.end(), c)); }
};

// A toolkit class that records the engine commands it receives.
template <class Base>
class TRecording : public Base {
 public:
  explicit TRecording(tk::TComponent* AOwner) : Base(AOwner) {}
  TCommandLog Log;
  void Dispatch(tk::TMessage& m) override {
    if (!Log.Take(m)) Base::Dispatch(m);
  }
};
using TRecForm = TRecording<tk::TForm>;
using TRecGraphic = TRecording<tk::TGraphicControl>;
using TRecWindow = TRecording<tk::TCustomControl>;

// A fresh directory below the temporary folder, removed with its content.
class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  const String& Path() const { return FPath; }  // with a trailing backslash
  void Write(const String& Name, const std::string& Data) const;
  void MakeDir(const String& Name) const;

 private:
  String FPath;
};

// Options text of a small folder skin: the given sections after a
// "GLOBALINFO" of version Version.
std::string FolderOptions(const std::string& Sections, const std::string& Version = "6.50");

class TRecordingNotifier : public kx::IkxNotifier {
 public:
  TRecordingNotifier() : FPrevious(kx::SetNotifier(this)) {}
  ~TRecordingNotifier() override { kx::SetNotifier(FPrevious); }
  void Notify(const String& Text) override { Texts.push_back(Text); }
  std::vector<String> Texts;

 private:
  kx::IkxNotifier* FPrevious;
};

// The internal skin as the notepad's description stores it.
void AddPearlmist(kx::TsSkinManager* m, const String& Name = L"Pearlmist (internal)");
// A manager as a window description creates it: created, its properties
// assigned while it is loading, then Loaded.
kx::TsSkinManager* LoadedManager(const String& SkinDirectory, const String& SkinName, bool Internal = true);

}  // namespace mgrtest
