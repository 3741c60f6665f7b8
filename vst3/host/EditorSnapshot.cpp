#include "vst3/host/EditorSnapshot.h"

#include "vst3/IEditorSnapshot.h"

#include <cmath>

namespace vst3host
{

namespace
{
// Larger pictures gain nothing and cost hundreds of megabytes.
constexpr float kMinScale = 0.25f;
constexpr float kMaxScale = 8.f;
} // namespace

std::string RenderEditorSnapshot(PluginInstance& instance, const std::string& path, float scale)
{
  if (path.empty())
    return "no file name for the editor snapshot";
  if (!std::isfinite(scale) || scale < kMinScale || scale > kMaxScale)
    return "the snapshot scale must lie between 0.25 and 8";
  vst3::IEditController* controller = instance.Controller();
  if (!controller)
    return "the plug-in has no edit controller";
  ComPtr<vst3::IPlugView> view = ComPtr<vst3::IPlugView>::Adopt(controller->createView(vst3::ViewType::kEditor));
  if (!view)
    return "the plug-in has no editor view";
  auto snapshot = QueryInterface<iplug::IEditorSnapshot>(view.Get());
  if (!snapshot)
    return "the plug-in's editor view cannot render a snapshot";
  if (scale != 1.f)
  {
    auto scaling = QueryInterface<vst3::IPlugViewContentScaleSupport>(view.Get());
    if (!scaling || scaling->setContentScaleFactor(scale) != vst3::kResultOk)
      return "the plug-in's editor view does not take a content scale";
  }
  switch (snapshot->renderPng(path.c_str()))
  {
  case vst3::kResultOk:
    return {};
  case vst3::kInvalidArgument:
    return "the plug-in refused the snapshot file name '" + path + "'";
  default:
    return "the editor snapshot could not be written to '" + path + "'";
  }
}

} // namespace vst3host
