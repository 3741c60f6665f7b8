#pragma once

// The host's attribute list (IAttributeList): typed values by key, as carried
// by messages and the channel-context information a host hands to
// controllers.

#include "vst3/abi/Message.h"
#include "vst3/host/ComObject.h"

#include <map>
#include <string>
#include <variant>
#include <vector>

namespace vst3host
{

class AttributeList final : public ComObject<vst3::IAttributeList>
{
public:
  vst3::tresult VST3_CALL setInt(AttrID id, vst3::int64 value) override;
  vst3::tresult VST3_CALL getInt(AttrID id, vst3::int64& value) override;
  vst3::tresult VST3_CALL setFloat(AttrID id, double value) override;
  vst3::tresult VST3_CALL getFloat(AttrID id, double& value) override;
  // Strings are NUL-terminated UTF-16; getString's size is in bytes and a
  // value longer than the buffer is cut without a terminator, as hosts do.
  vst3::tresult VST3_CALL setString(AttrID id, const vst3::TChar* string) override;
  vst3::tresult VST3_CALL getString(AttrID id, vst3::TChar* string, vst3::uint32 sizeInBytes) override;
  vst3::tresult VST3_CALL setBinary(AttrID id, const void* data, vst3::uint32 sizeInBytes) override;
  vst3::tresult VST3_CALL getBinary(AttrID id, const void*& data, vst3::uint32& sizeInBytes) override;

  // Host-side convenience: a UTF-8 string stored as UTF-16.
  void SetText(const std::string& id, const std::string& utf8);

private:
  using Value = std::variant<vst3::int64, double, std::u16string, std::vector<unsigned char>>;
  std::map<std::string, Value> mValues;
};

} // namespace vst3host
