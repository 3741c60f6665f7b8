#include "vst3/host/Strings.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vst3host;

TEST(HostStrings, ClassIdTextIsTheSameOnEveryPlatformAndBytesFollowThePlatformRule)
{
  const vst3::Uid uid = vst3::MakeUid(0xF2AEE70D, 0x00DE4F4E, 0x466D6368, 0x5241764B);
  EXPECT_EQ(UidToString(uid.bytes), "F2AEE70D00DE4F4E466D63685241764B");

#if VST3_COM_COMPATIBLE
  const unsigned char expected[16] = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F,
                                      0x46, 0x6D, 0x63, 0x68, 0x52, 0x41, 0x76, 0x4B};
#else
  const unsigned char expected[16] = {0xF2, 0xAE, 0xE7, 0x0D, 0x00, 0xDE, 0x4F, 0x4E,
                                      0x46, 0x6D, 0x63, 0x68, 0x52, 0x41, 0x76, 0x4B};
#endif
  char parsed[16];
  ASSERT_TRUE(UidFromString("f2aee70d00de4f4e466d63685241764b", parsed));
  EXPECT_EQ(std::memcmp(parsed, expected, 16), 0);
  EXPECT_EQ(std::memcmp(parsed, uid.bytes, 16), 0);

  EXPECT_FALSE(UidFromString("F2AEE70D00DE4F4E466D63685241764", parsed)) << "31 characters";
  EXPECT_FALSE(UidFromString("G2AEE70D00DE4F4E466D63685241764B", parsed)) << "not hex";
}

TEST(HostStrings, FixedFieldsAreReadOnlyUpToTheirSize)
{
  const char full[4] = {'a', 'b', 'c', 'd'}; // no terminator, as a filled field may be
  EXPECT_EQ(FixedString(full), "abcd");
  const char padded[8] = {'h', 'i', 0, 'x', 0, 0, 0, 0};
  EXPECT_EQ(FixedString(padded), "hi");
  EXPECT_EQ(FixedString(nullptr, 8), "");
}

TEST(HostStrings, Utf16ConversionsHandleSurrogatesBoundsAndTruncation)
{
  const vst3::char16 text[] = {u'd', u'B', 0x00B5, 0xD83D, 0xDE00, 0};
  EXPECT_EQ(Utf16ToUtf8(text, 16), "dB\xC2\xB5\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16ToUtf8(text, 2), "dB") << "reads no further than the given length";
  const vst3::char16 lone[] = {0xD83D, u'x', 0};
  EXPECT_EQ(Utf16ToUtf8(lone, 8), "\xEF\xBF\xBDx");

  EXPECT_EQ(Utf8ToUtf16("dB\xC2\xB5\xF0\x9F\x98\x80"), std::u16string(text));
  EXPECT_EQ(Utf8ToUtf16("\xC2"), u"\xFFFD") << "a cut sequence becomes one replacement character";

  vst3::char16 out[4];
  EXPECT_TRUE(CopyToUtf16("abc", out, 4));
  EXPECT_EQ(std::u16string(out), u"abc");
  EXPECT_FALSE(CopyToUtf16("abcdef", out, 4));
  EXPECT_EQ(std::u16string(out), u"abc") << "truncated and still terminated";
}
