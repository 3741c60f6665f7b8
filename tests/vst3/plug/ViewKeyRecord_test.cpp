// Host key codes and characters as the editor's key records, on every platform.

#include "vst3/ViewKeyRecord.h"
#include "vst3/abi/PlugView.h"

#include <gtest/gtest.h>

using namespace vst3;

TEST(ViewKeyRecord, HostKeyCodesBecomeWindowsKeysAndText)
{
  using iplug::MakeViewKeyRecord;
  auto l = MakeViewKeyRecord(0, 156, 0);
  EXPECT_EQ(l.vk, 76);
  EXPECT_STREQ(l.utf8, "L");
  auto zero = MakeViewKeyRecord(0, 128, 0);
  EXPECT_EQ(zero.vk, '0');
  EXPECT_STREQ(zero.utf8, "0");
  auto ret = MakeViewKeyRecord(0, 4, 0);
  EXPECT_EQ(ret.vk, 13);
  EXPECT_STREQ(ret.utf8, "");
  auto space = MakeViewKeyRecord(0, 7, 0);
  EXPECT_EQ(space.vk, 32);
  EXPECT_STREQ(space.utf8, " ");
  EXPECT_EQ(MakeViewKeyRecord(0, 11, 0).vk, 37); // left
  EXPECT_EQ(MakeViewKeyRecord(0, 16, 0).vk, 34); // page down
  EXPECT_EQ(MakeViewKeyRecord(0, 24, 0).vk, 96); // numeric pad 0
  EXPECT_EQ(MakeViewKeyRecord(0, 51, 0).vk, 123); // F12
  EXPECT_EQ(MakeViewKeyRecord(0, 56, 0).vk, 18);  // alt
  EXPECT_EQ(MakeViewKeyRecord(0, 60, 0).vk, 0);   // media stop
  EXPECT_EQ(MakeViewKeyRecord(0, -5, 0).vk, 0);
  auto far = MakeViewKeyRecord(0, 30000, 0);
  EXPECT_EQ(far.vk, 0) << "beyond one byte is no key";
  EXPECT_STREQ(far.utf8, "");

  // Characters without a key code: the key that types them.
  EXPECT_EQ(MakeViewKeyRecord(u'a', 0, 0).vk, 'A');
  EXPECT_EQ(MakeViewKeyRecord(u'?', 0, 0).vk, 0xBF);
  EXPECT_EQ(MakeViewKeyRecord(u'=', 57, 0).vk, 0xBB);
  auto euro = MakeViewKeyRecord(u'\u20AC', 0, 0);
  EXPECT_STREQ(euro.utf8, "\xE2\x82\xAC");
  EXPECT_EQ(euro.vk, 0);
  EXPECT_STREQ(MakeViewKeyRecord(u'\u00E9', 0, 0).utf8, "\xC3\xA9");
  EXPECT_STREQ(MakeViewKeyRecord(0xD800, 0, 0).utf8, "") << "a lone surrogate half has no text";

  auto mods = MakeViewKeyRecord(0, 7, kShiftKey | kAlternateKey | kCommandKey);
  EXPECT_TRUE(mods.S && mods.A && mods.C);
  auto winKey = MakeViewKeyRecord(0, 7, kControlKey);
  EXPECT_FALSE(winKey.S || winKey.A || winKey.C);
}
