#include "RecordingPlugin.h"

#include <gtest/gtest.h>

#include <string>

using iplug::IdentifyHost;

TEST(IdentifyHost, FirstMatchingTableEntryWins)
{
  EXPECT_EQ(IdentifyHost("REAPER64"), iplug::kHostReaper);
  EXPECT_EQ(IdentifyHost("WaveLab Elements 11"), iplug::kHostWaveLabElements);
  EXPECT_EQ(IdentifyHost("WaveLab Pro"), iplug::kHostWaveLab);
  EXPECT_EQ(IdentifyHost("Ableton Live 11"), iplug::kHostAbletonLive);
  EXPECT_EQ(IdentifyHost("Bitwig Studio"), iplug::kHostBitwig);
  EXPECT_EQ(IdentifyHost("Ardour"), iplug::kHostArdour);
  EXPECT_EQ(IdentifyHost("Mixbus 9"), iplug::kHostMixbus);
  EXPECT_EQ(IdentifyHost("VST3PluginTestHost"), iplug::kHostVST3TestHost);
  EXPECT_EQ(IdentifyHost("Blue Cat's VST Host"), iplug::kHostBlueCat);
  // "live" comes early and claims names that merely contain it.
  EXPECT_EQ(IdentifyHost("Deliverance Standalone"), iplug::kHostAbletonLive);
  EXPECT_EQ(IdentifyHost("Standalone"), iplug::kHostStandalone);
  EXPECT_EQ(IdentifyHost(""), iplug::kHostUnknown);
  EXPECT_EQ(IdentifyHost(nullptr), iplug::kHostUnknown);
  EXPECT_EQ(IdentifyHost("Some Unknown DAW"), iplug::kHostUnknown);
}

TEST(IdentifyHost, LooksAtNoMoreThan255Characters)
{
  const std::string padded = std::string(250, 'x') + "reaper";
  EXPECT_EQ(IdentifyHost(padded.c_str()), iplug::kHostUnknown);
  const std::string fits = std::string(249, 'x') + "reaper";
  EXPECT_EQ(IdentifyHost(fits.c_str()), iplug::kHostReaper);
}

TEST(SetHost, IdentifiesStoresVersionAndAnnounces)
{
  calvorin_test::RecordingPlugin plug(calvorin_test::TestConfig(1, 0));
  EXPECT_EQ(plug.GetHost(), iplug::kHostUninit);
  EXPECT_EQ(plug.GetHostVersion(), 0);
  plug.SetHost("Cubase 12", 12);
  EXPECT_EQ(plug.GetHost(), iplug::kHostCubase);
  EXPECT_EQ(plug.GetHostVersion(), 12);
  EXPECT_STREQ(plug.GetHostName(), "Cubase 12");
  EXPECT_EQ(plug.hostKnown, 1);
  plug.SetHost("Nothing", 0);
  EXPECT_EQ(plug.GetHost(), iplug::kHostUnknown);
}
