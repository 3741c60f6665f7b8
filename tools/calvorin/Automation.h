#pragma once

#include "tools/calvorin/CommandLine.h"
#include "tools/calvorin/EffectHost.h"

#include <string>
#include <vector>

namespace calvorin::cli
{

// Reads "NAME=TIME:VALUE[,TIME:VALUE]..." of --automate: TIME in seconds from
// the start of the file, a decimal number, rising from point to point; VALUE
// as typed (read later against the parameter). One line in error when not.
bool ParseAutomation(const std::string& text, AutomationArgument& automation, std::string& error);

// A --automate resolved against the effect: normalised values at times.
struct AutomationCurve
{
  struct Point
  {
    double seconds = 0.0;
    double normalized = 0.0;
  };
  int id = 0;
  std::string title;
  bool stepped = false; // a switch or list: changes at its points, no line between them
  std::vector<Point> points;
  // One line for each point whose value was clamped, as for --set
  // (ResolvedSetting::adjustment), with the point's time.
  std::vector<std::string> adjustments;
};

// NAME and every VALUE as --set reads them; one curve per parameter.
bool ResolveAutomation(EffectHost& host, const std::vector<HostParameter>& parameters,
                       const AutomationArgument& automation, const std::vector<AutomationCurve>& earlier,
                       AutomationCurve& curve, std::string& error);

// Plays curves to the effect as a host plays automation: each point as a
// queue point in the block that holds it, at its offset; and for a continuous
// parameter whose line runs on past a block, a point on the line at the
// block's last frame, so the effect's straight line between two points of a
// queue is the curve's. Before its first point a parameter keeps the value it
// had; a point's time is rounded to the nearest frame.
class AutomationPlayer
{
public:
  // After the preset and --set: reads the values the curves start from.
  // False when two points of a curve fall on one frame.
  bool Start(EffectHost& host, const std::vector<AutomationCurve>& curves, double sampleRate, std::string& error);
  // The points of frames [start, start + n) for the next processed block.
  bool SendBlock(EffectHost& host, long long start, int n, std::string& error) const;

private:
  struct Knot
  {
    long long frame;
    double normalized;
  };
  struct Track
  {
    int id;
    std::string title;
    bool stepped;
    std::vector<Knot> knots; // frames rising
  };
  std::vector<Track> mTracks;
};

} // namespace calvorin::cli
