#pragma once

// The whole-engine reference runs in testdata/engine: one stereo input, three
// parameter sets, the expected outputs and meter records.

#include "tests/dsp/ReferenceData.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace testdata
{

constexpr int kEngineFrames = 24000;
constexpr int kEngineBlock = 512;

using ParamSet = std::array<double, 26>;

// Parameter defaults, in index order.
inline ParamSet DefaultParams()
{
  return {0, 0, 0, 0, 0, 0, -40, -40, -40, -30, -30, -30, 100, 100, 100, 0, 0, 0, 0, 0, 0, 0, 50, 100, 0, 0};
}

inline ParamSet TorvPresetParams()
{
  const double sixth = 0.16666666666666666;
  return {sixth, sixth, sixth, 0.25, 0.25, 0.25, -42, -40, -38, -30, -24, -28, 50, 110, 120,
          0,     0,     0,     0,    0,    0,    0,   100, 100, 0,   0};
}

inline ParamSet UpALotPresetParams()
{
  return {0.5, 0.5, 0.5, 0, 0, 0, -30, -30, -27, -20, -20, -15, 0, 100, 100, 0, 0, 0, 0, 0, 0, -0.5, 100, 100, 0, 0};
}

// "UP A LOT" with excite, modes, width, time, mix and out gain changed.
inline ParamSet MixedParams()
{
  ParamSet p = UpALotPresetParams();
  p[15] = 100;
  p[16] = 50;
  p[17] = 25;
  p[18] = 1;
  p[20] = 2;
  p[13] = 150;
  p[21] = 0.25;
  p[23] = 80;
  p[24] = -0.2;
  return p;
}

// Interleaved little-endian doubles, L R L R ...
inline std::vector<double> ReadStereoF64(const std::string& name)
{
  std::ifstream file(std::string(CALVORIN_TESTDATA_DIR) + "/engine/" + name, std::ios::binary);
  std::vector<double> samples(static_cast<size_t>(kEngineFrames) * 2);
  file.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * sizeof(double)));
  if (!file)
    samples.clear();
  return samples;
}

struct MeterLine
{
  int tag;
  float first;
  float second;
};

inline std::vector<MeterLine> ReadMeterLines(const std::string& name)
{
  const CsvTable table = ReadCsv("engine/" + name);
  std::vector<MeterLine> lines;
  for (size_t row = 0; row < table.rows.size(); ++row)
    lines.push_back({static_cast<int>(table.Number(row, "tag")), std::strtof(table.Text(row, "avg_a").c_str(), nullptr),
                     std::strtof(table.Text(row, "avg_b").c_str(), nullptr)});
  return lines;
}

} // namespace testdata
