#include "resources/EmbeddedResources.h"

#include <cctype>
#include <string>

extern "C" {
extern const unsigned char calvorin_asset_roboto_regular_begin[];
extern const unsigned char calvorin_asset_roboto_regular_end[];
extern const unsigned char calvorin_asset_logo_svg_begin[];
extern const unsigned char calvorin_asset_logo_svg_end[];
}

namespace igraphics
{

namespace
{

struct EmbeddedEntry
{
  const char* upperName;
  const unsigned char* begin;
  const unsigned char* end;
};

const EmbeddedEntry kEntries[] = {
  {"ROBOTO-REGULAR.TTF", calvorin_asset_roboto_regular_begin, calvorin_asset_roboto_regular_end},
  {"LOGO.SVG", calvorin_asset_logo_svg_begin, calvorin_asset_logo_svg_end},
};

} // namespace

ResourceView FindEmbeddedResource(std::string_view fileName)
{
  std::string upper(fileName);
  for (char& c : upper)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

  for (const EmbeddedEntry& e : kEntries)
  {
    if (upper == e.upperName)
      return {e.begin, static_cast<std::size_t>(e.end - e.begin)};
  }
  return {};
}

} // namespace igraphics
