#pragma once

// Xlib types, kept out of this header so that users need no X headers.
struct _XDisplay;
union _XEvent;

namespace igraphics
{

// The client side of the XEmbed protocol for the editor's child window.
// Embedders (Steinberg's editor host, REAPER, toolkits' sockets) watch their
// parent window for a new child, read its _XEMBED_INFO and give up when it is
// missing or already says "mapped"; then they send _XEMBED messages. Hosts that
// never speak XEmbed simply never send any. UI thread only.
class XEmbedClient
{
public:
  // The protocol's message codes (the second word of an _XEMBED message).
  enum Message : long
  {
    kEmbeddedNotify = 0,
    kWindowActivate = 1,
    kWindowDeactivate = 2,
    kRequestFocus = 3,
    kFocusIn = 4,
    kFocusOut = 5,
  };
  static constexpr long kProtocolVersion = 0;
  static constexpr long kFlagMapped = 1; // bit 0 of _XEMBED_INFO's flags

  // Interns the protocol's atoms, creating them if no client has yet: an
  // embedder that only looks them up would otherwise find no property at all.
  // Returns false when the server did not answer.
  bool Connect(_XDisplay* display);
  // Puts _XEMBED_INFO = {version 0, flags 0} on a window just created. The
  // flags never claim "mapped": the window maps itself, and an embedder that
  // read that flag on creation would refuse the window.
  void Announce(unsigned long window);
  // Takes an event for the announced window; returns true when it was an
  // _XEMBED message. Malformed messages are ignored.
  bool HandleEvent(const _XEvent& event);
  void Disconnect();

  unsigned long Embedder() const { return mEmbedder; } // 0 while not embedded
  long EmbedderVersion() const { return mEmbedderVersion; }
  bool WindowActive() const { return mWindowActive; }
  bool Focused() const { return mFocused; }

private:
  _XDisplay* mDisplay = nullptr;
  unsigned long mWindow = 0;
  unsigned long mInfoAtom = 0;
  unsigned long mMessageAtom = 0;
  unsigned long mEmbedder = 0;
  long mEmbedderVersion = 0;
  bool mWindowActive = false;
  bool mFocused = false;
};

} // namespace igraphics
