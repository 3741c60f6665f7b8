#pragma once

struct _XDisplay;

namespace igraphics
{

// Xlib reports errors through one process-wide handler whose default ends the
// process. While an editor's connection is open, errors on our own
// connections (a parent window the host destroyed first, say) are recorded and
// ignored; errors on the host's connections still go to the handler that was
// installed before ours.
namespace XErrorTrap
{

void Register(_XDisplay* display);
void Unregister(_XDisplay* display);
// The error code of the last error on display since the previous call; 0 when none.
int TakeError(_XDisplay* display);

} // namespace XErrorTrap

} // namespace igraphics
