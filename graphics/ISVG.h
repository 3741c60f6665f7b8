#pragma once

#include <memory>

namespace igraphics
{

struct SVGDocument; // the parsed image; defined where it is drawn

// A parsed SVG image, shared through the process-wide cache. Copies are cheap.
class ISVG
{
public:
  ISVG() = default;
  explicit ISVG(std::shared_ptr<const SVGDocument> doc) : mDoc(std::move(doc)) {}

  bool IsValid() const { return mDoc != nullptr; }
  // Intrinsic size in pixels at the dpi it was loaded with; 0 when invalid.
  float W() const;
  float H() const;

  const SVGDocument* Document() const { return mDoc.get(); }

private:
  std::shared_ptr<const SVGDocument> mDoc;
};

} // namespace igraphics
