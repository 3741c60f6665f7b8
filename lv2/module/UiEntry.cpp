// The UI object's C entry point: the editor embedded in the host's X11
// window, driven by the host's idle calls (no threads of ours). It owns its
// own plug-in instance, which never processes: port values reach it as
// events, edits leave through the host's write function.

#include "core/IEditorContext.h"
#include "lv2/IPlugLV2.h"
#include "lv2/module/PluginProduct.h"

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace
{

class UIInstance final : public iplug::LV2UIHost
{
public:
  LV2UI_Write_Function write = nullptr;
  LV2UI_Controller controller = nullptr;
  const LV2UI_Resize* resize = nullptr;
  const LV2UI_Touch* touch = nullptr;
  std::unique_ptr<iplug::IPlugLV2> plug;

  void WritePort(int port, float value) override
  {
    if (write)
      write(controller, static_cast<uint32_t>(port), sizeof(float), 0, &value);
  }
  void TouchPort(int port, bool grabbed) override
  {
    if (touch && touch->touch)
      touch->touch(touch->handle, static_cast<uint32_t>(port), grabbed);
  }
  bool ResizeWindow(int width, int height) override
  {
    return resize && resize->ui_resize && resize->ui_resize(resize->handle, width, height) == 0;
  }

  // The editor's size in window pixels, told to the host.
  void TellSize()
  {
    const iplug::IEditorContext* context = plug->GetEditorContext();
    if (!context)
      return;
    const float total = context->GetDrawScale() * context->GetScreenScale();
    const int w = static_cast<int>(context->Width() * total);
    const int h = static_cast<int>(context->Height() * total);
    plug->SetEditorSize(w, h);
    ResizeWindow(w, h);
  }
};

// The host's scale factor among its options; 0 when it gives none.
float ScaleFactorOption(const LV2_Options_Option* options, const LV2_URID_Map* map)
{
  if (!options || !map)
    return 0.f;
  const LV2_URID scaleFactor = map->map(map->handle, LV2_UI__scaleFactor);
  const LV2_URID atomFloat = map->map(map->handle, LV2_ATOM__Float);
  for (const LV2_Options_Option* o = options; o->key != 0 || o->value != nullptr; ++o)
    if (o->key == scaleFactor && o->type == atomFloat && o->size == sizeof(float) && o->value)
    {
      float scale = 0.f;
      std::memcpy(&scale, o->value, sizeof(scale));
      return scale > 0.f && scale < 16.f ? scale : 0.f;
    }
  return 0.f;
}

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char*, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features)
{
  void* parent = nullptr;
  const LV2_URID_Map* map = nullptr;
  const LV2_Options_Option* options = nullptr;
  std::unique_ptr<UIInstance> ui;
  try
  {
    ui = std::make_unique<UIInstance>();
    for (const LV2_Feature* const* f = features; f && *f; ++f)
    {
      const char* uri = (*f)->URI;
      if (std::strcmp(uri, LV2_UI__parent) == 0)
        parent = (*f)->data;
      else if (std::strcmp(uri, LV2_UI__resize) == 0)
        ui->resize = static_cast<const LV2UI_Resize*>((*f)->data);
      else if (std::strcmp(uri, LV2_UI__touch) == 0)
        ui->touch = static_cast<const LV2UI_Touch*>((*f)->data);
      else if (std::strcmp(uri, LV2_URID__map) == 0)
        map = static_cast<const LV2_URID_Map*>((*f)->data);
      else if (std::strcmp(uri, LV2_OPTIONS__options) == 0)
        options = static_cast<const LV2_Options_Option*>((*f)->data);
    }
    if (!parent || !widget)
      return nullptr;
    ui->write = write;
    ui->controller = controller;
    ui->plug.reset(iplug::MakeLV2Plug());
    if (!ui->plug || !ui->plug->HasUI())
      return nullptr;
    ui->plug->SetUIHost(ui.get());
    void* window = ui->plug->AttachEditor(parent);
    if (!window)
      return nullptr;
    if (const float scale = ScaleFactorOption(options, map); scale > 0.f)
      if (iplug::IEditorContext* context = ui->plug->GetEditorContext())
        context->SetScreenScale(scale);
    ui->TellSize();
    *widget = window;
    return ui.release();
  }
  catch (const std::bad_alloc&)
  {
    return nullptr;
  }
}

void Cleanup(LV2UI_Handle handle)
{
  auto* ui = static_cast<UIInstance*>(handle);
  ui->plug->DetachEditor();
  delete ui;
}

void PortEvent(LV2UI_Handle handle, uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer)
{
  if (format != 0 || bufferSize != sizeof(float) || !buffer)
    return;
  float value = 0.f;
  std::memcpy(&value, buffer, sizeof(value));
  static_cast<UIInstance*>(handle)->plug->OnPortEvent(port, value);
}

int Idle(LV2UI_Handle handle)
{
  if (iplug::IEditorContext* context = static_cast<UIInstance*>(handle)->plug->GetEditorContext())
    context->OnPlatformTimer(); // reads the window's events, draws what changed
  return 0;
}

const void* ExtensionData(const char* uri)
{
  static const LV2UI_Idle_Interface idle = {Idle};
  if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0)
    return &idle;
  return nullptr;
}

} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)
{
  static const LV2UI_Descriptor descriptor = {iplug::GetLV2ProductURIs().ui, Instantiate, Cleanup, PortEvent,
                                              ExtensionData};
  return index == 0 ? &descriptor : nullptr;
}
