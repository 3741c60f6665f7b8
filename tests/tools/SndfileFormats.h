#pragma once

#include "tools/calvorin/SndfileLibrary.h"

namespace calvorin::test
{

using calvorin::cli::LibsndfileHas;

inline bool LibsndfileHasFlac()
{
  return LibsndfileHas(SF_FORMAT_FLAC);
}

} // namespace calvorin::test
