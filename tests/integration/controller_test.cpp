// The edit-controller side: exported parameters, value and text conversions,
// units and program names, MIDI mapping, host edits and channel context.

#include "ModuleFixture.h"

#include "vst3/host/AttributeList.h"
#include "vst3/host/Strings.h"

#include <set>

using namespace calvorin_test;
using namespace vst3host;

using ModuleController = ModuleTest;

TEST_F(ModuleController, TwentySevenParametersWithTheHostBypassFirst)
{
  const auto params = plugin->Parameters();
  ASSERT_EQ(params.size(), 27u);
  const ParameterRecord& bypass = params[0];
  EXPECT_EQ(bypass.id, kHostBypassId);
  EXPECT_EQ(bypass.title, "Bypass");
  EXPECT_EQ(bypass.stepCount, 1);
  EXPECT_EQ(bypass.flags, vst3::ParameterInfo::kCanAutomate | vst3::ParameterInfo::kIsList |
                              vst3::ParameterInfo::kIsBypass);
  EXPECT_EQ(bypass.defaultNormalized, 0.0);

  std::set<vst3::ParamID> ids;
  for (std::size_t i = 1; i < params.size(); ++i) {
    EXPECT_EQ(params[i].id, i - 1) << "indices 1 … 26 are the parameters 0 … 25";
    EXPECT_FALSE(params[i].title.empty());
    EXPECT_GE(params[i].defaultNormalized, 0.0);
    EXPECT_LE(params[i].defaultNormalized, 1.0);
    EXPECT_EQ(params[i].unitId, vst3::kRootUnitId);
    EXPECT_FALSE(params[i].flags & vst3::ParameterInfo::kIsBypass);
    ids.insert(params[i].id);
  }
  EXPECT_EQ(ids.size(), 26u);

  EXPECT_EQ(params[1].title, "Pre-gain Low");
  EXPECT_EQ(params[1].stepCount, 0);
  EXPECT_EQ(params[1].units, "dB");
  const ParameterRecord& modeLow = params[1 + 18];
  EXPECT_EQ(modeLow.title, "Mode Low");
  EXPECT_EQ(modeLow.stepCount, 2);
  EXPECT_EQ(modeLow.flags, vst3::ParameterInfo::kCanAutomate | vst3::ParameterInfo::kIsList);
  const ParameterRecord& ownBypass = params[1 + kPluginBypassId];
  EXPECT_EQ(ownBypass.title, "Bypass");
  EXPECT_EQ(ownBypass.stepCount, 1);
  EXPECT_EQ(ownBypass.flags, vst3::ParameterInfo::kCanAutomate) << "a bool, not a list";

  vst3::ParameterInfo info{};
  EXPECT_NE(plugin->Controller()->getParameterInfo(27, info), vst3::kResultOk);
  EXPECT_NE(plugin->Controller()->getParameterInfo(-1, info), vst3::kResultOk);
}

TEST_F(ModuleController, ValuesAndTextsConvertBothWays)
{
  vst3::IEditController* c = plugin->Controller();
  // Pre-gain Low holds −1 … 1; −0.5 halves the level.
  const double preGainHalf = c->plainParamToNormalized(0, -0.5);
  EXPECT_DOUBLE_EQ(preGainHalf, 0.25);
  EXPECT_DOUBLE_EQ(c->normalizedParamToPlain(0, 0.25), -0.5);
  EXPECT_EQ(plugin->ValueToString(0, preGainHalf), "-6.02");

  EXPECT_EQ(plugin->ValueToString(19, 0.5), "MID") << "Mode Mid at index 1";
  double norm = -1;
  ASSERT_TRUE(plugin->StringToValue(19, "MID", norm));
  EXPECT_DOUBLE_EQ(norm, 0.5);
  ASSERT_TRUE(plugin->StringToValue(19, "SIDE", norm));
  EXPECT_DOUBLE_EQ(norm, 1.0);

  EXPECT_EQ(plugin->ValueToString(kDepthId, 0.5), "50");
  ASSERT_TRUE(plugin->StringToValue(kDepthId, "75", norm));
  EXPECT_DOUBLE_EQ(norm, 0.75);

  EXPECT_EQ(plugin->ValueToString(kHostBypassId, 0.0), "off");
  EXPECT_EQ(plugin->ValueToString(kHostBypassId, 1.0), "on");
  ASSERT_TRUE(plugin->StringToValue(kHostBypassId, "on", norm));
  EXPECT_EQ(norm, 1.0);

  // Numbers too small to store read as a zero with their sign, in every parameter.
  const std::string tiny = "0." + std::string(400, '0') + "1";
  const std::pair<std::string, std::string> underflows[] = {
      {"0x1p-2000", "0"}, {"-0x1p-2000", "-0"}, {tiny, "0"}, {"-" + tiny, "-0"}};
  for (const ParameterRecord& p : plugin->Parameters())
  {
    if (p.id == kHostBypassId)
      continue; // reads "off" and "on" only
    for (const auto& [text, zero] : underflows)
    {
      double parsed = -1.0, expected = -2.0;
      ASSERT_TRUE(plugin->StringToValue(p.id, text, parsed) && plugin->StringToValue(p.id, zero, expected));
      EXPECT_EQ(parsed, expected) << p.title << ": " << text;
    }
  }

  vst3::String128 text{};
  EXPECT_NE(c->getParamStringByValue(12345, 0.5, text), vst3::kResultOk) << "unknown ID";

  // A host string without a terminator is read only up to its buffer.
  vst3::String128 unterminated;
  for (auto& u : unterminated)
    u = u'7';
  EXPECT_NO_FATAL_FAILURE(c->getParamValueByString(kDepthId, unterminated, norm));
}

TEST_F(ModuleController, HostEditsSetOnlyTheExportedParameterAndNeverCallBack)
{
  vst3::IEditController* c = plugin->Controller();
  handler->Clear();
  EXPECT_EQ(c->setParamNormalized(kDepthId, 0.9), vst3::kResultOk);
  EXPECT_DOUBLE_EQ(c->getParamNormalized(kDepthId), 0.9);
  EXPECT_EQ(c->setParamNormalized(kHostBypassId, 1.0), vst3::kResultOk);
  EXPECT_EQ(c->getParamNormalized(kHostBypassId), 1.0);
  EXPECT_NE(c->setParamNormalized(777, 0.5), vst3::kResultOk);
  EXPECT_EQ(c->getParamNormalized(777), 0.0);
  EXPECT_TRUE(handler->Records(ComponentHandler::Call::PerformEdit).empty())
      << "host changes are not echoed to the host";

  std::vector<std::uint8_t> state;
  ASSERT_EQ(plugin->GetState(state), vst3::kResultOk);
  double depth = 0;
  std::memcpy(&depth, state.data() + 8 * kDepthId, 8);
  EXPECT_NEAR(depth, 90.0, 1e-9) << "the plug-in's parameter follows the host edit";
}

TEST_F(ModuleController, OneRootUnitAndThePresetNames)
{
  vst3::IUnitInfo* units = plugin->UnitInfo();
  ASSERT_NE(units, nullptr);
  ASSERT_EQ(units->getUnitCount(), 1);
  vst3::UnitInfo unit{};
  ASSERT_EQ(units->getUnitInfo(0, unit), vst3::kResultOk);
  EXPECT_EQ(unit.id, vst3::kRootUnitId);
  EXPECT_EQ(unit.parentUnitId, vst3::kNoParentUnitId);
  EXPECT_EQ(Utf16ToUtf8(unit.name), "Root");
  EXPECT_EQ(unit.programListId, vst3::kNoProgramListId);
  EXPECT_NE(units->getUnitInfo(1, unit), vst3::kResultOk);
  EXPECT_NE(units->getUnitInfo(-1, unit), vst3::kResultOk);
  EXPECT_EQ(units->getProgramListCount(), 0);

  const char* const presets[] = {"DEFAULT", "TORV", "UP A LOT"};
  for (int i = 0; i < 3; ++i) {
    vst3::String128 name{};
    ASSERT_EQ(units->getProgramName(65537, i, name), vst3::kResultOk);
    EXPECT_EQ(Utf16ToUtf8(name), presets[i]);
  }
  vst3::String128 name{};
  name[0] = u'x';
  ASSERT_EQ(units->getProgramName(65537, 3, name), vst3::kResultOk);
  EXPECT_EQ(Utf16ToUtf8(name), "") << "past the last preset: an empty name";
  EXPECT_EQ(units->getProgramName(65537, -1, name), vst3::kResultOk);
  EXPECT_EQ(Utf16ToUtf8(name), "");
  EXPECT_EQ(units->getProgramName(0, 0, name), vst3::kResultFalse);
}

TEST_F(ModuleController, MidiControllersMapOnChannelZeroOnly)
{
  vst3::IMidiMapping* midi = plugin->MidiMapping();
  ASSERT_NE(midi, nullptr);
  vst3::ParamID id = 0;
  ASSERT_EQ(midi->getMidiControllerAssignment(0, 0, vst3::kCtrlVolume, id), vst3::kResultTrue);
  EXPECT_EQ(id, 65545u);
  EXPECT_EQ(midi->getMidiControllerAssignment(0, 1, vst3::kCtrlVolume, id), vst3::kResultFalse);
  EXPECT_EQ(midi->getMidiControllerAssignment(1, 0, vst3::kCtrlVolume, id), vst3::kResultFalse);
}

TEST_F(ModuleController, ChannelContextIsAcceptedAndANullListRefused)
{
  auto listener = QueryInterface<vst3::ChannelContext::IInfoListener>(plugin->Controller());
  ASSERT_TRUE(listener);
  EXPECT_NE(listener->setChannelContextInfos(nullptr), vst3::kResultOk);
  auto list = MakeCom<AttributeList>();
  list->SetText(vst3::ChannelContext::kChannelNameKey, "Drum Bus");
  list->setInt(vst3::ChannelContext::kChannelNameLengthKey, 8);
  list->setInt(vst3::ChannelContext::kChannelColorKey, 0xFF336699);
  list->setInt(vst3::ChannelContext::kChannelIndexKey, 3);
  // A length larger than the stored text must not read past it.
  list->SetText(vst3::ChannelContext::kChannelIndexNamespaceKey, "Bus");
  list->setInt(vst3::ChannelContext::kChannelIndexNamespaceLengthKey, 200);
  EXPECT_EQ(listener->setChannelContextInfos(list.Get()), vst3::kResultOk);
}

TEST_F(ModuleController, KnobModeHelpAndAboutBox)
{
  auto c2 = QueryInterface<vst3::IEditController2>(plugin->Controller());
  ASSERT_TRUE(c2);
  EXPECT_EQ(c2->setKnobMode(vst3::kLinearMode), vst3::kResultOk);
  EXPECT_EQ(c2->openHelp(1), vst3::kResultFalse);
  EXPECT_EQ(c2->openAboutBox(1), vst3::kResultFalse);
  EXPECT_EQ(plugin->Controller()->createView("not an editor"), nullptr);
  EXPECT_EQ(plugin->Controller()->createView(nullptr), nullptr);
}
