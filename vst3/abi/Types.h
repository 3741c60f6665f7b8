#pragma once

// Basic types, result codes and identifiers of the VST 3 binary interface.
// Declarations only: everything here must match the host's view byte for byte.

#include <cstdint>

#if defined(_WIN32)
#define VST3_COM_COMPATIBLE 1
#define VST3_CALL __stdcall
#define VST3_EXPORT __declspec(dllexport)
#else
#define VST3_COM_COMPATIBLE 0
#define VST3_CALL
#define VST3_EXPORT __attribute__((visibility("default")))
#endif

// Interfaces carry no destructor slot: objects destroy themselves in release().
// A protected, non-virtual destructor keeps the vtable unchanged and forbids
// deleting through an interface pointer.
#define VST3_INTERFACE_DESTRUCTOR(Name) \
protected:                              \
  ~Name() = default;                    \
                                        \
public:

namespace vst3
{

using int8 = char;
using uint8 = unsigned char;
using int16 = std::int16_t;
using uint16 = std::uint16_t;
using int32 = std::int32_t;
using uint32 = std::uint32_t;
using int64 = std::int64_t;
using uint64 = std::uint64_t;
using TSize = int64;
using tresult = int32;
using TBool = uint8;
using char8 = char;
using char16 = char16_t;
using TChar = char16;
using CString = const char8*;
using CStringW = const char16*;
using FIDString = const char8*;
using TUID = char[16];
using String128 = TChar[128];
using UCoord = int32;

constexpr int32 kMaxInt32 = 0x7FFFFFFF;
constexpr uint32 kMaxInt32u = 0xFFFFFFFFu;

// Result codes. Success is 0 on every platform; failure values differ, so
// compare against kResultOk instead of testing the sign.
#if VST3_COM_COMPATIBLE
constexpr tresult kNoInterface = static_cast<tresult>(0x80004002u);
constexpr tresult kResultOk = 0;
constexpr tresult kResultTrue = 0;
constexpr tresult kResultFalse = 1;
constexpr tresult kInvalidArgument = static_cast<tresult>(0x80070057u);
constexpr tresult kNotImplemented = static_cast<tresult>(0x80004001u);
constexpr tresult kInternalError = static_cast<tresult>(0x80004005u);
constexpr tresult kNotInitialized = static_cast<tresult>(0x8000FFFFu);
constexpr tresult kOutOfMemory = static_cast<tresult>(0x8007000Eu);
#else
constexpr tresult kNoInterface = -1;
constexpr tresult kResultOk = 0;
constexpr tresult kResultTrue = 0;
constexpr tresult kResultFalse = 1;
constexpr tresult kInvalidArgument = 2;
constexpr tresult kNotImplemented = 3;
constexpr tresult kInternalError = 4;
constexpr tresult kNotInitialized = 5;
constexpr tresult kOutOfMemory = 6;
#endif

// Sixteen identifier bytes from four 32-bit words, in the platform's order:
// Windows stores a GUID (first word and the two halves of the second word
// little-endian), elsewhere all four words are stored big-endian. The last
// eight bytes are the same everywhere, and so is the 32-character text form.
struct Uid
{
  char bytes[16];
};

constexpr char UidByte(uint32 word, int shift)
{
  return static_cast<char>(static_cast<uint8>((word >> shift) & 0xFFu));
}

// Windows (COM) layout: a GUID with Data1 = l1, Data2 = l2 >> 16, Data3 = l2 & 0xFFFF.
constexpr Uid MakeComUid(uint32 l1, uint32 l2, uint32 l3, uint32 l4)
{
  return Uid{{UidByte(l1, 0), UidByte(l1, 8), UidByte(l1, 16), UidByte(l1, 24),
              UidByte(l2, 16), UidByte(l2, 24), UidByte(l2, 0), UidByte(l2, 8),
              UidByte(l3, 24), UidByte(l3, 16), UidByte(l3, 8), UidByte(l3, 0),
              UidByte(l4, 24), UidByte(l4, 16), UidByte(l4, 8), UidByte(l4, 0)}};
}

// Linux and macOS layout: the four words big-endian, one after the other.
constexpr Uid MakePlainUid(uint32 l1, uint32 l2, uint32 l3, uint32 l4)
{
  return Uid{{UidByte(l1, 24), UidByte(l1, 16), UidByte(l1, 8), UidByte(l1, 0),
              UidByte(l2, 24), UidByte(l2, 16), UidByte(l2, 8), UidByte(l2, 0),
              UidByte(l3, 24), UidByte(l3, 16), UidByte(l3, 8), UidByte(l3, 0),
              UidByte(l4, 24), UidByte(l4, 16), UidByte(l4, 8), UidByte(l4, 0)}};
}

constexpr Uid MakeUid(uint32 l1, uint32 l2, uint32 l3, uint32 l4)
{
#if VST3_COM_COMPATIBLE
  return MakeComUid(l1, l2, l3, l4);
#else
  return MakePlainUid(l1, l2, l3, l4);
#endif
}

// Declares the interface's identifier as a static member usable wherever the
// binary interface wants a `const TUID` (a pointer to 16 bytes).
#define VST3_DECLARE_IID(l1, l2, l3, l4)                                            \
  static constexpr ::vst3::Uid iidUid = ::vst3::MakeUid(l1, l2, l3, l4);            \
  static constexpr const char* iid = iidUid.bytes;

} // namespace vst3
