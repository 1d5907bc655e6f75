#include "toolkit/Streams.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace tk {

namespace {
constexpr int64_t kCopyChunk = 64 * 1024;
}

// --- TStream ----------------------------------------------------------------

int64_t TStream::Size() {
  int64_t pos = Seek(0, soCurrent);
  int64_t end = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return end;
}

void TStream::SetSize(int64_t) { throw EStreamError(L"Invalid stream operation"); }

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
  auto* p = static_cast<uint8_t*>(Buffer);
  // Some streams (files, pipes, the inflater) may hand out less than asked
  // before their end; only a read that yields nothing is short.
  while (Count > 0) {
    int64_t n = Read(p, Count);
    if (n <= 0) throw EReadError(L"Stream read error");
    p += n;
    Count -= n;
  }
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
  if (Count <= 0) return;
  if (Write(Buffer, Count) != Count) throw EWriteError(L"Stream write error");
}

int64_t TStream::CopyFrom(TStream* Source, int64_t Count) {
  if (Count < 0) return 0;
  if (Count == 0) {
    Source->SetPosition(0);
    Count = Source->Size();
  }
  std::vector<uint8_t> buf(static_cast<size_t>(std::clamp<int64_t>(Count, 0, kCopyChunk)));
  int64_t left = Count;
  while (left > 0) {
    int64_t n = std::min(left, kCopyChunk);
    Source->ReadBuffer(buf.data(), n);
    WriteBuffer(buf.data(), n);
    left -= n;
  }
  return Count;
}

// --- Memory streams -----------------------------------------------------------

void TCustomMemoryStream::SetPointer(uint8_t* Ptr, int64_t Size) {
  FMemory = Ptr;
  FSize = Size;
}

int64_t TCustomMemoryStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0 || FPosition < 0 || FPosition >= FSize) return 0;
  int64_t n = std::min(Count, FSize - FPosition);
  std::memcpy(Buffer, FMemory + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TCustomMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  switch (Origin) {
    case soBeginning: FPosition = Offset; break;
    case soCurrent: FPosition += Offset; break;
    case soEnd: FPosition = FSize + Offset; break;
  }
  return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) { Stream->WriteBuffer(FMemory, FSize); }

void TCustomMemoryStream::SaveToFile(const String& FileName) {
  TFileStream f(FileName, fmCreate);
  SaveToStream(&f);
}

TMemoryStream::TMemoryStream(const void* Data, size_t Count) {
  Write(Data, static_cast<int64_t>(Count));
  FPosition = 0;
}

void TMemoryStream::Reserve(int64_t n) {
  if (n <= FCapacity) return;
  int64_t cap = std::max<int64_t>(n, std::min<int64_t>(FCapacity * 2, FCapacity + (int64_t(64) << 20)));
  cap = std::max<int64_t>(cap, 256);
  if (static_cast<uint64_t>(n) > std::numeric_limits<size_t>::max() / 2)
    throw EStreamError(L"Out of memory while expanding memory stream");
  if (static_cast<uint64_t>(cap) > std::numeric_limits<size_t>::max() / 2) cap = n;
  std::unique_ptr<uint8_t[]> b(new (std::nothrow) uint8_t[static_cast<size_t>(cap)]);
  if (!b && cap != n) {
    cap = n;
    b.reset(new (std::nothrow) uint8_t[static_cast<size_t>(cap)]);
  }
  if (!b) throw EStreamError(L"Out of memory while expanding memory stream");
  if (FSize) std::memcpy(b.get(), FMemory, static_cast<size_t>(FSize));
  FBuffer = std::move(b);
  FCapacity = cap;
  SetPointer(FBuffer.get(), FSize);
}

void TMemoryStream::SetSize(int64_t NewSize) {
  if (NewSize < 0) NewSize = 0;
  Reserve(NewSize);
  if (NewSize > FSize) std::memset(FBuffer.get() + FSize, 0, static_cast<size_t>(NewSize - FSize));
  SetPointer(FBuffer.get(), NewSize);
  if (FPosition > NewSize) FPosition = NewSize;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0 || FPosition < 0) return 0;
  int64_t end = FPosition + Count;
  if (end > FSize) {
    int64_t pos = FPosition;
    SetSize(end);
    FPosition = pos;
  }
  std::memcpy(FMemory + FPosition, Buffer, static_cast<size_t>(Count));
  FPosition = end;
  return Count;
}

void TMemoryStream::Clear() {
  FBuffer.reset();
  FCapacity = 0;
  SetPointer(nullptr, 0);
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
  Stream->SetPosition(0);
  int64_t n = Stream->Size();
  SetSize(n);
  if (n) Stream->ReadBuffer(FMemory, n);
  FPosition = 0;
}

void TMemoryStream::LoadFromFile(const String& FileName) {
  TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&f);
}

TPointerStream::TPointerStream(const void* Data, size_t Count) {
  SetPointer(static_cast<uint8_t*>(const_cast<void*>(Data)), static_cast<int64_t>(Count));
}

int64_t TPointerStream::Write(const void*, int64_t) { return 0; }

int64_t TResourceStream::Write(const void*, int64_t) { return 0; }

// --- zlib -----------------------------------------------------------------------

namespace {

[[noreturn]] void RaiseZlib(int code) {
  if (code == Z_NEED_DICT) code = Z_DATA_ERROR;  // no preset dictionaries here
  throw EZlibError(FromUtf8(zError(code)));
}

}  // namespace

struct TZDecompressionStream::TState {
  z_stream z{};
  bool live = false;
  uint8_t in[kCopyChunk];
};

TZDecompressionStream::TZDecompressionStream(TStream* Source, int64_t MaxSize)
    : FSource(Source), FMaxSize(MaxSize), FState(std::make_unique<TState>()) {
  if (MaxSize < 0 || MaxSize > MaxInflatedSize)
    throw EZlibError(Fmt(L"Inflated size %s is out of range", {IntToStr(MaxSize)}));
  int r = inflateInit(&FState->z);
  if (r != Z_OK) RaiseZlib(r);
  FState->live = true;
}

TZDecompressionStream::~TZDecompressionStream() {
  try {
    GiveBack();
  } catch (...) {
    // A source that can't seek back keeps its position; nothing else to do
    // while being released.
  }
  if (FState->live) inflateEnd(&FState->z);
}

void TZDecompressionStream::GiveBack() {
  z_stream& z = FState->z;
  if (z.avail_in > 0) {
    int64_t back = z.avail_in;
    z.avail_in = 0;
    FSource->Seek(-back, soCurrent);
  }
}

int64_t TZDecompressionStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0 || FEnded) return 0;
  int64_t allowed = std::min(Count, FMaxSize - FOut);
  z_stream& z = FState->z;
  auto* out = static_cast<uint8_t*>(Buffer);
  int64_t produced = 0;
  // A zero-sized window still runs inflate: it may consume the end of the
  // stream, or show that there are more bytes than allowed.
  uint8_t probe;
  bool probing = allowed == 0;
  while (!FEnded && (produced < allowed || probing)) {
    if (z.avail_in == 0 && !FSourceEmpty) {
      int64_t n = FSource->Read(FState->in, kCopyChunk);
      if (n <= 0) FSourceEmpty = true;
      z.next_in = FState->in;
      z.avail_in = static_cast<uInt>(std::max<int64_t>(n, 0));
    }
    uInt want = probing ? 1u : static_cast<uInt>(std::min<int64_t>(allowed - produced, 1 << 30));
    z.next_out = probing ? &probe : out + produced;
    z.avail_out = want;
    uInt inBefore = z.avail_in;
    int r = inflate(&z, Z_NO_FLUSH);
    uInt got = want - z.avail_out;
    if (r == Z_STREAM_END) {
      FEnded = true;
      GiveBack();
    } else if (r != Z_OK && r != Z_BUF_ERROR) {
      RaiseZlib(r);
    }
    bool stalled = got == 0 && inBefore == z.avail_in && (z.avail_in != 0 || FSourceEmpty);
    if (probing) {
      if (got) throw EZlibError(Fmt(L"Inflated data exceeds %s bytes", {IntToStr(FMaxSize)}));
      if (stalled) break;
      continue;
    }
    produced += got;
    if (stalled) break;
  }
  FOut += produced;
  return produced;
}

void TZDecompressionStream::Finish() {
  std::vector<uint8_t> scratch;
  while (!FEnded) {
    int64_t room = FMaxSize - FOut;
    if (room == 0) {
      Read(nullptr, 1);  // probes: raises on surplus, ends on the check value
      if (!FEnded) throw EReadError(L"Stream read error");
      break;
    }
    scratch.resize(static_cast<size_t>(std::min(room, kCopyChunk)));
    if (Read(scratch.data(), static_cast<int64_t>(scratch.size())) == 0 && !FEnded)
      throw EReadError(L"Stream read error");
  }
}

int64_t TZDecompressionStream::Write(const void*, int64_t) { return 0; }

int64_t TZDecompressionStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  int64_t target;
  if (Origin == soCurrent) target = FOut + Offset;
  else if (Origin == soBeginning) target = Offset;
  else throw EStreamError(L"Invalid stream operation");
  if (target < FOut) throw EStreamError(L"Invalid stream operation");
  uint8_t buf[4096];
  while (FOut < target) {
    if (Read(buf, std::min<int64_t>(target - FOut, sizeof buf)) == 0) break;
  }
  return FOut;
}

int64_t TZDecompressionStream::Size() { throw EStreamError(L"Invalid stream operation"); }

void InflateExactly(TStream* Source, TStream* Dest, int64_t Size) {
  TZDecompressionStream z(Source, Size);
  // Dest grows as data arrives, never by the claimed size up front.
  if (Size > 0) Dest->CopyFrom(&z, Size);
  z.Finish();
}

}  // namespace tk
