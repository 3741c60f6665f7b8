#include "tools/calvorin/ProgressBar.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace calvorin::cli
{

namespace
{
constexpr int kBarWidth = 40;
}

ProgressBar::ProgressBar(std::ostream& stream, bool enabled, std::string label)
  : mStream(stream)
  , mEnabled(enabled)
  , mLabel(std::move(label))
{
}

ProgressBar::~ProgressBar()
{
  Finish();
}

void ProgressBar::Update(double fraction)
{
  if (!mEnabled)
    return;
  fraction = std::clamp(std::isnan(fraction) ? 0.0 : fraction, 0.0, 1.0);
  const int percent = static_cast<int>(fraction * 100.0);
  if (percent == mShownPercent)
    return;
  mShownPercent = percent;
  const int filled = static_cast<int>(fraction * kBarWidth);
  std::string line = "\r" + mLabel + " [";
  line.append(static_cast<size_t>(filled), '#');
  line.append(static_cast<size_t>(kBarWidth - filled), ' ');
  line += "] ";
  const std::string number = std::to_string(percent);
  line.append(3 - std::min<size_t>(3, number.size()), ' ');
  line += number + "%";
  mStream << line << std::flush;
}

void ProgressBar::Finish()
{
  if (!mEnabled || mShownPercent < 0)
    return;
  const size_t width = mLabel.size() + kBarWidth + 9;
  mStream << '\r' << std::string(width, ' ') << '\r' << std::flush;
  mShownPercent = -1;
}

bool ProgressBar::StderrIsTerminal()
{
  return isatty(STDERR_FILENO) == 1;
}

} // namespace calvorin::cli
