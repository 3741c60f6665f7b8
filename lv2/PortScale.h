#pragma once

// How a parameter shows as an LV2 control port: the number a user reads in
// the parameter's own units, its range and default, and the conversions
// between that number and the parameter's real value. A parameter whose real
// value is what it shows needs no conversion.
//
// Thread notes: the conversions run on the audio thread; they allocate nothing.

#include "core/IParam.h"

namespace iplug
{

struct PortScale
{
  enum class Unit
  {
    kNone,
    kDecibels,
    kPercent,
  };

  Unit unit = Unit::kNone;
  double min = 0.0;
  double max = 1.0;
  double defaultValue = 0.0;
  bool integer = false;     // whole numbers only (enumerations, switches, stepped displays)
  bool toggled = false;     // an on/off switch
  bool enumeration = false; // the parameter's display texts are the port's scale points
  // Port number to real value and back; null where the two are the same.
  double (*toReal)(double portValue) = nullptr;
  double (*fromReal)(double realValue) = nullptr;

  // The port for a parameter that shows its real value: its range, default,
  // type and unit (from the unit code or the label: "dB", "%").
  static PortScale ForParam(const IParam& param);

  // Audio thread. Port values outside the range are held at its ends; NaN
  // gives NaN, which callers ignore.
  double ToReal(double portValue) const;
  double FromReal(double realValue) const;
};

} // namespace iplug
