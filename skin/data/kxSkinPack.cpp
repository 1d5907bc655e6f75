#include "skin/data/kxSkinPack.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "skin/data/kxSkinError.h"
#include "toolkit/SysUtils.h"

namespace kx {

namespace {

const char kMagic[4] = {'K', 'X', 'z', 'f'};

[[noreturn]] void Damaged(const String& what) { throw EkxSkinError(L"Packed skin file is damaged: " + what); }

int32_t ReadInt32(tk::TStream* s) {
  uint8_t b[4];
  s->ReadBuffer(b, 4);
  return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                              (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24));
}

void PutInt32(std::vector<uint8_t>& out, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(u >> (8 * i)));
}

}  // namespace

void LoadSkinFile(const String& FileName, tk::TMemoryStream& Dest, int64_t Limit) {
  tk::TFileStream f(FileName, tk::fmOpenRead | tk::fmShareDenyWrite);
  const int64_t size = f.Size();
  if (size > Limit)
    throw EkxSkinError(
        tk::Fmt(L"The skin file \"%s\" is too large (%s bytes)", {EscapeSkinText(FileName), tk::IntToStr(size)}));
  Dest.LoadFromStream(&f);
}

bool IsOptionsEntryName(const String& Name) { return tk::SameTextAscii(Name, L"Options.dat"); }

std::vector<TkxPackedEntry> ReadPackedEntries(tk::TStream* Source) {
  Source->SetPosition(0);
  char magic[4] = {};
  if (Source->Read(magic, 4) != 4 || std::memcmp(magic, kMagic, 4) != 0)
    throw EkxSkinError(L"Loaded data is not packed Kestrix file");
  const int32_t count = ReadInt32(Source);
  if (count < 0) Damaged(L"negative entry count " + tk::IntToStr(count));
  std::vector<TkxPackedEntry> entries;
  int64_t total = 0;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t nameLength = ReadInt32(Source);
    if (nameLength < 0 || nameLength > kxMaxEntryNameLength)
      Damaged(tk::Fmt(L"entry %s has a name length of %s", {tk::IntToStr(i + 1), tk::IntToStr(nameLength)}));
    TkxPackedEntry e;
    e.RawName.resize(static_cast<size_t>(nameLength));
    if (nameLength > 0) Source->ReadBuffer(e.RawName.data(), nameLength);
    e.Name = tk::AnsiToWide(e.RawName);
    const int32_t size = ReadInt32(Source);
    if (size < 0) Damaged(tk::Fmt(L"entry \"%s\" has a negative size", {EscapeSkinText(e.Name)}));
    if (size > kxMaxEntrySize)
      Damaged(tk::Fmt(L"entry \"%s\" declares %s bytes, more than an entry may hold",
                      {EscapeSkinText(e.Name), tk::IntToStr(size)}));
    total += size;
    if (total > kxMaxSkinSize) Damaged(L"the entries declare more data than a skin may hold");
    e.Data = std::make_unique<tk::TMemoryStream>();
    // Room for the whole entry at once, but never more than the remaining
    // bytes could inflate to (deflate's best ratio is about 1032:1).
    const int64_t remaining = Source->Size() - Source->Position();
    e.Data->SetSize(std::min<int64_t>(size, remaining * 1032 + 64));
    e.Data->SetPosition(0);
    tk::InflateExactly(Source, e.Data.get(), size);
    e.Data->SetPosition(0);
    entries.push_back(std::move(e));
  }
  return entries;
}

std::vector<uint8_t> WritePackedSkin(const std::vector<TkxPackInput>& Entries) {
  std::vector<uint8_t> out(kMagic, kMagic + 4);
  PutInt32(out, static_cast<int32_t>(Entries.size()));
  for (const TkxPackInput& e : Entries) {
    if (e.Size > static_cast<size_t>(kxMaxEntrySize))
      throw tk::EZlibError(L"Entry " + EscapeSkinText(tk::AnsiToWide(e.RawName)) + L" is too large to pack");
    PutInt32(out, static_cast<int32_t>(e.RawName.size()));
    out.insert(out.end(), e.RawName.begin(), e.RawName.end());
    PutInt32(out, static_cast<int32_t>(e.Size));
    uLongf bound = compressBound(static_cast<uLong>(e.Size));
    size_t at = out.size();
    out.resize(at + bound);
    static const Bytef empty = 0;
    int rc =
        compress2(out.data() + at, &bound, e.Size ? e.Data : &empty, static_cast<uLong>(e.Size), Z_DEFAULT_COMPRESSION);
    if (rc != Z_OK) throw tk::EZlibError(tk::FromUtf8(zError(rc)));
    out.resize(at + bound);
  }
  return out;
}

void TkxSkinConvertor::LendPackedData(tk::TStream* Data) {
  ReleasePackedData();
  PackedData = Data;
}

tk::TStream* TkxSkinConvertor::ReturnPackedData() {
  tk::TStream* d = FOwnedPacked ? nullptr : PackedData;
  if (!FOwnedPacked) PackedData = nullptr;
  return d;
}

void TkxSkinConvertor::SetOwnedPackedData(std::unique_ptr<tk::TStream> Data) {
  ReleasePackedData();
  FOwnedPacked = std::move(Data);
  PackedData = FOwnedPacked.get();
}

void TkxSkinConvertor::ReleasePackedData() {
  PackedData = nullptr;
  FOwnedPacked.reset();
}

void TkxSkinConvertor::Unpack() {
  if (!PackedData) throw EkxSkinError(L"Loaded data is not packed Kestrix file");
  std::vector<TkxPackedEntry> entries;
  try {
    entries = ReadPackedEntries(PackedData);
  } catch (...) {
    Clear();
    throw;
  }
  while (!Files.empty()) Files.pop_back();
  Options.reset();
  for (TkxPackedEntry& e : entries) {
    if (IsOptionsEntryName(e.Name)) {
      Options = std::move(e.Data);  // a later options entry replaces an earlier one
    } else {
      TkxImageItem item;
      item.FileName = e.Name;
      item.IsBitmap = tk::UpperCaseAscii(tk::ExtractFileExt(e.Name)) == L".BMP";
      item.FileStream = std::move(e.Data);
      Files.push_back(std::move(item));
    }
  }
  ImageCount = static_cast<int>(Files.size());
}

void TkxSkinConvertor::Clear() {
  while (!Files.empty()) Files.pop_back();
  ImageCount = 0;
  Options.reset();
  ReleasePackedData();
}

tk::TMemoryStream* TkxSkinConvertor::FindImage(const String& Name) const {
  for (const TkxImageItem& item : Files) {
    if (tk::UpperCaseAscii(item.FileName) == Name) {
      item.FileStream->SetPosition(0);
      return item.FileStream.get();
    }
  }
  return nullptr;
}

bool LoadPackedSkinFile(const String& FileName, TkxSkinConvertor& Convertor, bool DropPacked) {
  if (!tk::FileExists(FileName)) return false;
  Convertor.Clear();
  auto data = std::make_unique<tk::TMemoryStream>();
  LoadSkinFile(FileName, *data, kxMaxSkinSize);
  Convertor.SetOwnedPackedData(std::move(data));
  Convertor.Unpack();
  if (DropPacked) Convertor.ReleasePackedData();
  return true;
}

std::unique_ptr<TkxSkinConvertor> LoadPackedSkinFile(const String& FileName, bool DropPacked) {
  if (!tk::FileExists(FileName)) return nullptr;
  auto c = std::make_unique<TkxSkinConvertor>();
  LoadPackedSkinFile(FileName, *c, DropPacked);
  return c;
}

}  // namespace kx
