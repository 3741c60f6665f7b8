#pragma once

#include <sndfile.h>

namespace calvorin::cli
{

// Whether the linked libsndfile was built with this container (SF_FORMAT_FLAC,
// ...): the Windows build's has no codec libraries, so no FLAC, OGG or MPEG.
inline bool LibsndfileHas(int major)
{
  int count = 0;
  sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof(count));
  for (int i = 0; i < count; ++i)
  {
    SF_FORMAT_INFO info{};
    info.format = i;
    if (sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &info, sizeof(info)) == 0 &&
        (info.format & SF_FORMAT_TYPEMASK) == major)
      return true;
  }
  return false;
}

} // namespace calvorin::cli
