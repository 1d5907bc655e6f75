// The packed skin file (".kxz"): magic "KXzf", an entry count, then entries of
// name length, ANSI name, inflated size and one complete zlib stream each.
//
// TkxSkinConvertor unpacks such a file into memory for the length of one skin
// load: the options entry into Options, every other entry into Files. It owns
// Files and Options, and PackedData only when it loaded the bytes itself (an
// internal skin lends its own stream and takes it back). The input is
// untrusted: counts, lengths and sizes are checked before anything is
// allocated, and every entry must inflate to exactly its declared size.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Streams.h"
#include "toolkit/Types.h"

namespace kx {

using tk::String;

// Largest inflated size of one entry and of a whole skin.
constexpr int64_t kxMaxEntrySize = int64_t(256) << 20;
constexpr int64_t kxMaxSkinSize = int64_t(512) << 20;
// Longest entry name we accept (names carry no directory part).
constexpr int kxMaxEntryNameLength = 1024;

// One entry of a packed file, in file order.
struct TkxPackedEntry {
  String Name;          // as stored, case kept
  std::string RawName;  // the stored bytes of the name (ANSI)
  std::unique_ptr<tk::TMemoryStream> Data;
};

// Reads a file of a skin (a packed file, an options file, a picture) into
// Dest, refusing with EkxSkinError one larger than Limit before reading it.
void LoadSkinFile(const String& FileName, tk::TMemoryStream& Dest, int64_t Limit = kxMaxEntrySize);

// Reads a whole packed file from Source's beginning. Raises
// "Loaded data is not packed Kestrix file" for a wrong magic, EZlibError with
// zlib's text for damaged streams and "Stream read error" for data cut short.
std::vector<TkxPackedEntry> ReadPackedEntries(tk::TStream* Source);

// Writes a packed file: the entries in the order given, each stream
// compressed at zlib's default level.
struct TkxPackInput {
  std::string RawName;  // ANSI bytes of the name
  const uint8_t* Data = nullptr;
  size_t Size = 0;
};
std::vector<uint8_t> WritePackedSkin(const std::vector<TkxPackInput>& Entries);

bool IsOptionsEntryName(const String& Name);  // "Options.dat", any case

struct TkxImageItem {
  String FileName;        // the entry name as stored, case kept
  bool IsBitmap = false;  // upper-cased extension is ".BMP"
  std::unique_ptr<tk::TMemoryStream> FileStream;
};

class TkxSkinConvertor {
 public:
  TkxSkinConvertor() = default;
  ~TkxSkinConvertor() { Clear(); }
  TkxSkinConvertor(const TkxSkinConvertor&) = delete;
  TkxSkinConvertor& operator=(const TkxSkinConvertor&) = delete;

  // Number of image entries (Files.size()): the entry count minus one for
  // the options entry, also when a file holds no options entry or several.
  int ImageCount = 0;
  std::vector<TkxImageItem> Files;
  std::unique_ptr<tk::TMemoryStream> Options;
  // Read from its beginning by Unpack; see LendPackedData/SetOwnedPackedData.
  tk::TStream* PackedData = nullptr;

  // The convertor reads Data but does not own it; take it back with
  // ReturnPackedData before the convertor goes.
  void LendPackedData(tk::TStream* Data);
  tk::TStream* ReturnPackedData();
  void SetOwnedPackedData(std::unique_ptr<tk::TStream> Data);
  void ReleasePackedData();

  // Fills ImageCount, Files and Options from PackedData. A wrong magic clears
  // the convertor and raises "Loaded data is not packed Kestrix file"; any
  // other failure also leaves the convertor cleared.
  void Unpack();
  // Releases the image items (last first), Options and PackedData.
  void Clear();

  // The first image entry whose upper-cased name equals Name exactly (so
  // "MASTER.BMP" finds "Master.bmp", "Master.bmp" does not), rewound to its
  // start; null when there is none.
  tk::TMemoryStream* FindImage(const String& Name) const;

 private:
  std::unique_ptr<tk::TStream> FOwnedPacked;
};

// Loads the file and unpacks it into Convertor (cleared first). Returns false,
// doing nothing, when the file does not exist. With DropPacked the loaded
// bytes are released again after unpacking.
bool LoadPackedSkinFile(const String& FileName, TkxSkinConvertor& Convertor, bool DropPacked = true);
// The same with a new convertor; null when the file does not exist.
std::unique_ptr<TkxSkinConvertor> LoadPackedSkinFile(const String& FileName, bool DropPacked = true);

}  // namespace kx
