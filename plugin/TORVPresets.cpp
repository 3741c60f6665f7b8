#include "plugin/TORV.h"

void MakeTORVFactoryPresets(iplug::IPluginBase& plug)
{
  constexpr double kSixth = 1.0 / 6.0; // 0.16666666666666666: shows 4.00 dB

  // Values per parameter in index order: pre-gain L/M/H, post-gain L/M/H,
  // pull thresholds, push thresholds, widths, excites, modes (integers), time,
  // depth, mix, out gain, bypass (integer).
  plug.AddFactoryPreset("DEFAULT",
                        0.0, 0.0, 0.0, 0.0, 0.0, 0.0,
                        -40.0, -40.0, -40.0, -30.0, -30.0, -30.0,
                        100.0, 100.0, 100.0, 0.0, 0.0, 0.0,
                        0, 0, 0,
                        0.0, 25.0, 100.0, 0.25, 0);
  plug.AddFactoryPreset("TORV",
                        kSixth, kSixth, kSixth, 0.25, 0.25, 0.25,
                        -42.0, -40.0, -38.0, -30.0, -24.0, -28.0,
                        50.0, 110.0, 120.0, 0.0, 0.0, 0.0,
                        0, 0, 0,
                        0.0, 100.0, 100.0, 0.0, 0);
  plug.AddFactoryPreset("UP A LOT",
                        0.5, 0.5, 0.5, 0.0, 0.0, 0.0,
                        -30.0, -30.0, -27.0, -20.0, -20.0, -15.0,
                        0.0, 100.0, 100.0, 0.0, 0.0, 0.0,
                        0, 0, 0,
                        -0.5, 100.0, 100.0, 0.0, 0);
}
