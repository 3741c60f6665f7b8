#include "editor/EditorLayout.h"

#include "core/IGEditorDelegate.h"
#include "core/IParam.h"
#include "editor/EditorLooks.h"
#include "editor/ISVGControl.h"
#include "editor/ITextControl.h"
#include "editor/Knob.h"
#include "editor/Meter.h"
#include "editor/Panel.h"
#include "editor/PeakDisplay.h"
#include "editor/PlatformGraphics.h"
#include "editor/PresetControl.h"
#include "editor/RangeSlider.h"
#include "editor/Separator.h"
#include "editor/Spin.h"
#include "editor/Toggle.h"
#include "editor/ValueReadout.h"
#include "graphics/ICornerResizerControl.h"
#include "graphics/IGraphics.h"

#include <array>

namespace igraphics
{

namespace
{

using namespace iplug;

constexpr float kMargin = 10.f;
constexpr float kHeaderTop = 10.f;
constexpr float kHeaderBottom = 32.f;
constexpr float kTitleWidth = 128.f;
constexpr float kLogoBaseWidth = 32.f; // times the logo's aspect ratio
constexpr float kBypassWidth = 64.f;
constexpr float kMainTop = 42.f;
constexpr float kColumnGap = 10.f;
constexpr float kKnobRowsTop = kMainTop + 15.f;
constexpr float kKnobRowHeight = 64.f;
constexpr float kModeRowHeight = 64.f;
constexpr float kResizerSize = 20.f;
const char* const kFontName = "Roboto-Regular";
const char* const kFontFile = "Roboto-Regular.ttf";
const char* const kLogoFile = "logo.svg";

// Everything behind the controls: the corner resizer, the background, the
// font and mouse-over tracking.
void SetUpSurface(IGraphics& g, float w, float h)
{
  g.AttachCornerResizer(new ICornerResizerControl(IBounds(0.f, 0.f, w, h), kResizerSize, IColor(10, 0, 0, 0),
                                                  COLOR_BLACK, COLOR_BLACK),
                        EUIResizerMode::Scale);
  g.AttachPanelBackground(IFill(kEditorBackgroundColor));
  g.LoadFont(kFontName, kFontFile);
  g.EnableMouseOver(true);
}

// The header row: logo, title, bypass switch and the preset selector, which it
// returns. Without a usable logo the logo's box is square.
PresetControl* AttachHeader(IGraphics& g, float w, const EditorLooks& looks, int bypassParam)
{
  const ISVG logo = g.LoadSVG(kLogoFile);
  const float logoAspect = (logo.IsValid() && logo.H() > 0.f) ? logo.W() / logo.H() : 1.f;
  const float logoRight = kMargin + kLogoBaseWidth * logoAspect;
  g.AttachControl(new ISVGControl(IBounds(kMargin, kHeaderTop, logoRight, kHeaderBottom), logo));
  g.AttachControl(new ITextControl(IBounds(logoRight, kHeaderTop, logoRight + kTitleWidth, kHeaderBottom), "CALVORIN",
                                   MakeTitleTextStyle(), COLOR_TRANSPARENT));
  g.AttachControl(new Toggle(IBounds(w - kMargin - kBypassWidth, kHeaderTop, w - kMargin, kHeaderBottom), bypassParam,
                             looks.base, "BYPASS", "ON"));
  const float presetInset = (w - 2.f * kMargin) / 3.f;
  auto* presets = new PresetControl(
    IBounds(kMargin + presetInset, kHeaderTop, w - kMargin - presetInset, kHeaderBottom), looks.base);
  presets->SetIgnoreMouse(true);
  g.AttachControl(presets);
  return presets;
}

// The main area: three band columns and the global column, two pitches wide.
struct Columns
{
  float pitch;
  float width; // of a band column
  float bottom;
  IBounds global;

  Columns(float w, float h)
    : pitch((w - 2.f * kMargin) / 5.f)
    , width(pitch - kColumnGap)
    , bottom(h - kMargin)
    , global(w - kMargin - 2.f * pitch, kMainTop, w - kMargin, bottom)
  {
  }

  float Left(int band) const { return kMargin + pitch * static_cast<float>(band); }
  IBounds Band(int band) const { return IBounds(Left(band), kMainTop, Left(band) + width, bottom); }
  // The band's threshold slider and its meter share the left third.
  IBounds Slider(int band) const { return IBounds(Left(band), kMainTop, Left(band) + width / 3.f, bottom); }
};

void AttachColumnPanels(IGraphics& g, const Columns& columns)
{
  for (int band = 0; band < kNumBands; ++band)
    g.AttachControl(new Panel(columns.Band(band), kColumnPanelColor, 4, 2.f, true, 0.f));
  g.AttachControl(new Panel(columns.global, kColumnPanelColor, 4, 2.f, true, 0.f));
}

// Per band: the threshold slider with its meter over it, then a column of
// knobs (in, out, width, excite) and the mode selector at the bottom. Returns
// the sliders.
std::array<RangeSlider*, kNumBands> AttachBandControls(IGraphics& g, const Columns& columns, const EditorLooks& looks,
                                                      const EditorBindings& bindings)
{
  std::array<RangeSlider*, kNumBands> sliders{};
  for (int band = 0; band < kNumBands; ++band)
  {
    const BandBindings& p = bindings.bands[static_cast<size_t>(band)];
    const IVLook sliderLook = looks.slider.WithColor(kX1, kBandColors[static_cast<size_t>(band)]);
    sliders[static_cast<size_t>(band)] = static_cast<RangeSlider*>(
      g.AttachControl(new RangeSlider(columns.Slider(band), sliderLook, {p.pullThreshold, p.pushThreshold})));
  }
  for (int band = 0; band < kNumBands; ++band)
    g.AttachControl(new Meter(columns.Slider(band), bindings.lowLevelDb, bindings.highLevelDb, looks.meter),
                    bindings.bands[static_cast<size_t>(band)].meterTag);

  for (int band = 0; band < kNumBands; ++band)
  {
    const BandBindings& p = bindings.bands[static_cast<size_t>(band)];
    const IColor& color = kBandColors[static_cast<size_t>(band)];
    const IVLook knobLook = looks.knob.WithColor(kX1, color);
    const float left = columns.Left(band) + columns.width / 3.f;
    const float right = columns.Left(band) + columns.width;
    auto row = [&](int i) {
      const float top = kKnobRowsTop + kKnobRowHeight * static_cast<float>(i);
      return IBounds(left, top, right, top + kKnobRowHeight);
    };
    g.AttachControl(new Knob(row(0), p.preGain, knobLook, "IN", true));
    g.AttachControl(new Knob(row(1), p.postGain, knobLook, "OUT", true));
    g.AttachControl(new Knob(row(2), p.width, knobLook, "WIDTH", false));
    g.AttachControl(new Knob(row(3), p.excite, knobLook, "EXCITE", false));
    g.AttachControl(new Spin(IBounds(left, columns.bottom - kModeRowHeight, right, columns.bottom), p.mode,
                             looks.base.WithColor(kX1, color)));
  }
  return sliders;
}

// The global column: depth in the upper half, time / out / mix in the third
// quarter, the peak display in the last.
void AttachGlobalControls(IGraphics& g, const IBounds& column, const EditorLooks& looks,
                          const EditorBindings& bindings)
{
  const float quarter = column.H() / 4.f;
  const float third = column.W() / 3.f;
  auto* separator = new Separator(IBounds(column.L, column.T, column.R, column.MH()));
  separator->SetVertical(false);
  g.AttachControl(separator);
  g.AttachControl(new Knob(IBounds(column.L, column.T + 20.f, column.R, column.MH() - 10.f), bindings.depth,
                           looks.knob, "DEPTH", false));
  const float rowBottom = column.T + 3.f * quarter;
  const float rowTop = rowBottom - kKnobRowHeight;
  g.AttachControl(new Knob(IBounds(column.L, rowTop, column.L + third, rowBottom), bindings.time, looks.knob, "TIME",
                           false));
  g.AttachControl(new Knob(IBounds(column.L + third, rowTop, column.L + 2.f * third, rowBottom), bindings.outGain,
                           looks.knob, "OUT", true));
  g.AttachControl(new Knob(IBounds(column.L + 2.f * third, rowTop, column.R, rowBottom), bindings.mix, looks.knob,
                           "MIX", false));
  g.AttachControl(new PeakDisplay(IBounds(column.L, rowBottom + 10.f, column.R, column.B), bindings.lowLevelDb,
                                  bindings.highLevelDb, looks.meter),
                  bindings.peakDisplayTag);
}

// A new editor starts from the parameters' current values, not from zero.
void ShowCurrentParamValues(IGraphics& g)
{
  g.ForAllControls([](IControl& control) {
    bool bound = false;
    for (int i = 0; i < control.NVals(); ++i)
    {
      if (const iplug::IParam* param = control.GetParam(i))
      {
        control.SetValue(param->GetValueNormalized(), i);
        bound = true;
      }
    }
    if (bound)
      control.SetDirty(false);
  });
}

} // namespace

std::unique_ptr<iplug::IEditorContext> MakeEditorContext(iplug::IEditorDelegate& dlg)
{
  return MakePlatformGraphics(dlg, kEditorWidth, kEditorHeight, kEditorFPS, 1.f);
}

PresetControl* LayoutEditor(IGraphics& g, const EditorBindings& bindings)
{
  const float w = static_cast<float>(g.Width());
  const float h = static_cast<float>(g.Height());
  const EditorLooks looks = MakeEditorLooks();
  SetUpSurface(g, w, h);
  PresetControl* presets = AttachHeader(g, w, looks, bindings.bypass);
  const Columns columns(w, h);
  AttachColumnPanels(g, columns);
  const auto sliders = AttachBandControls(g, columns, looks, bindings);
  AttachGlobalControls(g, columns.global, looks, bindings);
  // Last, so that it lies above every control.
  auto* readout = static_cast<ValueReadout*>(g.AttachControl(new ValueReadout(looks.base.labelText)));
  for (RangeSlider* slider : sliders)
    slider->SetValueReadout(readout);
  ShowCurrentParamValues(g);
  return presets;
}

void InstallEditor(iplug::IGEditorDelegate& plug, const EditorBindings& bindings, PresetControl*& presetLink)
{
  plug.SetMakeContextFunc([&plug]() { return MakeEditorContext(plug); });
  plug.SetLayoutFunc([bindings, &presetLink](iplug::IEditorContext& context) {
    PresetControl* presets = LayoutEditor(static_cast<IGraphics&>(context), bindings);
    presets->SetPluginLink(&presetLink);
  });
  plug.SetEditorDrawSize(kEditorWidth, kEditorHeight);
}

} // namespace igraphics
