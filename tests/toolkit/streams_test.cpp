#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "TempDir.h"
#include "toolkit/Streams.h"

using namespace tk;

namespace {

std::string Deflate(const std::string& data, int level = Z_DEFAULT_COMPRESSION) {
  uLongf n = compressBound(static_cast<uLong>(data.size()));
  std::string out(n, '\0');
  EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(data.data()),
                      static_cast<uLong>(data.size()), level),
            Z_OK);
  out.resize(n);
  return out;
}

std::string Sample(size_t n) {
  std::string s;
  uint32_t x = 12345;
  for (size_t i = 0; i < n; ++i) {
    x = x * 1103515245 + 12345;
    s += static_cast<char>(i % 7 == 0 ? (x >> 16) : 'a' + i % 5);
  }
  return s;
}

// Hands out at most Chunk bytes per read, like a pipe or a slow file.
class TTrickleStream : public TMemoryStream {
 public:
  TTrickleStream(const std::string& s, int64_t chunk) : TMemoryStream(s.data(), s.size()), FChunk(chunk) {}
  int64_t Read(void* Buffer, int64_t Count) override { return TMemoryStream::Read(Buffer, std::min(Count, FChunk)); }

 private:
  int64_t FChunk;
};

std::string Contents(TMemoryStream& m) { return std::string(reinterpret_cast<const char*>(m.Memory()), m.Size()); }

String ZlibErrorOf(const std::string& packed, int64_t size) {
  TMemoryStream src(packed.data(), packed.size());
  TMemoryStream dst;
  try {
    InflateExactly(&src, &dst, size);
  } catch (const EZlibError& e) { return e.Message(); }
  return L"<no error>";
}

}  // namespace

TEST(ZlibStream, InflatesAndLeavesTheSourceRightAfterTheStream) {
  for (size_t n : {size_t(0), size_t(1), size_t(1000), size_t(200000)}) {
    std::string data = Sample(n), z = Deflate(data);
    std::string packed = "HEAD" + z + "NEXT";
    for (int64_t chunk : {int64_t(1), int64_t(7), int64_t(1) << 20}) {
      TTrickleStream src(packed, chunk);
      src.SetPosition(4);
      TMemoryStream dst;
      InflateExactly(&src, &dst, static_cast<int64_t>(n));
      EXPECT_EQ(Contents(dst), data) << n << " bytes, chunk " << chunk;
      EXPECT_EQ(src.Position(), static_cast<int64_t>(4 + z.size())) << n << " bytes, chunk " << chunk;
    }
  }
}

TEST(ZlibStream, BackToBackStreamsReadInTurn) {
  std::string a = Sample(5000), b = Sample(77);
  std::string packed = Deflate(a) + Deflate(b, 9);
  TMemoryStream src(packed.data(), packed.size());
  TMemoryStream da, db;
  InflateExactly(&src, &da, static_cast<int64_t>(a.size()));
  InflateExactly(&src, &db, static_cast<int64_t>(b.size()));
  EXPECT_EQ(Contents(da), a);
  EXPECT_EQ(Contents(db), b);
  EXPECT_EQ(src.Position(), src.Size());
}

TEST(ZlibStream, ReleasingTheDecompressorGivesBackReadAheadInput) {
  std::string data = Sample(3000), z = Deflate(data);
  std::string packed = z + "TAIL";
  TMemoryStream src(packed.data(), packed.size());
  {
    TZDecompressionStream zs(&src, static_cast<int64_t>(data.size()));
    std::string got(data.size(), '\0');
    zs.ReadBuffer(got.data(), static_cast<int64_t>(got.size()));
    EXPECT_EQ(got, data);
  }
  char tail[4];
  src.ReadBuffer(tail, 4);
  EXPECT_EQ(std::string(tail, 4), "TAIL");
}

TEST(ZlibStream, DamagedDataRaisesZlibsOwnText) {
  std::string data = Sample(4000), z = Deflate(data);
  std::string badHeader = z;
  badHeader[0] = static_cast<char>(badHeader[0] ^ 0x01);
  EXPECT_EQ(ZlibErrorOf(badHeader, 4000), L"data error");
  std::string badCheck = z;
  badCheck[badCheck.size() - 1] = static_cast<char>(badCheck.back() ^ 0x55);
  EXPECT_EQ(ZlibErrorOf(badCheck, 4000), L"data error");
  EXPECT_EQ(ZlibErrorOf(std::string(64, '\xFF'), 10), L"data error");
}

TEST(ZlibStream, ShortOrTruncatedDataIsAStreamReadError) {
  std::string data = Sample(4000), z = Deflate(data);
  {
    TMemoryStream src(z.data(), z.size());
    TMemoryStream dst;
    try {
      InflateExactly(&src, &dst, 4001);  // the entry claims one byte more than it holds
      FAIL() << "no error";
    } catch (const EReadError& e) { EXPECT_EQ(e.Message(), L"Stream read error"); }
  }
  std::string cut = z.substr(0, z.size() - 3);  // check value cut off
  TMemoryStream src(cut.data(), cut.size());
  TMemoryStream dst;
  EXPECT_THROW(InflateExactly(&src, &dst, 4000), EReadError);
}

TEST(ZlibStream, SizeCapsAreEnforced) {
  std::string data = Sample(4000), z = Deflate(data);
  // More data than the entry claims: refused rather than misreading what follows.
  EXPECT_NE(ZlibErrorOf(z, 3999), L"<no error>");
  // A hostile size is refused before anything is reserved.
  EXPECT_NE(ZlibErrorOf(z, TZDecompressionStream::MaxInflatedSize + 1), L"<no error>");
  EXPECT_NE(ZlibErrorOf(z, -1), L"<no error>");
  // A bomb: a megabyte of zeros claimed as 100 bytes stops at the cap.
  std::string bomb = Deflate(std::string(1 << 20, '\0'));
  TMemoryStream src(bomb.data(), bomb.size());
  TZDecompressionStream zs(&src, 100);
  char buf[4096];
  EXPECT_EQ(zs.Read(buf, sizeof buf), 100);
  EXPECT_THROW(zs.Read(buf, sizeof buf), EZlibError);
  EXPECT_THROW(zs.Finish(), EZlibError);
}

TEST(MemoryStream, ReadsWritesAndSeeks) {
  TMemoryStream m;
  m.WriteBuffer("hello", 5);
  EXPECT_EQ(m.Size(), 5);
  m.SetPosition(8);
  m.WriteBuffer("!", 1);  // past the end: the gap is zero-filled
  EXPECT_EQ(Contents(m), std::string("hello\0\0\0!", 9));
  m.SetPosition(1);
  char b[3];
  m.ReadBuffer(b, 3);
  EXPECT_EQ(std::string(b, 3), "ell");
  EXPECT_EQ(m.Seek(-2, soEnd), 7);
  m.SetSize(2);
  EXPECT_EQ(m.Position(), 2);
  EXPECT_EQ(Contents(m), "he");
  m.Clear();
  EXPECT_EQ(m.Size(), 0);
}

TEST(MemoryStream, ShortReadRaisesStreamReadError) {
  TMemoryStream m("abc", 3);
  char b[4];
  try {
    m.ReadBuffer(b, 4);
    FAIL() << "no error";
  } catch (const EReadError& e) { EXPECT_EQ(e.Message(), L"Stream read error"); }
  TPointerStream p("xyz", 3);
  EXPECT_THROW(p.WriteBuffer("q", 1), EWriteError);
}

TEST(MemoryStream, CopyFromCopiesCountOrTheWholeSource) {
  TMemoryStream src("0123456789", 10);
  src.SetPosition(3);
  TMemoryStream dst;
  dst.CopyFrom(&src, 4);
  EXPECT_EQ(Contents(dst), "3456");
  dst.CopyFrom(&src, 0);  // whole source, from its beginning
  EXPECT_EQ(Contents(dst), "34560123456789");
  EXPECT_THROW(dst.CopyFrom(&src, 1), EReadError);
}

TEST(FileStream, CreatesReadsAndReportsFailures) {
  tktest::TempDir d;
  String p = d.File("data.bin");
  {
    TMemoryStream m("packed bytes", 12);
    m.SaveToFile(p);
  }
  TMemoryStream back;
  back.LoadFromFile(p);
  EXPECT_EQ(Contents(back), "packed bytes");
  String missing = d.File("missing.bin");
  try {
    TFileStream f(missing, fmOpenRead | fmShareDenyWrite);
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    String prefix = L"Cannot open file \"" + missing + L"\". ";
    EXPECT_EQ(e.Message().substr(0, prefix.size()), prefix);
    EXPECT_GT(e.Message().size(), prefix.size());
  }
  String inMissingDir = d.File("nodir") + PathDelim + L"x.bin";
  try {
    TFileStream f(inMissingDir, fmCreate);
    FAIL() << "no error";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message().rfind(L"Cannot create file \"" + inMissingDir + L"\". ", 0), 0u);
  }
}

TEST(ResourceStream, AMissingResourceIsReported) {
  EXPECT_THROW(TResourceStream(nullptr, L"NO_SUCH_RESOURCE_NAME"), EStreamError);
}
