#pragma once

// The XML our SVG images are written in, read one element tag at a time.
// Comments, processing instructions, the document type and text are skipped;
// nesting is checked. Anything malformed ends the reading with an error.

#include <string>
#include <string_view>
#include <vector>

namespace igraphics
{

struct XmlAttribute
{
  std::string name;
  std::string value; // entities replaced
};

class SVGXmlReader
{
public:
  enum class EToken { StartElement, EndElement, End, Error };

  // Deeper nesting than this is refused rather than followed.
  static constexpr int kMaxDepth = 256;

  explicit SVGXmlReader(std::string_view text) : mText(text)
  {
    if (mText.starts_with("\xEF\xBB\xBF")) // byte order mark
      mText.remove_prefix(3);
  }

  // The next tag. A self-closing tag gives StartElement, then EndElement.
  // End only after the one root element has closed.
  EToken Next();

  // The element's name and attributes, valid after StartElement.
  const std::string& Name() const { return mName; }
  const std::vector<XmlAttribute>& Attributes() const { return mAttributes; }
  int Depth() const { return static_cast<int>(mOpen.size()); }
  const std::string& Error() const { return mError; }

private:
  EToken Fail(const std::string& what);
  bool SkipPast(std::string_view terminator);
  bool SkipDoctype();
  bool ReadName(std::string& name);
  bool ReadAttributeValue(std::string& value);
  void SkipSpace();

  std::string_view mText;
  std::size_t mPos = 0;
  std::vector<std::string> mOpen;
  std::string mName;
  std::vector<XmlAttribute> mAttributes;
  std::string mError;
  bool mPendingEnd = false;
  bool mRootClosed = false;
  bool mFailed = false;
};

} // namespace igraphics
