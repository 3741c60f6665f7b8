#pragma once

// A unit (parameter group) as listed by IUnitInfo.

#include "vst3/abi/Units.h"
#include "vst3/base/StringConvert.h"

#include <string_view>

namespace vst3
{

class Unit
{
public:
  // The default parent is the root unit; the root itself passes kNoParentUnitId.
  Unit(std::u16string_view name, UnitID id, UnitID parentId = kRootUnitId,
       ProgramListID programListId = kNoProgramListId)
  {
    mInfo.id = id;
    mInfo.parentUnitId = parentId;
    CopyToString128(name, mInfo.name);
    mInfo.programListId = programListId;
  }

  const UnitInfo& getInfo() const { return mInfo; }
  UnitID getID() const { return mInfo.id; }

private:
  UnitInfo mInfo{};
};

} // namespace vst3
