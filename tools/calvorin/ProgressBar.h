#pragma once

#include <ostream>
#include <string>

namespace calvorin::cli
{

// Files shorter than this render without a progress bar.
constexpr double kProgressMinSeconds = 3.0;

// A one-line progress bar redrawn in place with carriage returns. A disabled
// bar writes nothing (for example when stderr is not a terminal).
class ProgressBar
{
public:
  ProgressBar(std::ostream& stream, bool enabled, std::string label);
  ~ProgressBar();

  // fraction in 0..1; redraws only when the shown percentage changes.
  void Update(double fraction);
  // Clears the line. Also done by the destructor.
  void Finish();

  static bool StderrIsTerminal();

private:
  std::ostream& mStream;
  bool mEnabled;
  std::string mLabel;
  int mShownPercent = -1;
};

} // namespace calvorin::cli
