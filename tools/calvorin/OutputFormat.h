#pragma once

#include "tools/calvorin/AudioFile.h"

#include <string>

namespace calvorin::cli
{

// The format calvorin writes to a path: the container its extension names
// (.wav, .aiff/.aif, .caf, .w64, .rf64, .au, .flac, .ogg/.oga (Vorbis), .mp3),
// the input's rate and channels, and the input's sample type where the
// container holds it, else the nearest one it holds. False with a message
// for an extension it does not know or the linked libsndfile cannot write.
bool ChooseOutputFormat(const std::string& path, const AudioFormat& input, AudioFormat& output, std::string& error);

// ".wav, .aiff, ...": the extensions the linked libsndfile can write.
std::string WritableExtensions();

} // namespace calvorin::cli
