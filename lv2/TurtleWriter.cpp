#include "lv2/TurtleWriter.h"

#include "lv2/IPlugLV2.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace iplug
{

namespace
{

const char* const kPrefixes = "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
                              "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
                              "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
                              "@prefix opts:  <http://lv2plug.in/ns/ext/options#> .\n"
                              "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
                              "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
                              "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
                              "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
                              "@prefix ui:    <http://lv2plug.in/ns/extensions/ui#> .\n"
                              "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
                              "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n\n";

// A Turtle string literal.
std::string Quoted(const char* text)
{
  std::string out = "\"";
  for (const char* p = text; *p; ++p)
  {
    if (*p == '"' || *p == '\\')
      out += '\\';
    out += *p;
  }
  return out + '"';
}

// A port value as a Turtle decimal: the shortest text that reads back as the
// same 32-bit float, always with a decimal point.
std::string Decimal(double value)
{
  const float f = static_cast<float>(value);
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof(buf), f);
  std::string text(buf, end);
  if (text.find_first_of("eE") != std::string::npos)
  {
    auto [fixedEnd, fixedEc] = std::to_chars(buf, buf + sizeof(buf), f, std::chars_format::fixed);
    text.assign(buf, fixedEnd);
  }
  if (text.find('.') == std::string::npos)
    text += ".0";
  return text;
}

const char* UnitURI(PortScale::Unit unit)
{
  switch (unit)
  {
  case PortScale::Unit::kDecibels: return "units:db";
  case PortScale::Unit::kPercent: return "units:pc";
  case PortScale::Unit::kNone: break;
  }
  return nullptr;
}

const char* const kMeterNames[PortLayout::kNumMeters] = {"Low", "Mid", "High", "Output"};
const char* const kMeterValueNames[PortLayout::kValuesPerMeter] = {"Level", "Dry Level"};

std::string MeterName(int tag, int value)
{
  return std::string(kMeterNames[tag]) + " " + kMeterValueNames[value];
}

void WriteParamPort(std::ostream& out, const IPlugLV2& plug, int paramIdx)
{
  const IParam& param = *plug.GetParam(paramIdx);
  const PortScale& s = plug.Scale(paramIdx);
  out << "    a lv2:InputPort , lv2:ControlPort ;\n"
      << "    lv2:index " << plug.Ports().Param(paramIdx) << " ;\n"
      << "    lv2:symbol " << Quoted(PortLayout::SymbolFromName(param.GetName()).c_str()) << " ;\n"
      << "    lv2:name " << Quoted(param.GetName()) << " ;\n"
      << "    lv2:default " << Decimal(s.defaultValue) << " ;\n"
      << "    lv2:minimum " << Decimal(s.min) << " ;\n"
      << "    lv2:maximum " << Decimal(s.max);
  if (const char* unit = UnitURI(s.unit))
    out << " ;\n    units:unit " << unit;
  std::string properties;
  if (s.toggled)
    properties = "lv2:toggled";
  else if (s.enumeration)
    properties = "lv2:integer , lv2:enumeration";
  else if (s.integer)
    properties = "lv2:integer";
  if (!properties.empty())
    out << " ;\n    lv2:portProperty " << properties;
  if (s.enumeration)
  {
    for (int i = 0; i < param.NDisplayTexts(); ++i)
      out << " ;\n    lv2:scalePoint [ rdfs:label " << Quoted(param.GetDisplayText(i)) << " ; rdf:value "
          << Decimal(param.GetDisplayTextValue(i)) << " ]";
  }
}

void WritePorts(std::ostream& out, const IPlugLV2& plug)
{
  const PortLayout& ports = plug.Ports();
  const char* const audioSymbols[2][2] = {{"in_l", "in_r"}, {"out_l", "out_r"}};
  const char* const audioNames[2][2] = {{"In L", "In R"}, {"Out L", "Out R"}};
  bool first = true;
  auto open = [&]() {
    out << (first ? "  lv2:port [\n" : " , [\n");
    first = false;
  };
  for (int dir = 0; dir < 2; ++dir)
    for (int ch = 0; ch < 2; ++ch)
    {
      open();
      out << "    a lv2:AudioPort , " << (dir == 0 ? "lv2:InputPort" : "lv2:OutputPort") << " ;\n"
          << "    lv2:index " << (dir == 0 ? PortLayout::AudioIn(ch) : PortLayout::AudioOut(ch)) << " ;\n"
          << "    lv2:symbol " << Quoted(audioSymbols[dir][ch]) << " ;\n"
          << "    lv2:name " << Quoted(audioNames[dir][ch]) << "\n  ]";
    }
  for (int i = 0; i < plug.NParams(); ++i)
  {
    open();
    WriteParamPort(out, plug, i);
    out << "\n  ]";
  }
  open();
  out << "    a lv2:InputPort , lv2:ControlPort ;\n"
      << "    lv2:index " << ports.Enabled() << " ;\n"
      << "    lv2:symbol \"enabled\" ;\n"
      << "    lv2:name \"Enabled\" ;\n"
      << "    lv2:designation lv2:enabled ;\n"
      << "    lv2:default 1 ;\n    lv2:minimum 0 ;\n    lv2:maximum 1 ;\n"
      << "    lv2:portProperty lv2:toggled , lv2:integer\n  ]";
  open();
  out << "    a lv2:OutputPort , lv2:ControlPort ;\n"
      << "    lv2:index " << ports.Latency() << " ;\n"
      << "    lv2:symbol \"latency\" ;\n"
      << "    lv2:name \"Latency\" ;\n"
      << "    lv2:designation lv2:latency ;\n"
      << "    lv2:minimum 0 ;\n    lv2:maximum 192000 ;\n"
      << "    units:unit units:frame ;\n"
      << "    lv2:portProperty lv2:reportsLatency , lv2:integer , pprops:notOnGUI\n  ]";
  for (int tag = 0; tag < PortLayout::kNumMeters; ++tag)
    for (int v = 0; v < PortLayout::kValuesPerMeter; ++v)
    {
      open();
      const std::string name = MeterName(tag, v);
      out << "    a lv2:OutputPort , lv2:ControlPort ;\n"
          << "    lv2:index " << ports.Meter(tag, v) << " ;\n"
          << "    lv2:symbol " << Quoted(PortLayout::SymbolFromName(name.c_str()).c_str()) << " ;\n"
          << "    lv2:name " << Quoted(name.c_str()) << " ;\n"
          << "    lv2:minimum 0.0 ;\n    lv2:maximum 1.0 ;\n"
          << "    units:unit units:coef ;\n"
          << "    lv2:portProperty pprops:notOnGUI\n  ]";
    }
  out << " .\n";
}

} // namespace

std::string PresetURI(const IPlugLV2& plug, const BundleNames& names, int presetIdx)
{
  std::string slug = PortLayout::SymbolFromName(plug.GetPresetName(presetIdx));
  std::replace(slug.begin(), slug.end(), '_', '-');
  return names.pluginURI + ":preset:" + slug;
}

std::string ManifestTurtle(const IPlugLV2& plug, const BundleNames& names)
{
  std::ostringstream out;
  out << kPrefixes;
  out << "<" << names.pluginURI << ">\n"
      << "  a lv2:Plugin ;\n"
      << "  lv2:binary <" << names.dspBinary << "> ;\n"
      << "  rdfs:seeAlso <" << names.pluginTurtle << "> .\n\n";
  out << "<" << names.uiURI << ">\n"
      << "  a ui:X11UI ;\n"
      << "  ui:binary <" << names.uiBinary << "> ;\n"
      << "  rdfs:seeAlso <" << names.pluginTurtle << "> .\n";
  for (int i = 0; i < plug.NPresets(); ++i)
  {
    const PresetSlot* slot = plug.GetPreset(i);
    if (!slot || !slot->initialised)
      continue;
    out << "\n<" << PresetURI(plug, names, i) << ">\n"
        << "  a pset:Preset ;\n"
        << "  lv2:appliesTo <" << names.pluginURI << "> ;\n"
        << "  rdfs:label " << Quoted(slot->name) << " ;\n"
        << "  rdfs:seeAlso <" << names.presetsTurtle << "> .\n";
  }
  return out.str();
}

std::string PluginTurtle(const IPlugLV2& plug, const BundleNames& names)
{
  const int version = plug.GetPluginVersion(); // 0xMMMMmmpp
  std::ostringstream out;
  out << kPrefixes;
  out << "<" << names.pluginURI << ">\n"
      << "  a lv2:Plugin , lv2:CompressorPlugin , doap:Project ;\n"
      << "  doap:name " << Quoted(plug.GetPluginName()) << " ;\n"
      << "  doap:maintainer [ foaf:name " << Quoted(plug.GetMfrName()) << " ] ;\n"
      << "  lv2:minorVersion " << ((version >> 8) & 0xFF) << " ;\n"
      << "  lv2:microVersion " << (version & 0xFF) << " ;\n"
      << "  lv2:optionalFeature lv2:hardRTCapable ;\n";
  if (plug.HasUI())
    out << "  ui:ui <" << names.uiURI << "> ;\n";
  WritePorts(out, plug);

  if (plug.HasUI())
  {
    out << "\n<" << names.uiURI << ">\n"
        << "  a ui:X11UI ;\n"
        << "  lv2:requiredFeature ui:idleInterface , ui:parent ;\n"
        << "  lv2:optionalFeature ui:resize , ui:touch , opts:options , urid:map ;\n"
        << "  opts:supportedOption ui:scaleFactor ;\n"
        << "  lv2:extensionData ui:idleInterface";
    const PortLayout& ports = plug.Ports();
    for (int tag = 0; tag < PortLayout::kNumMeters; ++tag)
      for (int v = 0; v < PortLayout::kValuesPerMeter; ++v)
        out << " ;\n  ui:portNotification [ ui:plugin <" << names.pluginURI << "> ; ui:portIndex "
            << ports.Meter(tag, v) << " ; ui:protocol ui:floatProtocol ]";
    out << " .\n";
  }
  return out.str();
}

std::string PresetsTurtle(const IPlugLV2& plug, const BundleNames& names)
{
  std::ostringstream out;
  out << kPrefixes;
  for (int i = 0; i < plug.NPresets(); ++i)
  {
    const PresetSlot* slot = plug.GetPreset(i);
    if (!slot || !slot->initialised)
      continue;
    out << "<" << PresetURI(plug, names, i) << ">\n"
        << "  a pset:Preset ;\n"
        << "  lv2:appliesTo <" << names.pluginURI << "> ;\n"
        << "  rdfs:label " << Quoted(slot->name);
    int pos = 0;
    for (int p = 0; p < plug.NParams() && pos >= 0; ++p)
    {
      double value = 0.0;
      pos = slot->chunk.ReadAt(value, pos);
      if (pos < 0)
        break;
      // Stored as the slot's recall would store it.
      const double real = plug.GetParam(p)->FitToRange(value);
      out << " ;\n  lv2:port [ lv2:symbol "
          << Quoted(PortLayout::SymbolFromName(plug.GetParam(p)->GetName()).c_str()) << " ; pset:value "
          << Decimal(plug.Scale(p).FromReal(real)) << " ]";
    }
    out << " .\n\n";
  }
  return out.str();
}

} // namespace iplug
