#include "graphics/linux/XEmbedClient.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace igraphics
{

bool XEmbedClient::Connect(Display* display)
{
  Disconnect();
  char infoName[] = "_XEMBED_INFO";
  char messageName[] = "_XEMBED";
  char* names[] = {infoName, messageName};
  Atom atoms[2] = {};
  if (!XInternAtoms(display, names, 2, False, atoms) || atoms[0] == None || atoms[1] == None)
    return false;
  mDisplay = display;
  mInfoAtom = atoms[0];
  mMessageAtom = atoms[1];
  return true;
}

void XEmbedClient::Announce(unsigned long window)
{
  if (!mDisplay)
    return;
  mWindow = window;
  // Format 32 properties are passed to Xlib as longs, whatever their size.
  const long info[2] = {kProtocolVersion, 0};
  XChangeProperty(mDisplay, window, mInfoAtom, mInfoAtom, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(info), 2);
}

bool XEmbedClient::HandleEvent(const XEvent& event)
{
  if (!mDisplay || event.type != ClientMessage || event.xclient.message_type != mMessageAtom)
    return false;
  const XClientMessageEvent& m = event.xclient;
  if (m.window != mWindow || m.format != 32)
    return true;
  switch (m.data.l[1])
  {
    case kEmbeddedNotify:
      mEmbedder = static_cast<unsigned long>(m.data.l[3]);
      mEmbedderVersion = m.data.l[4];
      // An embedder that reparented the window may have left it unmapped;
      // mapping a mapped window does nothing.
      XMapWindow(mDisplay, mWindow);
      XFlush(mDisplay);
      break;
    case kWindowActivate: mWindowActive = true; break;
    case kWindowDeactivate: mWindowActive = false; break;
    case kFocusIn: mFocused = true; break;
    case kFocusOut: mFocused = false; break;
    default: break; // the rest (accelerators, modality, focus chains) concerns no part of this editor
  }
  return true;
}

void XEmbedClient::Disconnect()
{
  *this = XEmbedClient();
}

} // namespace igraphics
