#include "vst3/base/StringConvert.h"

#include <gtest/gtest.h>

using namespace vst3;

TEST(Vst3StringConvert, Utf8AndUtf16RoundTripIncludingSurrogatePairs)
{
  const std::string text = "Gain \xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB9"; // e-acute, euro, a keyboard emoji
  TChar wide[128];
  ASSERT_TRUE(Utf8ToUtf16(text, wide, 128));
  EXPECT_EQ(wide[5], u'\u00E9');
  EXPECT_EQ(wide[11], 0xD83C); // high surrogate of U+1F3B9
  EXPECT_EQ(Utf16ToUtf8(wide, 128), text);
}

TEST(Vst3StringConvert, ConversionsRespectBoundsAndNeverReadPastTheGivenLength)
{
  TChar dst[4] = {u'x', u'x', u'x', u'x'};
  EXPECT_FALSE(Utf8ToUtf16("abcd", dst, 4)); // needs room for the terminator
  EXPECT_EQ(dst[0], u'x');                   // nothing written
  EXPECT_TRUE(Utf8ToUtf16("abc", dst, 4));
  EXPECT_EQ(dst[3], 0);

  const TChar unterminated[3] = {u'a', u'b', u'c'};
  EXPECT_EQ(BoundedLength16(unterminated, 3), 3);
  EXPECT_EQ(Utf16ToUtf8(unterminated, 2), "ab");
  EXPECT_EQ(BoundedLength16(nullptr, 10), 0);

  const TChar lone[2] = {0xD800, u'a'};
  EXPECT_EQ(Utf16ToUtf8(lone, 2), "\xEF\xBF\xBD" "a");

  char narrow[3];
  NarrowLowBytes(u"\u0141abc", 128, narrow, 3);
  EXPECT_STREQ(narrow, "Aa"); // low byte of U+0141 is 'A', then truncated
}

TEST(Vst3StringConvert, BoundedByteCopiesFollowStrncpyAndWideningStopsAtTheBuffer)
{
  char buf[6];
  CopyBounded8(buf, "ab", 6);
  EXPECT_EQ(std::string(buf, 6), std::string("ab\0\0\0\0", 6));
  CopyBounded8(buf, "abcdefgh", 6);
  EXPECT_EQ(std::string(buf, 6), "abcdef"); // not terminated, as documented

  TChar wide[4];
  WidenBytes("Bypass", wide, 4);
  EXPECT_EQ(std::u16string(wide), u"Byp");
  WidenBytes("\xB0", wide, 4);
  EXPECT_EQ(wide[0], 0xFFB0); // a plain char byte is sign-extended

  String128 s128;
  CopyToString128(std::u16string(200, u'z'), s128);
  EXPECT_EQ(BoundedLength16(s128, 128), 127);
}

TEST(Vst3StringConvert, EachMalformedUtf8SequenceBecomesOneReplacementCharacter)
{
  const struct
  {
    const char* utf8;
    std::u16string utf16;
  } cases[] = {
    {"\xE2\x82X", u"\xFFFDX"},                      // cut short before another character
    {"a\xF0\x9F\x8E", u"a\xFFFD"},                  // cut short by the end of the text
    {"\x80\xFF", u"\xFFFD\xFFFD"},                  // stray continuation byte, invalid byte
    {"\xC0\x80", u"\xFFFD\xFFFD"},                  // overlong NUL
    {"\xED\xA0\x80", u"\xFFFD\xFFFD\xFFFD"},        // encoded surrogate
    {"\xF4\x90\x80\x80", u"\xFFFD\xFFFD\xFFFD\xFFFD"}, // past U+10FFFF
  };
  for (const auto& c : cases)
  {
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
    TChar fixed[8];
    ASSERT_TRUE(Utf8ToUtf16(c.utf8, fixed, 8));
    EXPECT_EQ(std::u16string(fixed), c.utf16);
  }
}
