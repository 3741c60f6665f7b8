#include "graphics/SVGXmlReader.h"

#include "core/Utf8Encode.h"

#include <algorithm>
#include <cstdint>

namespace igraphics
{

namespace
{

bool IsSpace(char c)
{
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsNameChar(char c)
{
  const auto u = static_cast<unsigned char>(c);
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == ':' ||
         c == '-' || c == '.' || u >= 0x80;
}

// One entity after '&' up to its ';'; false when unknown or malformed.
bool DecodeEntity(std::string_view entity, std::string& out)
{
  if (entity == "amp") out += '&';
  else if (entity == "lt") out += '<';
  else if (entity == "gt") out += '>';
  else if (entity == "quot") out += '"';
  else if (entity == "apos") out += '\'';
  else if (entity.size() > 1 && entity[0] == '#')
  {
    const bool hex = entity[1] == 'x';
    const std::string_view digits = entity.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 6)
      return false;
    uint32_t cp = 0;
    for (char c : digits)
    {
      int v = -1;
      if (c >= '0' && c <= '9') v = c - '0';
      else if (hex && c >= 'a' && c <= 'f') v = c - 'a' + 10;
      else if (hex && c >= 'A' && c <= 'F') v = c - 'A' + 10;
      if (v < 0)
        return false;
      cp = cp * (hex ? 16u : 10u) + static_cast<uint32_t>(v);
    }
    if (cp == 0 || cp > 0x10FFFF)
      return false;
    iplug::AppendUtf8(out, static_cast<char32_t>(cp));
  }
  else
    return false;
  return true;
}

} // namespace

SVGXmlReader::EToken SVGXmlReader::Fail(const std::string& what)
{
  if (!mFailed)
    mError = what + " at byte " + std::to_string(mPos);
  mFailed = true;
  return EToken::Error;
}

void SVGXmlReader::SkipSpace()
{
  while (mPos < mText.size() && IsSpace(mText[mPos]))
    ++mPos;
}

bool SVGXmlReader::SkipPast(std::string_view terminator)
{
  const std::size_t at = mText.find(terminator, mPos);
  if (at == std::string_view::npos)
    return false;
  mPos = at + terminator.size();
  return true;
}

bool SVGXmlReader::SkipDoctype()
{
  // An internal subset in brackets may hold '>' of its own.
  bool inSubset = false;
  for (; mPos < mText.size(); ++mPos)
  {
    const char c = mText[mPos];
    if (c == '[')
      inSubset = true;
    else if (c == ']')
      inSubset = false;
    else if (c == '>' && !inSubset)
    {
      ++mPos;
      return true;
    }
  }
  return false;
}

bool SVGXmlReader::ReadName(std::string& name)
{
  const std::size_t start = mPos;
  while (mPos < mText.size() && IsNameChar(mText[mPos]))
    ++mPos;
  name.assign(mText.substr(start, mPos - start));
  return !name.empty();
}

bool SVGXmlReader::ReadAttributeValue(std::string& value)
{
  if (mPos >= mText.size() || (mText[mPos] != '"' && mText[mPos] != '\''))
    return false;
  const char quote = mText[mPos++];
  value.clear();
  while (mPos < mText.size() && mText[mPos] != quote)
  {
    const char c = mText[mPos];
    if (c == '<')
      return false;
    if (c == '&')
    {
      const std::size_t end = mText.find(';', mPos);
      if (end == std::string_view::npos || end - mPos > 10 ||
          !DecodeEntity(mText.substr(mPos + 1, end - mPos - 1), value))
        return false;
      mPos = end + 1;
      continue;
    }
    value += c;
    ++mPos;
  }
  if (mPos >= mText.size())
    return false;
  ++mPos; // closing quote
  return true;
}

SVGXmlReader::EToken SVGXmlReader::Next()
{
  if (mFailed)
    return EToken::Error;
  if (mPendingEnd)
  {
    mPendingEnd = false;
    mOpen.pop_back();
    mRootClosed = mOpen.empty();
    return EToken::EndElement;
  }
  while (true)
  {
    const std::size_t lt = mText.find('<', mPos);
    // Outside the root only white space may stand between markup.
    if (mOpen.empty())
      for (std::size_t i = mPos; i < std::min(lt, mText.size()); ++i)
        if (!IsSpace(mText[i]))
        {
          mPos = i;
          return Fail("text outside the root element");
        }
    if (lt == std::string_view::npos)
    {
      mPos = mText.size();
      if (!mOpen.empty())
        return Fail("unexpected end of input inside <" + mOpen.back() + ">");
      if (!mRootClosed)
        return Fail("no root element");
      return EToken::End;
    }
    mPos = lt + 1;
    const std::string_view rest = mText.substr(mPos);
    if (rest.starts_with("!--"))
    {
      if (!SkipPast("-->"))
        return Fail("unterminated comment");
      continue;
    }
    if (rest.starts_with("?"))
    {
      if (!SkipPast("?>"))
        return Fail("unterminated processing instruction");
      continue;
    }
    if (rest.starts_with("![CDATA["))
    {
      if (mOpen.empty())
        return Fail("character data outside the root element");
      if (!SkipPast("]]>"))
        return Fail("unterminated character data");
      continue;
    }
    if (rest.starts_with("!DOCTYPE"))
    {
      if (!mOpen.empty() || mRootClosed)
        return Fail("misplaced document type");
      if (!SkipDoctype())
        return Fail("unterminated document type");
      continue;
    }
    if (rest.starts_with("/"))
    {
      ++mPos;
      std::string name;
      if (!ReadName(name))
        return Fail("malformed end tag");
      SkipSpace();
      if (mPos >= mText.size() || mText[mPos] != '>')
        return Fail("malformed end tag </" + name + ">");
      ++mPos;
      if (mOpen.empty() || mOpen.back() != name)
        return Fail("end tag </" + name + "> does not match");
      mOpen.pop_back();
      mRootClosed = mOpen.empty();
      return EToken::EndElement;
    }

    if (mRootClosed)
      return Fail("a second root element");
    if (!ReadName(mName))
      return Fail("malformed tag");
    mAttributes.clear();
    while (true)
    {
      const std::size_t before = mPos;
      SkipSpace();
      if (mPos >= mText.size())
        return Fail("unterminated tag <" + mName + ">");
      const char c = mText[mPos];
      if (c == '>' || c == '/')
      {
        if (c == '/')
        {
          ++mPos;
          if (mPos >= mText.size() || mText[mPos] != '>')
            return Fail("malformed tag <" + mName + ">");
          mPendingEnd = true;
        }
        ++mPos;
        break;
      }
      if (mPos == before)
        return Fail("attributes of <" + mName + "> need white space between them");
      XmlAttribute attribute;
      if (!ReadName(attribute.name))
        return Fail("malformed attribute in <" + mName + ">");
      SkipSpace();
      if (mPos >= mText.size() || mText[mPos] != '=')
        return Fail("attribute " + attribute.name + " has no value");
      ++mPos;
      SkipSpace();
      if (!ReadAttributeValue(attribute.value))
        return Fail("malformed value of attribute " + attribute.name);
      for (const XmlAttribute& seen : mAttributes)
        if (seen.name == attribute.name)
          return Fail("attribute " + attribute.name + " given twice");
      mAttributes.push_back(std::move(attribute));
    }
    if (static_cast<int>(mOpen.size()) >= kMaxDepth)
      return Fail("elements nested too deeply");
    mOpen.push_back(mName);
    return EToken::StartElement;
  }
}

} // namespace igraphics
