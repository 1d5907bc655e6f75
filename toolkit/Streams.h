// Byte streams: the abstract TStream, memory streams, file streams, program
// resources and a zlib inflate stream over another stream.
// A stream is owned by whoever created it; streams that work over another
// stream or over foreign memory borrow it and never free it. Not thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "toolkit/Object.h"
#include "toolkit/SysUtils.h"

namespace tk {

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
 public:
  TK_CLASS_NAME(TStream)
  // Up to Count bytes; returns how many were read (0 at the end).
  virtual int64_t Read(void* Buffer, int64_t Count) = 0;
  // Returns how many bytes were written.
  virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
  // Returns the new position.
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t p) { Seek(p, soBeginning); }
  virtual int64_t Size();
  virtual void SetSize(int64_t NewSize);

  // Exactly Count bytes, else EReadError "Stream read error".
  void ReadBuffer(void* Buffer, int64_t Count);
  // Exactly Count bytes, else EWriteError "Stream write error".
  void WriteBuffer(const void* Buffer, int64_t Count);
  // Copies Count bytes from Source's current position; Count 0 copies the
  // whole of Source from its beginning. Short data raises EReadError.
  int64_t CopyFrom(TStream* Source, int64_t Count);
};

// A stream over one block of memory; the block belongs to the derived class.
class TCustomMemoryStream : public TStream {
 public:
  TK_CLASS_NAME(TCustomMemoryStream)
  const uint8_t* Memory() const { return FMemory; }
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override { return FSize; }
  void SaveToStream(TStream* Stream);
  void SaveToFile(const String& FileName);

 protected:
  void SetPointer(uint8_t* Ptr, int64_t Size);
  uint8_t* FMemory = nullptr;
  int64_t FSize = 0;
  int64_t FPosition = 0;
};

class TMemoryStream : public TCustomMemoryStream {
 public:
  TK_CLASS_NAME(TMemoryStream)
  TMemoryStream() = default;
  TMemoryStream(const void* Data, size_t Count);
  uint8_t* Memory() { return FMemory; }
  const uint8_t* Memory() const { return FMemory; }
  int64_t Write(const void* Buffer, int64_t Count) override;
  // Growing fills with zeros; the position stays unless it lies past the end.
  void SetSize(int64_t NewSize) override;
  void Clear();
  // Replaces the content with the whole of Stream (from its beginning) or of
  // the file; the position is 0 afterwards.
  void LoadFromStream(TStream* Stream);
  void LoadFromFile(const String& FileName);
  std::vector<uint8_t> Bytes() const { return std::vector<uint8_t>(FMemory, FMemory + FSize); }

 private:
  void Reserve(int64_t n);
  std::unique_ptr<uint8_t[]> FBuffer;
  int64_t FCapacity = 0;
};

using TBytesStream = TMemoryStream;

// Read-only stream over memory that belongs to someone else and must outlive it.
class TPointerStream : public TCustomMemoryStream {
 public:
  TK_CLASS_NAME(TPointerStream)
  TPointerStream(const void* Data, size_t Count);
  // Writes nothing (WriteBuffer raises): the memory is not ours to change.
  int64_t Write(const void* Buffer, int64_t Count) override;
};

// File open modes: one access value combined with one share value.
constexpr uint16_t fmCreate = 0xFF00;  // create or truncate, read and write
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;

class TFileStream : public TStream {
 public:
  TK_CLASS_NAME(TFileStream)
  // fmCreate failures raise EFCreateError "Cannot create file "%s". %s",
  // open failures EFOpenError "Cannot open file "%s". %s" (path, then the
  // system's reason).
  TFileStream(const String& FileName, uint16_t Mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  void SetSize(int64_t NewSize) override;
  // Pushes written data to the disk; EWriteError with the reason on failure.
  void Flush();
  const String& FileName() const { return FFileName; }

 private:
  String FFileName;
  intptr_t FHandle = -1;  // HANDLE on Windows, file descriptor natively
};

// A resource of the program (Windows: FindResourceW in Instance, null for the
// executable). Names and types as FindResourceW takes them: a text, or "#n"
// for the number n. Missing resources raise EStreamError
// "Resource %s not found".
constexpr const wchar_t* RT_RCDATA_NAME = L"#10";
class TResourceStream : public TCustomMemoryStream {
 public:
  TK_CLASS_NAME(TResourceStream)
  TResourceStream(void* Instance, const String& ResName, const String& ResType = RT_RCDATA_NAME);
  // Writes nothing (WriteBuffer raises): resources are read-only.
  int64_t Write(const void* Buffer, int64_t Count) override;
};
// Natively there are no program resources; tests register stand-ins here
// (Windows build: no effect). The bytes are copied.
void RegisterNativeResource(const String& ResName, const String& ResType, const void* Data, size_t Count);

// Inflates one zlib stream (header, deflate data, Adler-32 check) read from
// Source at its current position. At the end of the zlib stream, and when
// this object is released, Source is left right behind the bytes the zlib
// stream used: input read ahead is given back with a seek.
// At most MaxSize bytes are inflated; a stream that holds more raises
// EZlibError. MaxSize may not exceed MaxInflatedSize, so a hostile size field
// can't make anyone reserve gigabytes. Damaged data raises EZlibError with
// zlib's text for the error ("data error").
class TZDecompressionStream : public TStream {
 public:
  TK_CLASS_NAME(TZDecompressionStream)
  static constexpr int64_t MaxInflatedSize = int64_t(256) << 20;

  TZDecompressionStream(TStream* Source, int64_t MaxSize = MaxInflatedSize);
  ~TZDecompressionStream() override;
  TZDecompressionStream(const TZDecompressionStream&) = delete;
  TZDecompressionStream& operator=(const TZDecompressionStream&) = delete;

  int64_t Read(void* Buffer, int64_t Count) override;
  // Writes nothing (WriteBuffer raises).
  int64_t Write(const void* Buffer, int64_t Count) override;
  // Position queries and forward skips only; anything else raises EStreamError.
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  // Unknown before the end: raises EStreamError.
  int64_t Size() override;

  // Reads on to the end of the zlib stream, check value included, so Source
  // is positioned right after it even when the caller read exactly the
  // inflated size; inflated bytes not read yet are dropped. More than MaxSize
  // in all raises EZlibError; a stream cut short raises EReadError
  // "Stream read error".
  void Finish();
  bool Ended() const { return FEnded; }

 private:
  struct TState;
  void GiveBack();
  TStream* FSource;
  int64_t FMaxSize;
  int64_t FOut = 0;
  bool FEnded = false;
  bool FSourceEmpty = false;
  std::unique_ptr<TState> FState;
};

// Inflates the zlib stream at Source's position into Dest (appended at its
// position), exactly Size bytes, and leaves Source right after the zlib
// stream. Size outside 0..MaxInflatedSize raises EZlibError; fewer bytes than
// Size raise EReadError "Stream read error".
void InflateExactly(TStream* Source, TStream* Dest, int64_t Size);

}  // namespace tk
