#include "tools/kxskin/kxSkinTool.h"

#include <algorithm>
#include <cwchar>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <system_error>

#include "skin/data/kxFileLookup.h"
#include "skin/data/kxImageWrite.h"
#include "skin/data/kxSkinError.h"
#include "skin/data/kxSkinPack.h"
#include "skin/data/sSkinLoad.h"
#include "toolkit/MemIniFile.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"
#include "tools/kxskin/kxSkinRender.h"

namespace kxtool {

namespace fs = std::filesystem;
using tk::String;

namespace {

const char* const kUsage =
    "Usage: kxskin COMMAND ARGUMENTS\n"
    "\n"
    "  unpack SKIN.kxz DIR   write every entry of a packed skin into DIR, and the\n"
    "                        entry order into DIR/kxskin.order\n"
    "  pack DIR SKIN.kxz     pack a skin folder: the entries in the order of\n"
    "                        DIR/kxskin.order when it exists (files it does not\n"
    "                        list follow in name order), else Options.dat first\n"
    "                        and the pictures in name order; zlib default level\n"
    "  check [--strict] SKIN load a packed skin or a skin folder as the program\n"
    "                        does and print a summary with every problem found;\n"
    "                        --strict makes problems an error (exit code 3)\n"
    "  render SKIN SECTION WIDTHxHEIGHT STATE OUT.png [--parent COLOR|--parent-section NAME]\n"
    "                        paint one section's full look (background, border,\n"
    "                        corner images) for a state (0 normal, 1 hot,\n"
    "                        2 pressed) over a colour (0x00BBGGRR, decimal or\n"
    "                        $/0x hex) or another section's look, into a PNG\n"
    "  sheet SKIN OUT.png    every section in states 0, 1 and 2 at a few sizes\n"
    "                        on a checkerboard, labelled, into a PNG\n"
    "  --help                this text\n"
    "\n"
    "Exit code 0 on success; otherwise one line on standard error.\n";

// A failure of a command: its text is the one line on standard error.
struct TToolError {
  String Text;
  int Code = 1;
};

[[noreturn]] void Fail(const String& Text) { throw TToolError{Text}; }

// Everything the tool prints: names and values from a skin may hold control
// characters, which are shown as escapes.
std::string U8(const String& s) { return tk::ToUtf8(kx::EscapeSkinText(s)); }

fs::path P(const String& s) {
#ifdef _WIN32
  return fs::path(s);
#else
  return fs::path(tk::ToUtf8(s));
#endif
}

String S(const fs::path& p) {
#ifdef _WIN32
  return p.wstring();
#else
  return tk::FromUtf8(p.string());
#endif
}

String Join(const String& dir, const String& name) { return S(P(dir) / P(name)); }

// An entry name that can safely become a file of the folder.
bool SafeEntryName(const String& name, String& why) {
  if (name.empty() || name == L"." || name == L"..") return why = L"is empty or a directory name", false;
  for (wchar_t c : name)
    if (c < 0x20 || c == L'/' || c == L'\\' || c == L':' || c == L'*' || c == L'?' || c == L'"' || c == L'<' ||
        c == L'>' || c == L'|')
      return why = L"contains a character a file name can't have", false;
  String base = tk::UpperCaseAscii(name.substr(0, name.find(L'.')));
  static const std::set<String> reserved = {L"CON", L"PRN", L"AUX", L"NUL"};
  bool device =
      reserved.count(base) || (base.size() == 4 && (base.rfind(L"COM", 0) == 0 || base.rfind(L"LPT", 0) == 0) &&
                               base[3] >= L'1' && base[3] <= L'9');
  if (device) return why = L"is a device name on Windows", false;
  if (tk::SameTextAscii(name, kOrderFileName)) return why = L"is the name of the order file", false;
  return true;
}

std::vector<uint8_t> ReadFile(const String& path) {
  tk::TMemoryStream m;
  kx::LoadSkinFile(path, m);
  return m.Bytes();
}

void WriteFile(const String& path, const void* data, size_t size) {
  tk::TMemoryStream m(data, size);
  m.SaveToFile(path);
}

// --- unpack -------------------------------------------------------------------

int Unpack(const std::vector<String>& a, std::ostream& out) {
  if (a.size() != 2) Fail(L"unpack needs SKIN.kxz and DIR");
  const String skin = a[0], dir = a[1];
  if (!tk::FileExists(skin)) Fail(L"there is no file " + skin);
  tk::TMemoryStream data;
  kx::LoadSkinFile(skin, data, kx::kxMaxSkinSize);
  std::vector<kx::TkxPackedEntry> entries = kx::ReadPackedEntries(&data);
  std::set<String> seen;
  for (const kx::TkxPackedEntry& e : entries) {
    String why;
    if (!SafeEntryName(e.Name, why)) Fail(L"entry \"" + e.Name + L"\" " + why);
    // Windows folders ignore case: two such entries would overwrite each other.
    if (!seen.insert(tk::UpperCaseAscii(e.Name)).second) Fail(L"entry \"" + e.Name + L"\" is stored twice");
  }
  std::error_code ec;
  fs::create_directories(P(dir), ec);
  if (!fs::is_directory(P(dir))) Fail(L"can't create the folder " + dir);
  std::string order;
  for (const kx::TkxPackedEntry& e : entries) {
    WriteFile(Join(dir, e.Name), e.Data->Memory(), size_t(e.Data->Size()));
    order += e.RawName + "\n";
  }
  WriteFile(Join(dir, kOrderFileName), order.data(), order.size());
  out << "unpacked " << entries.size() << " entries into " << U8(dir) << "\n";
  return 0;
}

// --- pack -------------------------------------------------------------------

int Pack(const std::vector<String>& a, std::ostream& out) {
  if (a.size() != 2) Fail(L"pack needs DIR and SKIN.kxz");
  const String dir = a[0], skin = a[1];
  if (!fs::is_directory(P(dir))) Fail(L"there is no folder " + dir);
  // name as in the folder -> ANSI bytes of the name
  std::map<std::string, String> files;  // sorted by the ANSI bytes: "name order"
  std::map<String, std::string> byUpper;
  std::error_code ec;
  for (fs::directory_iterator it(P(dir), ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    String name = S(it->path().filename());
    if (tk::SameTextAscii(name, kOrderFileName)) continue;
    bool lossless = true;
    std::string raw = tk::WideToAnsi(name, &lossless);
    if (!lossless) Fail(L"the file name \"" + name + L"\" has characters the ANSI code page lacks");
    if (raw.size() > size_t(kx::kxMaxEntryNameLength)) Fail(L"the file name \"" + name + L"\" is too long");
    files[raw] = name;
    byUpper[tk::UpperCaseAscii(name)] = raw;
  }
  if (ec) Fail(L"can't list the folder " + dir);
  std::vector<std::string> order;
  std::set<std::string> placed;
  const String orderFile = Join(dir, kOrderFileName);
  if (tk::FileExists(orderFile)) {
    std::vector<uint8_t> text = ReadFile(orderFile);
    std::string line;
    auto take = [&](std::string l) {
      if (!l.empty() && l.back() == '\r') l.pop_back();
      if (l.empty()) return;
      if (!files.count(l)) Fail(L"\"" + tk::AnsiToWide(l) + L"\" is listed in " + kOrderFileName + L" but missing");
      if (placed.insert(l).second) order.push_back(l);
    };
    for (uint8_t c : text) {
      if (c == '\n') take(line), line.clear();
      else line += char(c);
    }
    take(line);
  }
  // Without an order the options file comes first.
  auto opt = byUpper.find(L"OPTIONS.DAT");
  if (opt == byUpper.end()) Fail(L"the folder has no Options.dat");
  if (order.empty() || !placed.count(opt->second)) {
    if (order.empty()) order.push_back(opt->second);
    else order.insert(order.begin(), opt->second);
    placed.insert(opt->second);
  }
  for (const auto& f : files)
    if (!placed.count(f.first)) order.push_back(f.first);

  std::vector<std::vector<uint8_t>> contents;
  std::vector<kx::TkxPackInput> in;
  for (const std::string& raw : order) contents.push_back(ReadFile(Join(dir, files[raw])));
  for (size_t i = 0; i < order.size(); ++i) in.push_back({order[i], contents[i].data(), contents[i].size()});
  std::vector<uint8_t> packed = kx::WritePackedSkin(in);
  WriteFile(skin, packed.data(), packed.size());
  out << "packed " << order.size() << " entries into " << U8(skin) << " (" << packed.size() << " bytes)\n";
  return 0;
}

// --- check ------------------------------------------------------------------

// Keys the engine reads as pictures; a value in one of them that made no mask
// or pattern is a mistake even when it matches no notation at all.
bool IsPictureKey(const String& Key) {
  static const std::set<String> names = {
      L"PATTERN",        L"HOTPATTERN", L"GRIPIMAGE",    L"TITLEBUTTON",    L"TITLEBAR",    L"EXBORDER",
      L"BICLOSEALONE",   L"BICONCLOSE", L"BICONMAX",     L"BICONMIN",       L"BICONNORM",   L"BICONHELP",
      L"SICONCLOSE",     L"SICONMAX",   L"SICONMIN",     L"SICONNORM",      L"SICONHELP",   L"BOXCHECKED",
      L"BOXUNCHECKED",   L"BOXGRAYED",  L"RADIOCHECKED", L"RADIOUNCHECKED", L"RADIOGRAYED", L"SMALLCHECKED",
      L"SMALLUNCHECKED", L"SMALLGRAYED"};
  const String k = tk::UpperCaseAscii(Key);
  auto endsWith = [&k](const wchar_t* tail) {
    const size_t n = std::wcslen(tail);
    return k.size() >= n && k.compare(k.size() - n, n, tail) == 0;
  };
  return names.count(k) || k.rfind(L"IMG", 0) == 0 || endsWith(L"MASK") || endsWith(L"GLOW0");
}

String RectText(const tk::TRect& r) {
  return L"(" + tk::IntToStr(r.Left) + L", " + tk::IntToStr(r.Top) + L", " + tk::IntToStr(r.Right) + L", " +
         tk::IntToStr(r.Bottom) + L")";
}

// A skin loaded as the program loads it, with its options file.
struct TLoadedSkin {
  std::unique_ptr<tk::TMemIniFile> ini;
  std::unique_ptr<kx::TkxSkinContent> content;
};

TLoadedSkin LoadSkin(const String& skin, std::vector<kx::TkxLoadProblem>* problemsOut) {
  std::vector<kx::TkxLoadProblem> none;
  std::vector<kx::TkxLoadProblem>& problems = problemsOut ? *problemsOut : none;
  std::unique_ptr<tk::TMemIniFile> ini;
  std::unique_ptr<kx::TkxSkinContent> content;
  kx::TkxLoadSettings settings;
  kx::TkxSkinConvertor conv;
  try {
    if (fs::is_directory(P(skin))) {
      String path = skin;
      if (path.back() != L'/' && path.back() != L'\\') path += tk::PathDelim;
      settings.SkinPath = path;
      // As the program finds it: Windows ignores the case of file names.
      String options = kx::FindFileNoCase(Join(skin, L"Options.dat"));
      if (options.empty()) Fail(L"the folder has no Options.dat");
      ini = kx::ReadOptionsFile(options);
      content = kx::TkxSkinLoad(settings, &problems).FromOptions(*ini, nullptr);
    } else {
      if (!tk::FileExists(skin)) Fail(L"there is no file or folder " + skin);
      auto data = std::make_unique<tk::TMemoryStream>();
      kx::LoadSkinFile(skin, *data, kx::kxMaxSkinSize);
      conv.SetOwnedPackedData(std::move(data));
      conv.Unpack();
      if (!conv.Options) throw kx::EkxSkinError(L"The packed skin holds no Options.dat");
      ini = kx::ReadOptions(conv.Options.get());
      content = kx::TkxSkinLoad(settings, &problems).FromOptions(*ini, &conv);
    }
  } catch (const tk::Exception& e) { Fail(e.Message()); }
  return TLoadedSkin{std::move(ini), std::move(content)};
}

int Check(std::vector<String> a, std::ostream& out) {
  bool strict = false;
  if (!a.empty() && a[0] == L"--strict") strict = true, a.erase(a.begin());
  if (a.size() != 1) Fail(L"check needs one SKIN (a .kxz file or a skin folder)");
  const String skin = a[0];
  std::vector<kx::TkxLoadProblem> problems;
  TLoadedSkin loaded = LoadSkin(skin, &problems);
  const std::unique_ptr<tk::TMemIniFile>& ini = loaded.ini;
  const std::unique_ptr<kx::TkxSkinContent>& content = loaded.content;
  auto problem = [&](const String& sec, const String& key, const String& text) {
    problems.push_back({sec, key, text});
  };
  // Picture values that made nothing and for which the load said nothing.
  std::set<std::pair<String, String>> made, reported;
  for (const kx::TsMaskData& m : content->ma) made.insert({m.ClassName, m.PropertyName});
  for (const kx::TsPatternData& pt : content->pa) made.insert({pt.ClassName, pt.PropertyName});
  for (const kx::TkxLoadProblem& pr : problems) reported.insert({pr.Section, pr.Key});
  // Names the program compares exactly: sections and keys belong in capitals.
  for (const String& name : kx::SectionNames(*ini)) {
    if (tk::UpperCaseAscii(name) != name) problem(name, L"", L"section name is not in upper case");
    for (const auto& k : kx::SectionKeys(*ini, name)) {
      if (tk::UpperCaseAscii(k.Name) != k.Name) problem(name, k.Name, L"key name is not in upper case");
      if (k.Value.empty() || !IsPictureKey(k.Name) || reported.count({name, k.Name}) || made.count({name, k.Name}) ||
          made.count({tk::UpperCaseAscii(name), tk::UpperCaseAscii(k.Name)}))
        continue;
      problem(name, k.Name, L"\"" + k.Value + L"\" matches no picture notation");
    }
  }
  const tk::TBitmap* master = content->MasterBitmap.get();
  const tk::TRect masterRect = master ? tk::Rect(0, 0, master->Width(), master->Height()) : tk::TRect{};
  for (const kx::TsMaskData& m : content->ma) {
    if (m.Bmp) continue;
    const tk::TRect& r = m.R;
    bool inside = r.Left >= 0 && r.Top >= 0 && r.Right <= masterRect.Right && r.Bottom <= masterRect.Bottom &&
                  r.Left < r.Right && r.Top < r.Bottom;
    if (!inside)
      problem(m.ClassName, m.PropertyName,
              L"rectangle " + RectText(r) + L" lies outside the master bitmap (" + tk::IntToStr(masterRect.Right) +
                  L" x " + tk::IntToStr(masterRect.Bottom) + L")");
  }
  for (const kx::TsGeneralData& g : content->gd) {
    if (g.ParentClass.empty()) continue;
    if (content->GetSkinIndex(g.ParentClass) < 0) {
      problem(g.ClassName, L"PARENTCLASS", L"inherits from \"" + g.ParentClass + L"\", which is no section");
      continue;
    }
    String at = g.ClassName;
    std::set<String> visited = {at};
    for (int depth = 0; depth < kx::kxMaxInheritDepth; ++depth) {
      int i = content->GetSkinIndex(at);
      if (i < 0) break;
      const String& parent = content->gd[i].ParentClass;
      if (parent.empty() || parent == at) break;
      if (!visited.insert(parent).second) {
        problem(g.ClassName, L"PARENTCLASS", L"the PARENTCLASS chain runs in a circle through \"" + parent + L"\"");
        break;
      }
      at = parent;
    }
  }

  const kx::TsSkinData& d = content->SkinData;
  // The program shows its version notice for such a skin at every start.
  if (d.Version > 6.99) problem(L"GLOBALINFO", L"VERSION", L"the skin is newer than the engine (6.99)");
  out << "Skin: " << U8(skin) << "\n";
  out << "Version: " << U8(tk::FloatToStrDot(d.Version)) << "\n";
  out << "Author: " << U8(d.Author) << "\n";
  out << "Description: " << U8(d.Description) << "\n";
  out << "Master bitmap: " << masterRect.Right << " x " << masterRect.Bottom << "\n";
  out << "Sections: " << content->gd.size() << "\n";
  out << "Masks: " << content->ma.size() << "\n";
  out << "Patterns: " << content->pa.size() << "\n";
  for (const kx::TsGeneralData& g : content->gd) {
    out << "  " << U8(g.ClassName);
    if (!g.ParentClass.empty()) out << " <- " << U8(g.ParentClass);
    out << "\n";
  }
  out << "Problems: " << problems.size() << "\n";
  for (const kx::TkxLoadProblem& p : problems) {
    out << "  [" << U8(p.Section) << "]";
    if (!p.Key.empty()) out << " " << U8(p.Key);
    out << ": " << U8(p.Text) << "\n";
  }
  if (strict && !problems.empty())
    throw TToolError{tk::IntToStr(int64_t(problems.size())) + (problems.size() == 1 ? L" problem" : L" problems") +
                         L" found in " + skin,
                     3};
  return 0;
}

// --- render and sheet -------------------------------------------------------

void WritePicture(const tk::TBitmap& bmp, const String& path) {
  const std::vector<uint8_t> png = kx::WritePng(bmp);
  try {
    WriteFile(path, png.data(), png.size());
  } catch (const tk::Exception& e) { Fail(L"can't write " + path + L": " + e.Message()); }
}

// A colour as the options file writes one (decimal 0x00BBGGRR), or in hex
// after "$" or "0x".
tk::TColor ParseColor(const String& text) {
  int v = 0;
  String t = text;
  if (t.rfind(L"0x", 0) == 0 || t.rfind(L"0X", 0) == 0) t = L"$" + t.substr(2);
  if (!tk::TryStrToInt(t, v) || v < 0 || v > 0xFFFFFF) Fail(L"\"" + text + L"\" is no colour (0 to $FFFFFF)");
  return v;
}

int Render(const std::vector<String>& a, std::ostream& out) {
  if (a.size() != 5 && a.size() != 7)
    Fail(L"render needs SKIN SECTION WIDTHxHEIGHT STATE OUT.png [--parent COLOR|--parent-section NAME]");
  const String& section = a[1];
  const size_t x = a[2].find_first_of(L"xX");
  int w = 0, h = 0, state = 0;
  if (x == String::npos || !tk::TryStrToInt(a[2].substr(0, x), w) || !tk::TryStrToInt(a[2].substr(x + 1), h) ||
      w <= 0 || h <= 0 || w > 8192 || h > 8192)
    Fail(L"\"" + a[2] + L"\" is no size (WIDTHxHEIGHT, 1 to 8192 each)");
  if (!tk::TryStrToInt(a[3], state) || state < 0) Fail(L"\"" + a[3] + L"\" is no state (0 normal, 1 hot, 2 pressed)");
  TRenderParent parent;
  if (a.size() == 7) {
    if (a[5] == L"--parent") parent.Kind = TRenderParent::rpColor, parent.Color = ParseColor(a[6]);
    else if (a[5] == L"--parent-section") parent.Kind = TRenderParent::rpSection, parent.Section = a[6];
    else Fail(L"unknown option " + a[5]);
  }
  const TLoadedSkin skin = LoadSkin(a[0], nullptr);
  if (skin.content->GetSkinIndex(section) < 0) Fail(L"the skin has no section " + section);
  if (parent.Kind == TRenderParent::rpSection && skin.content->GetSkinIndex(parent.Section) < 0)
    Fail(L"the skin has no section " + parent.Section);
  auto bmp = RenderSection(*skin.content, section, w, h, state, parent);
  WritePicture(*bmp, a[4]);
  out << "rendered " << U8(section) << " " << w << " x " << h << " in state " << state << " into " << U8(a[4]) << "\n";
  return 0;
}

int Sheet(const std::vector<String>& a, std::ostream& out) {
  if (a.size() != 2) Fail(L"sheet needs SKIN and OUT.png");
  const TLoadedSkin skin = LoadSkin(a[0], nullptr);
  auto bmp = RenderSheet(*skin.content);
  WritePicture(*bmp, a[1]);
  out << "drew " << skin.content->gd.size() << " sections into " << U8(a[1]) << " (" << bmp->Width() << " x "
      << bmp->Height() << ")\n";
  return 0;
}

}  // namespace

int RunKxSkin(const std::vector<String>& Args, std::ostream& Out, std::ostream& Err) {
  if (Args.empty()) {
    Err << "kxskin: no command given (kxskin --help lists them)\n";
    return 2;
  }
  const String cmd = Args[0];
  if (cmd == L"--help" || cmd == L"-h" || cmd == L"help") {
    Out << kUsage;
    return 0;
  }
  static const std::map<String, std::function<int(const std::vector<String>&, std::ostream&)>> commands = {
      {L"unpack", Unpack}, {L"pack", Pack}, {L"check", Check}, {L"render", Render}, {L"sheet", Sheet}};
  auto it = commands.find(cmd);
  if (it == commands.end()) {
    Err << "kxskin: unknown command \"" << U8(cmd) << "\" (kxskin --help lists them)\n";
    return 2;
  }
  try {
    return it->second(std::vector<String>(Args.begin() + 1, Args.end()), Out);
  } catch (const TToolError& e) {
    Err << "kxskin: " << U8(e.Text) << "\n";
    return e.Code;
  } catch (const tk::Exception& e) { Err << "kxskin: " << U8(e.Message()) << "\n"; } catch (const std::exception& e) {
    Err << "kxskin: " << U8(tk::FromUtf8(e.what())) << "\n";
  }
  return 1;
}

}  // namespace kxtool
