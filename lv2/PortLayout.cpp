#include "lv2/PortLayout.h"

namespace iplug
{

std::string PortLayout::SymbolFromName(const char* name)
{
  std::string symbol;
  bool gap = false;
  for (const char* p = name; p && *p; ++p)
  {
    char c = *p;
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
    const bool keep = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (!keep)
    {
      gap = true;
      continue;
    }
    if (gap && !symbol.empty())
      symbol += '_';
    gap = false;
    symbol += c;
  }
  // A symbol may not start with a digit.
  if (symbol.empty() || (symbol[0] >= '0' && symbol[0] <= '9'))
    symbol.insert(0, "p_");
  return symbol;
}

} // namespace iplug
