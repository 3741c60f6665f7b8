#pragma once

// Note and MIDI events exchanged in process().

#include "vst3/abi/FUnknown.h"

#include <cstddef>

namespace vst3
{

struct NoteOnEvent
{
  int16 channel;
  int16 pitch;
  float tuning;
  float velocity;
  int32 length;
  int32 noteId;
};

struct NoteOffEvent
{
  int16 channel;
  int16 pitch;
  float velocity;
  int32 noteId;
  float tuning;
};

struct DataEvent
{
  enum DataTypes : uint32
  {
    kMidiSysEx = 0
  };
  uint32 size;
  uint32 type;
  const uint8* bytes;
};

struct PolyPressureEvent
{
  int16 channel;
  int16 pitch;
  float pressure;
  int32 noteId;
};

struct ChordEvent
{
  int16 root;
  int16 bassNote;
  int16 mask;
  uint16 textLen;
  const TChar* text;
};

struct ScaleEvent
{
  int16 root;
  int16 mask;
  uint16 textLen;
  const TChar* text;
};

struct LegacyMIDICCOutEvent
{
  uint8 controlNumber;
  int8 channel;
  int8 value;
  int8 value2;
};

struct NoteExpressionValueEvent
{
  uint32 typeId;
  int32 noteId;
  double value;
};

struct NoteExpressionTextEvent
{
  uint32 typeId;
  int32 noteId;
  uint32 textLen;
  const TChar* text;
};

struct Event
{
  enum EventFlags : uint16
  {
    kIsLive = 1 << 0,
    kUserReserved1 = 1 << 14,
    kUserReserved2 = 1 << 15
  };
  enum EventTypes : uint16
  {
    kNoteOnEvent = 0,
    kNoteOffEvent = 1,
    kDataEvent = 2,
    kPolyPressureEvent = 3,
    kNoteExpressionValueEvent = 4,
    kNoteExpressionTextEvent = 5,
    kChordEvent = 6,
    kScaleEvent = 7,
    kLegacyMIDICCOutEvent = 65535
  };

  int32 busIndex;     // event bus index
  int32 sampleOffset;  // position in the current block
  double ppqPosition;  // project position in quarter notes
  uint16 flags;
  uint16 type;         // selects the union member
  union
  {
    NoteOnEvent noteOn;
    NoteOffEvent noteOff;
    DataEvent data;
    PolyPressureEvent polyPressure;
    NoteExpressionValueEvent noteExpressionValue;
    NoteExpressionTextEvent noteExpressionText;
    ChordEvent chord;
    ScaleEvent scale;
    LegacyMIDICCOutEvent midiCCOut;
  };
};

class IEventList : public FUnknown
{
public:
  virtual int32 VST3_CALL getEventCount() = 0;                // slot 3
  virtual tresult VST3_CALL getEvent(int32 index, Event& e) = 0; // slot 4 (copied out)
  virtual tresult VST3_CALL addEvent(Event& e) = 0;           // slot 5 (copied in)

  VST3_DECLARE_IID(0x3A2C4214, 0x346349FE, 0xB2C4F397, 0xB9695A44)
  VST3_INTERFACE_DESTRUCTOR(IEventList)
};

// Controller numbers used by MIDI mapping and legacy controller output events.
enum ControllerNumbers : int32
{
  kCtrlVolume = 7,
  kAfterTouch = 128,
  kPitchBend = 129,
  kCountCtrlNumber = 130,
  kCtrlProgramChange = 130,
  kCtrlPolyPressure = 131,
  kCtrlQuarterFrame = 132
};

static_assert(sizeof(NoteOnEvent) == 20 && sizeof(NoteOffEvent) == 16 && sizeof(DataEvent) == 16);
static_assert(sizeof(PolyPressureEvent) == 12 && sizeof(ChordEvent) == 16 && sizeof(ScaleEvent) == 16);
static_assert(sizeof(LegacyMIDICCOutEvent) == 4 && sizeof(NoteExpressionValueEvent) == 16);
static_assert(sizeof(NoteExpressionTextEvent) == 24);
static_assert(sizeof(Event) == 48 && alignof(Event) == 8);
static_assert(offsetof(Event, ppqPosition) == 8 && offsetof(Event, flags) == 16 && offsetof(Event, type) == 18);
static_assert(offsetof(Event, noteOn) == 24);

} // namespace vst3
