#pragma once

// The host's loop that drives an open editor without threads of our own (on
// Linux the frame's IRunLoop): it watches the editor's event descriptor and
// calls the editor's frame timer. Obtained when the host hands the view its
// frame and kept until the view goes, since hosts drop the frame before they
// close the view.

#include "core/IEditorContext.h"
#include "core/Timer.h"
#include "vst3/abi/PlugView.h"

#include <memory>

namespace iplug
{

class ViewRunLoop
{
public:
  // Null when the frame offers no loop (or the platform needs none).
  static std::unique_ptr<ViewRunLoop> FromFrame(vst3::IPlugFrame* frame);

  virtual ~ViewRunLoop() = default;
  // Registers the editor's event descriptor (when it has one) and its frame
  // timer. Calls reach the editor until Unregister.
  virtual void Register(IEditorContext& context) = 0;
  // Undoes Register; the loop calls nothing of the editor afterwards.
  virtual void Unregister() = 0;
  virtual bool IsRegistered() const = 0;
  // Ticks from this loop, for the idle timer while the editor is open.
  virtual std::unique_ptr<TimerSource> MakeTimerSource() const = 0;
};

} // namespace iplug
