#pragma once

#include <cstddef>
#include <string_view>

namespace igraphics
{

struct ResourceView
{
  const unsigned char* data = nullptr;
  std::size_t size = 0;

  bool Empty() const { return data == nullptr || size == 0; }
};

// The bytes built into the module under a file name. Names are matched without
// regard to case ("Roboto-Regular.ttf" finds ROBOTO-REGULAR.TTF). Empty when
// there is no such resource.
ResourceView FindEmbeddedResource(std::string_view fileName);

} // namespace igraphics
