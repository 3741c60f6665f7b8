#pragma once

// Parameters exported to the host: the base parameter (normalised value is the
// plain value), the string-list parameter and the container that owns them.

#include "vst3/abi/EditController.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace vst3
{

class Parameter
{
public:
  Parameter(const TChar* title, ParamID id, const TChar* units = nullptr, ParamValue defaultNormalized = 0.0,
            int32 stepCount = 0, int32 flags = ParameterInfo::kCanAutomate, UnitID unitId = kRootUnitId,
            const TChar* shortTitle = nullptr);
  explicit Parameter(const ParameterInfo& info);
  virtual ~Parameter() = default;

  const ParameterInfo& getInfo() const { return mInfo; }
  ParameterInfo& getInfo() { return mInfo; }

  // Clamps to [0, 1]; true when the stored value changed.
  virtual bool setNormalized(ParamValue value);
  ParamValue getNormalized() const { return mValue; }

  // One step: "On"/"Off"; otherwise the value with `precision` decimals.
  virtual void toString(ParamValue valueNormalized, String128 string) const;
  virtual bool fromString(const TChar* string, ParamValue& valueNormalized) const;
  virtual ParamValue toPlain(ParamValue valueNormalized) const { return valueNormalized; }
  virtual ParamValue toNormalized(ParamValue plainValue) const { return plainValue; }

  int32 getPrecision() const { return mPrecision; }
  void setPrecision(int32 precision) { mPrecision = precision; }

protected:
  ParameterInfo mInfo{};
  ParamValue mValue = 0.0;
  int32 mPrecision = 4;
};

// An enumeration: step count = entries - 1, normalised value index / steps.
class StringListParameter : public Parameter
{
public:
  StringListParameter(const TChar* title, ParamID id, const TChar* units = nullptr,
                      int32 flags = ParameterInfo::kCanAutomate | ParameterInfo::kIsList,
                      UnitID unitId = kRootUnitId, const TChar* shortTitle = nullptr);

  void appendString(std::u16string_view string);
  bool replaceString(int32 index, std::u16string_view string);
  void clear();
  int32 entryCount() const { return static_cast<int32>(mStrings.size()); }

  void toString(ParamValue valueNormalized, String128 string) const override;
  bool fromString(const TChar* string, ParamValue& valueNormalized) const override;
  ParamValue toPlain(ParamValue valueNormalized) const override;
  ParamValue toNormalized(ParamValue plainValue) const override;

private:
  std::vector<std::u16string> mStrings;
};

// Owns the parameters in insertion order (the host's index) with an ID lookup.
class ParameterContainer
{
public:
  // Takes ownership. A parameter with ID kNoParamId gets the current count as ID.
  Parameter* addParameter(std::unique_ptr<Parameter> parameter);
  int32 getParameterCount() const { return static_cast<int32>(mParams.size()); }
  Parameter* getParameterByIndex(int32 index) const;
  Parameter* getParameter(ParamID id) const;
  void removeAll();

private:
  std::vector<std::unique_ptr<Parameter>> mParams;
  std::unordered_map<ParamID, size_t> mIndexById;
};

} // namespace vst3
