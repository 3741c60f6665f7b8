#include "vst3/host/AttributeList.h"

#include "vst3/host/Strings.h"

#include <algorithm>
#include <cstring>

namespace vst3host
{

vst3::tresult VST3_CALL AttributeList::setInt(AttrID id, vst3::int64 value)
{
  if (!id)
    return vst3::kInvalidArgument;
  mValues[id] = value;
  return vst3::kResultOk;
}

vst3::tresult VST3_CALL AttributeList::getInt(AttrID id, vst3::int64& value)
{
  if (!id)
    return vst3::kInvalidArgument;
  auto it = mValues.find(id);
  if (it == mValues.end() || !std::holds_alternative<vst3::int64>(it->second))
    return vst3::kResultFalse;
  value = std::get<vst3::int64>(it->second);
  return vst3::kResultOk;
}

vst3::tresult VST3_CALL AttributeList::setFloat(AttrID id, double value)
{
  if (!id)
    return vst3::kInvalidArgument;
  mValues[id] = value;
  return vst3::kResultOk;
}

vst3::tresult VST3_CALL AttributeList::getFloat(AttrID id, double& value)
{
  if (!id)
    return vst3::kInvalidArgument;
  auto it = mValues.find(id);
  if (it == mValues.end() || !std::holds_alternative<double>(it->second))
    return vst3::kResultFalse;
  value = std::get<double>(it->second);
  return vst3::kResultOk;
}

vst3::tresult VST3_CALL AttributeList::setString(AttrID id, const vst3::TChar* string)
{
  if (!id || !string)
    return vst3::kInvalidArgument;
  mValues[id] = std::u16string(string);
  return vst3::kResultOk;
}

vst3::tresult VST3_CALL AttributeList::getString(AttrID id, vst3::TChar* string, vst3::uint32 sizeInBytes)
{
  if (!id || !string)
    return vst3::kInvalidArgument;
  auto it = mValues.find(id);
  if (it == mValues.end() || !std::holds_alternative<std::u16string>(it->second))
    return vst3::kResultFalse;
  const std::u16string& s = std::get<std::u16string>(it->second);
  const std::size_t storedBytes = (s.size() + 1) * sizeof(vst3::TChar); // with the terminator
  const std::size_t n = std::min<std::size_t>(storedBytes, sizeInBytes) / sizeof(vst3::TChar);
  std::memcpy(string, s.c_str(), n * sizeof(vst3::TChar));
  return vst3::kResultOk;
}

vst3::tresult VST3_CALL AttributeList::setBinary(AttrID id, const void* data, vst3::uint32 sizeInBytes)
{
  if (!id || (!data && sizeInBytes > 0))
    return vst3::kInvalidArgument;
  const auto* bytes = static_cast<const unsigned char*>(data);
  mValues[id] = std::vector<unsigned char>(bytes, bytes + sizeInBytes);
  return vst3::kResultOk;
}

vst3::tresult VST3_CALL AttributeList::getBinary(AttrID id, const void*& data, vst3::uint32& sizeInBytes)
{
  if (!id)
    return vst3::kInvalidArgument;
  auto it = mValues.find(id);
  if (it == mValues.end() || !std::holds_alternative<std::vector<unsigned char>>(it->second))
    return vst3::kResultFalse;
  const auto& bytes = std::get<std::vector<unsigned char>>(it->second);
  data = bytes.data();
  sizeInBytes = static_cast<vst3::uint32>(bytes.size());
  return vst3::kResultOk;
}

void AttributeList::SetText(const std::string& id, const std::string& utf8)
{
  mValues[id] = Utf8ToUtf16(utf8);
}

} // namespace vst3host
