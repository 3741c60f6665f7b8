#pragma once

#include <string>
#include <vector>

namespace calvorin::cli
{

constexpr int kLevelPlotWidth = 960;
constexpr int kLevelPlotHeight = 400;
constexpr double kLevelPlotTopDb = 6.0;
constexpr double kLevelPlotBottomDb = -60.0;

// Draws short-term level over time, input against output, into a PNG file
// (written beside the destination and renamed into place). The series hold
// one dBFS value per hopSeconds.
bool WriteLevelPlot(const std::string& path, const std::string& title, double hopSeconds,
                    const std::vector<double>& inputDb, const std::vector<double>& outputDb, std::string& error);

} // namespace calvorin::cli
