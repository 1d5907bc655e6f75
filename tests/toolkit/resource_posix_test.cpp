#include <gtest/gtest.h>

#include "toolkit/Streams.h"

using namespace tk;

TEST(NativeResources, RegisteredBytesAreFoundByNameAndTypeIgnoringCase) {
  RegisterNativeResource(L"kxSHDA", RT_RCDATA_NAME, "\x89PNG", 4);
  TResourceStream r(nullptr, L"KXSHDA");
  ASSERT_EQ(r.Size(), 4);
  char b[4];
  r.ReadBuffer(b, 4);
  EXPECT_EQ(std::string(b, 4), "\x89PNG");
  EXPECT_THROW(r.WriteBuffer("x", 1), EWriteError);
  EXPECT_THROW(TResourceStream(nullptr, L"kxSHDA", L"PNG"), EStreamError);
}
