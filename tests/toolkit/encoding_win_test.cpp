// The replacing save when the system's replace fails half-way.
#include <gtest/gtest.h>

#include <windows.h>

#include "TempDir.h"
#include "toolkit/Encoding.h"
#include "toolkit/SysUtils.h"

using namespace tk;
using tktest::Bytes;
using tktest::ReadBytes;
using tktest::TempDir;
using tktest::WriteBytes;

namespace {

// What ReplaceFileW without a backup name leaves when it can't rename the
// replacement: the old file already deleted.
unsigned long LosesTheOldFile(const String& Path, const String&) {
  DeleteFileW(Path.c_str());
  return ERROR_UNABLE_TO_MOVE_REPLACEMENT;
}

// The same, and then nothing can be put at Path either.
unsigned long LosesTheOldFileAndBlocksThePath(const String& Path, const String& Temp) {
  LosesTheOldFile(Path, Temp);
  CreateDirectoryW(Path.c_str(), nullptr);
  return ERROR_UNABLE_TO_MOVE_REPLACEMENT;
}

unsigned long Refuses(const String&, const String&) { return ERROR_SHARING_VIOLATION; }

}  // namespace

TEST(ReplacingSave, AReplaceThatLostTheOldFileStillPutsTheNewTextInPlace) {
  TempDir d;
  WriteBytes(d.Path("A.txt"), "old");
  SaveFileReplacing(d.File("A.txt"), Bytes("new"), LosesTheOldFile);
  EXPECT_EQ(ReadBytes(d.Path("A.txt")), "new");
  EXPECT_EQ(d.Names(), std::vector<std::string>{"A.txt"});
}

TEST(ReplacingSave, WhenNothingCanBePutInPlaceTheNewTextIsKeptBesideIt) {
  TempDir d;
  WriteBytes(d.Path("A.txt"), "old");
  EXPECT_THROW(SaveFileReplacing(d.File("A.txt"), Bytes("new"), LosesTheOldFileAndBlocksThePath), EFCreateError);
  std::vector<std::string> names = d.Names();
  ASSERT_EQ(names.size(), 2u);  // the directory in the way and the kept text
  const std::string& kept = names[0] == "A.txt" ? names[1] : names[0];
  EXPECT_EQ(kept.rfind("A.txt.~", 0), 0u) << kept;
  EXPECT_EQ(ReadBytes(d.Path(kept)), "new");
}

TEST(ReplacingSave, AReplaceThatFailsWithTheOldFileIntactLeavesNothingBehind) {
  TempDir d;
  WriteBytes(d.Path("A.txt"), "old");
  EXPECT_THROW(SaveFileReplacing(d.File("A.txt"), Bytes("new"), Refuses), EFCreateError);
  EXPECT_EQ(ReadBytes(d.Path("A.txt")), "old");
  EXPECT_EQ(d.Names(), std::vector<std::string>{"A.txt"});
}
