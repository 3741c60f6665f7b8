#include "tools/calvorin/Automation.h"

#include "tools/calvorin/ParameterAssignment.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace calvorin::cli
{

namespace
{

// A decimal number of seconds, 0 or more.
bool ParseSeconds(const std::string& text, double& seconds)
{
  const std::string t = Trim(text);
  const char* end = t.data() + t.size();
  const auto [ptr, ec] = std::from_chars(t.data(), end, seconds, std::chars_format::fixed);
  return !t.empty() && ec == std::errc() && ptr == end && std::isfinite(seconds) && seconds >= 0.0;
}

std::string Seconds(double seconds)
{
  char text[32];
  const auto [ptr, ec] = std::to_chars(text, text + sizeof text, seconds);
  return ec == std::errc() ? std::string(text, ptr) : std::string("?");
}

} // namespace

bool ParseAutomation(const std::string& text, AutomationArgument& automation, std::string& error)
{
  const std::string form = "--automate expects NAME=TIME:VALUE[,TIME:VALUE]...";
  const size_t split = text.find('=');
  if (split == std::string::npos || Trim(text.substr(0, split)).empty())
  {
    error = form + ", got '" + text + "'";
    return false;
  }
  automation = {text.substr(0, split), {}};
  const std::string points = text.substr(split + 1);
  for (size_t begin = 0; begin <= points.size();)
  {
    size_t end = points.find(',', begin);
    if (end == std::string::npos)
      end = points.size();
    const std::string point = points.substr(begin, end - begin);
    const size_t colon = point.find(':');
    AutomationArgument::Point parsed;
    if (colon == std::string::npos || Trim(point.substr(colon + 1)).empty())
    {
      error = form + "; '" + point + "' in '" + text + "' is no TIME:VALUE";
      return false;
    }
    if (!ParseSeconds(point.substr(0, colon), parsed.seconds))
    {
      error = "--automate " + automation.name + ": '" + point.substr(0, colon) +
              "' is no time (seconds from the start, a decimal number such as 1.25)";
      return false;
    }
    if (!automation.points.empty() && !(parsed.seconds > automation.points.back().seconds))
    {
      error = "--automate " + automation.name + ": times must rise, but " + Seconds(parsed.seconds) +
              " s follows " + Seconds(automation.points.back().seconds) + " s";
      return false;
    }
    parsed.value = point.substr(colon + 1);
    automation.points.push_back(parsed);
    begin = end + 1;
  }
  return true;
}

bool ResolveAutomation(EffectHost& host, const std::vector<HostParameter>& parameters,
                       const AutomationArgument& automation, const std::vector<AutomationCurve>& earlier,
                       AutomationCurve& curve, std::string& error)
{
  curve = AutomationCurve{};
  for (const AutomationArgument::Point& point : automation.points)
  {
    ResolvedSetting resolved;
    if (!ResolveSetting(host, parameters, {automation.name, point.value}, resolved, error))
    {
      error = "--automate " + automation.name + " at " + Seconds(point.seconds) + " s: " + error;
      return false;
    }
    curve.id = resolved.id;
    curve.title = resolved.title;
    curve.points.push_back({point.seconds, resolved.normalized});
    if (!resolved.adjustment.empty())
      curve.adjustments.push_back("--automate " + automation.name + " at " + Seconds(point.seconds) +
                                  " s: " + resolved.adjustment);
  }
  for (const HostParameter& parameter : parameters)
  {
    if (parameter.id == curve.id)
      curve.stepped = parameter.stepCount > 0;
  }
  for (const AutomationCurve& other : earlier)
  {
    if (other.id == curve.id)
    {
      error = "--automate names " + curve.title + " twice; give all its points in one";
      return false;
    }
  }
  return true;
}

bool AutomationPlayer::Start(EffectHost& host, const std::vector<AutomationCurve>& curves, double sampleRate,
                             std::string& error)
{
  mTracks.clear();
  for (const AutomationCurve& curve : curves)
  {
    Track track{curve.id, curve.title, curve.stepped, {}};
    for (const AutomationCurve::Point& point : curve.points)
    {
      const long long frame = std::llround(point.seconds * sampleRate);
      if (!track.knots.empty() && frame <= track.knots.back().frame)
      {
        error = "--automate " + curve.title + ": the points at " + Seconds(point.seconds) +
                " s and the one before fall on the same frame at " + Seconds(sampleRate) + " Hz";
        return false;
      }
      track.knots.push_back({frame, point.normalized});
    }
    // The value holds until the first point: the line to it starts one frame before.
    if (!track.knots.empty() && track.knots.front().frame > 0)
      track.knots.insert(track.knots.begin(), {track.knots.front().frame - 1, host.ParameterValue(curve.id)});
    mTracks.push_back(std::move(track));
  }
  return true;
}

bool AutomationPlayer::SendBlock(EffectHost& host, long long start, int n, std::string& error) const
{
  const long long last = start + n - 1;
  for (const Track& track : mTracks)
  {
    const auto in = std::lower_bound(track.knots.begin(), track.knots.end(), start,
                                     [](const Knot& k, long long frame) { return k.frame < frame; });
    auto after = in;
    bool ok = true;
    for (; after != track.knots.end() && after->frame <= last; ++after)
      ok = ok && host.AddPoint(track.id, static_cast<int>(after->frame - start), after->normalized);
    // A line that runs on past the block ends it with a point on the line.
    const bool endsOnKnot = after != track.knots.begin() && (after - 1)->frame == last;
    if (!track.stepped && !endsOnKnot && after != track.knots.end() && after != track.knots.begin())
    {
      const Knot& a = *(after - 1);
      const Knot& b = *after;
      const double t = static_cast<double>(last - a.frame) / static_cast<double>(b.frame - a.frame);
      ok = ok && host.AddPoint(track.id, n - 1, a.normalized + (b.normalized - a.normalized) * t);
    }
    if (!ok)
    {
      error = "--automate " + track.title + " has more points in one block than a host queue holds; use a smaller --block";
      return false;
    }
  }
  return true;
}

} // namespace calvorin::cli
