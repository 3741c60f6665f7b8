#include "vst3/IPlugVST3ControllerBase.h"

#include "vst3/abi/ChannelContext.h"
#include "vst3/base/StringConvert.h"

#include <array>
#include <cstring>
#include <memory>

namespace iplug
{

namespace
{
// Names of MIDI controllers 0-127, in controller order.
constexpr std::array<const char*, 128> kMidiControllerNames = {
  "BankSel.MSB", "Modulation",   "BreathCtrl",   "Contr. 3",     "Foot Ctrl",    "Porta.Time",   "DataEntMSB",
  "MainVolume",  "Balance",      "Contr. 9",     "Pan",          "Expression",   "FXControl1",   "FXControl2",
  "Contr. 14",   "Contr. 15",    "Gen.Purp.1",   "Gen.Purp.2",   "Gen.Purp.3",   "Gen.Purp.4",   "Contr. 20",
  "Contr. 21",   "Contr. 22",    "Contr. 23",    "Contr. 24",    "Contr. 25",    "Contr. 26",    "Contr. 27",
  "Contr. 28",   "Contr. 29",    "Contr. 30",    "Contr. 31",    "BankSel.LSB",  "Modul. LSB",   "BrthCt LSB",
  "Contr. 35",   "FootCt LSB",   "Port.T LSB",   "DataEntLSB",   "MainVolLSB",   "BalanceLSB",   "Contr. 41",
  "Pan LSB",     "Expr. LSB",    "Contr. 44",    "Contr. 45",    "Contr. 46",    "Contr. 47",    "Gen.P.1LSB",
  "Gen.P.2LSB",  "Gen.P.3LSB",   "Gen.P.4LSB",   "Contr. 52",    "Contr. 53",    "Contr. 54",    "Contr. 55",
  "Contr. 56",   "Contr. 57",    "Contr. 58",    "Contr. 59",    "Contr. 60",    "Contr. 61",    "Contr. 62",
  "Contr. 63",   "Damper Ped",   "Porta. Ped",   "Sostenuto ",   "Soft Pedal",   "Legato Sw",    "Hold 2",
  "SoundCont 1", "SoundCont 2",  "SoundCont 3",  "SoundCont 4",  "SoundCont 5",  "SoundCont 6",  "SoundCont 7",
  "SoundCont 8", "SoundCont 9",  "SoundCont 10", "Gen.Purp.5",   "Gen.Purp.6",   "Gen.Purp.7",   "Gen.Purp.8",
  "Portamento",  "Contr. 85",    "Contr. 86",    "Contr. 87",    "Contr. 88",    "Contr. 89",    "Contr. 90",
  "FX 1 Depth",  "FX 2 Depth",   "FX 3 Depth",   "FX 4 Depth",   "FX 5 Depth",   "Data Incr",    "Data Decr",
  "Non-RegLSB",  "Non-RegMSB",   "Reg LSB",      "Reg MSB",      "Contr. 102",   "Contr. 103",   "Contr. 104",
  "Contr. 105",  "Contr. 106",   "Contr. 107",   "Contr. 108",   "Contr. 109",   "Contr. 110",   "Contr. 111",
  "Contr. 112",  "Contr. 113",   "Contr. 114",   "Contr. 115",   "Contr. 116",   "Contr. 117",   "Contr. 118",
  "Contr. 119",  "Contr. 120",   "Reset Ctrl",   "Local Ctrl",   "AllNoteOff",   "OmniModOff",   "OmniModeOn",
  "MonoModeOn",  "PolyModeOn"};

std::unique_ptr<vst3::Parameter> MakeMidiParameter(const char* name, vst3::ParamID id, double defaultValue,
                                                   vst3::UnitID unitId)
{
  vst3::TChar title[128];
  vst3::WidenBytes(name, title, 128);
  return std::make_unique<vst3::Parameter>(title, id, nullptr, defaultValue, 0, 0, unitId);
}

// Reads a string attribute whose length (in characters) the host gives under
// lengthKey; false when either is missing.
bool ReadChannelString(vst3::IAttributeList* list, const char* lengthKey, const char* key, std::string& out)
{
  vst3::int64 length = 0;
  if (list->getInt(lengthKey, length) != vst3::kResultOk)
    return false;
  // Bounded: hosts report short names; anything beyond is cut.
  if (length < 0 || length > 4096)
    length = length < 0 ? 0 : 4096;
  std::vector<vst3::TChar> buffer(static_cast<size_t>(length) + 1, 0);
  const auto bytes = static_cast<vst3::uint32>(buffer.size() * sizeof(vst3::TChar));
  if (list->getString(key, buffer.data(), bytes) != vst3::kResultOk)
    return false;
  out = vst3::Utf16ToUtf8(buffer.data(), static_cast<vst3::int32>(buffer.size()));
  return true;
}
} // namespace

void IPlugVST3ControllerBase::InitializeController(IEditorDelegate& plug, vst3::EditControllerEx1& controller,
                                                   bool isInstrument, bool doesMidiIn)
{
  vst3::ParameterContainer& params = controller.parameters();
  mBypassParameter = nullptr;
  if (!isInstrument)
  {
    auto bypass = std::make_unique<IPlugVST3BypassParameter>();
    mBypassParameter = bypass.get();
    params.addParameter(std::move(bypass));
  }

  controller.addUnit(std::make_unique<vst3::Unit>(u"Root", vst3::kRootUnitId, vst3::kNoParentUnitId));

  mGroupNames.clear();
  for (int i = 0; i < plug.NParams(); ++i)
  {
    IParam* param = plug.GetParam(i);
    vst3::UnitID unitId = vst3::kRootUnitId;
    const char* group = param->GetGroup();
    if (group && group[0] != 0)
    {
      for (size_t g = 0; g < mGroupNames.size(); ++g)
        if (mGroupNames[g] == group)
          unitId = static_cast<vst3::UnitID>(g + 1);
      if (unitId == vst3::kRootUnitId)
      {
        mGroupNames.emplace_back(group);
        unitId = static_cast<vst3::UnitID>(mGroupNames.size());
        vst3::TChar name[128];
        vst3::WidenBytes(group, name, 128);
        controller.addUnit(std::make_unique<vst3::Unit>(name, unitId, vst3::kRootUnitId));
      }
    }
    params.addParameter(std::make_unique<IPlugVST3Parameter>(param, static_cast<vst3::ParamID>(i), unitId));
  }

  if (doesMidiIn)
  {
    const auto ccUnit = static_cast<vst3::UnitID>(controller.getUnitCount() + 1);
    controller.addUnit(std::make_unique<vst3::Unit>(u"MIDI CCs", ccUnit, vst3::kRootUnitId));
    const auto channelUnit = static_cast<vst3::UnitID>(controller.getUnitCount() + 1);
    controller.addUnit(std::make_unique<vst3::Unit>(u"CH1", channelUnit, ccUnit));
    for (size_t n = 0; n < kMidiControllerNames.size(); ++n)
      params.addParameter(MakeMidiParameter(kMidiControllerNames[n], kMidiCCParamStartID + static_cast<vst3::ParamID>(n),
                                            0.0, channelUnit));
    params.addParameter(MakeMidiParameter("Channel Aftertouch", kMidiCCParamStartID + 128, 0.0, channelUnit));
    params.addParameter(MakeMidiParameter("Pitch Bend", kMidiCCParamStartID + 129, 0.5, channelUnit));
  }
}

vst3::tresult IPlugVST3ControllerBase::SetChannelContextInfos(vst3::IAttributeList* list)
{
  namespace cc = vst3::ChannelContext;
  if (!list)
    return vst3::kResultFalse;
  ReadChannelString(list, cc::kChannelNameLengthKey, cc::kChannelNameKey, mChannelName);
  ReadChannelString(list, cc::kChannelUIDLengthKey, cc::kChannelUIDKey, mChannelUID);
  vst3::int64 value = 0;
  if (list->getInt(cc::kChannelIndexKey, value) == vst3::kResultOk)
    mChannelIndex = static_cast<int>(value);
  if (list->getInt(cc::kChannelColorKey, value) == vst3::kResultOk)
    mChannelColor = static_cast<unsigned>(value);
  if (list->getInt(cc::kChannelIndexNamespaceOrderKey, value) == vst3::kResultOk)
    mChannelNamespaceOrder = static_cast<int>(value);
  ReadChannelString(list, cc::kChannelIndexNamespaceLengthKey, cc::kChannelIndexNamespaceKey, mChannelNamespace);
  return vst3::kResultOk;
}

void IPlugVST3ControllerBase::GetChannelColor(int& r, int& g, int& b) const
{
  r = static_cast<int>((mChannelColor >> 16) & 0xFF);
  g = static_cast<int>((mChannelColor >> 8) & 0xFF);
  b = static_cast<int>(mChannelColor & 0xFF);
}

} // namespace iplug
