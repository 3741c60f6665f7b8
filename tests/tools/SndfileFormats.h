#pragma once

#include <sndfile.h>

namespace calvorin::test
{

// Whether the linked libsndfile has a container (SF_FORMAT_FLAC, ...): the
// Windows build's is made without codec libraries, so it has only the
// built-in formats.
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

inline bool LibsndfileHasFlac()
{
  return LibsndfileHas(SF_FORMAT_FLAC);
}

} // namespace calvorin::test
