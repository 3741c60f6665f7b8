#pragma once

// One automatable value of the plug-in: a real value within a declared range,
// its normalised 0..1 form for hosts and controls, and its text forms.
//
// Thread notes: only the value changes after construction. GetValue, SetValue,
// SetFromNormalized, FitToRange, RealToNorm and NormToReal allocate nothing and
// are safe on the audio thread; everything that produces or reads text belongs
// to the controller and editor threads.

#include <atomic>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace iplug
{

// Replaces the standard number formatting: receives the real value, writes the text.
using ValueFormatter = std::function<void(double value, std::string& out)>;

// Inverse of a ValueFormatter: reads typed text in the same units the formatter
// shows and returns the real value (before step quantising and clamping).
using ValueParser = std::function<double(const char* text)>;

class IParam
{
public:
  enum EParamType : unsigned
  {
    kTypeNone = 0,
    kTypeBool = 1,
    kTypeInt = 2,
    kTypeEnum = 3,
    kTypeDouble = 4,
  };

  // Stored only; this plug-in uses decibels and custom.
  enum EParamUnit : unsigned
  {
    kUnitPercentage = 0,
    kUnitSeconds = 1,
    kUnitMilliseconds = 2,
    kUnitSamples = 3,
    kUnitDB = 4,
    kUnitCustom = 21,
  };

  enum EFlags : unsigned
  {
    kFlagsNone = 0,
    kFlagNoAutomation = 1,
    kFlagStepped = 2,
    kFlagNegateDisplay = 4,
    kFlagShowSign = 8,
  };

  static constexpr int kMaxTextLen = 31; // characters, plus a terminating zero

  // Mapping between real and normalised values. Each parameter owns its own copy.
  class Shape
  {
  public:
    virtual ~Shape() = default;
    virtual std::unique_ptr<Shape> Copy() const = 0;
    virtual void Attach(const IParam& /*param*/) {}
    virtual int ScaleKind() const = 0;
    virtual double MapToReal(double norm, const IParam& param) const = 0;
    virtual double MapToNorm(double value, const IParam& param) const = 0;
  };

  // Neither mapping clamps; the callers in IParam do.
  class ShapeLinear : public Shape
  {
  public:
    std::unique_ptr<Shape> Copy() const override;
    int ScaleKind() const override { return 0; }
    double MapToReal(double norm, const IParam& param) const override;
    double MapToNorm(double value, const IParam& param) const override;
  };

  struct ValueText
  {
    double value;
    char text[kMaxTextLen + 1];
  };

  IParam();
  ~IParam();
  IParam(const IParam&) = delete;
  IParam& operator=(const IParam&) = delete;

  // Initialisation forms: each is called once per parameter while the plug-in
  // is constructed. Texts longer than 31 characters are cut to fit.
  void DeclareDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                     const char* label = "", unsigned flags = 0, const char* group = "",
                     const Shape& shape = ShapeLinear(), EParamUnit unit = kUnitCustom,
                     ValueFormatter displayFunc = nullptr, ValueParser parseFunc = nullptr);

  // Counted form: when texts is empty no display texts are added; otherwise up to
  // count texts are taken, entry i getting the value i.
  void DeclareEnum(const char* name, int defaultVal, int count, const char* label, unsigned flags,
                   const char* group, std::initializer_list<const char*> texts = {});

  // List form: default 0, no label, stepped, one value per text.
  void DeclareEnum(const char* name, std::initializer_list<const char*> texts);

  void DeclareBool(const char* name, bool defaultVal = false, const char* label = "", unsigned flags = 0,
                   const char* group = "", const char* offText = "off", const char* onText = "on");

  void AddDisplayText(double value, const char* text);

  // Value access; values are real unless the name says normalised.
  double GetValue() const { return mValue.load(); }
  void SetValue(double value) { mValue.exchange(FitToRange(value)); }
  void SetFromNormalized(double norm) { SetValue(NormToReal(norm)); }
  double GetValueNormalized() const { return RealToNorm(GetValue()); }
  double GetDefaultValue(bool normalized = false) const;

  double FitToRange(double value) const;
  double RealToNorm(double value) const;
  double NormToReal(double norm) const;

  // Text. Output is limited to 31 characters.
  void FormatValue(double value, bool isNormalized, std::string& out, bool withDisplayText = true) const;
  void FormatValueWithLabel(std::string& out) const;
  const char* TextForValue(int value) const;
  const char* EffectiveLabel() const;
  double ParseText(const char* text) const;
  // The normalised value for typed text, for hosts that pass values on
  // normalised: the one nearest RealToNorm(ParseText(text)) that maps back to
  // exactly that value, else one whose value shows the same text, so that
  // what was typed is what shows and what the signal path uses.
  double NormalizedForText(const char* text) const;

  // Declaration read access.
  const char* GetName() const { return mName; }
  const char* GetLabel() const { return mLabel; }
  const char* GetGroup() const { return mGroup; }
  EParamType Type() const { return mType; }
  EParamUnit Unit() const { return mUnit; }
  unsigned GetFlags() const { return mFlags; }
  bool GetCanAutomate() const { return !(mFlags & kFlagNoAutomation); }
  bool GetStepped() const { return mFlags & kFlagStepped; }
  double GetMin() const { return mMin; }
  double GetMax() const { return mMax; }
  double GetRange() const { return mMax - mMin; }
  double GetStep() const { return mStep; }
  int GetDisplayPrecision() const { return mDisplayPrecision; }
  int NDisplayTexts() const { return static_cast<int>(mDisplayTexts.size()); }
  const char* GetDisplayText(int index) const; // empty for an index outside the list
  double GetDisplayTextValue(int index) const;
  bool HasDisplayFunction() const { return static_cast<bool>(mDisplayFunction); }
  const Shape& GetShape() const { return *mShape; }

private:
  double QuantiseToStep(double value) const;

  EParamType mType = kTypeNone;
  EParamUnit mUnit = kUnitCustom;
  std::atomic<double> mValue{0.0};
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mDefault = 0.0;
  int mDisplayPrecision = 0;
  unsigned mFlags = 0;
  char mName[kMaxTextLen + 1] = {};
  char mLabel[kMaxTextLen + 1] = {};
  char mGroup[kMaxTextLen + 1] = {};
  std::unique_ptr<Shape> mShape;
  ValueFormatter mDisplayFunction;
  ValueParser mParseFunction;
  std::vector<ValueText> mDisplayTexts;

  static_assert(std::atomic<double>::is_always_lock_free, "parameter values must be lock-free");
};

} // namespace iplug
