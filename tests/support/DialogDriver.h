#pragma once

#include "window/WindowLayer.h"

#include <functional>
#include <string>
#include <vector>

// Input as the window system delivers it: at positions of the dialog's window, so that the
// window system's own hit-testing decides which control gets it. One header, a half for each
// window layer, so the dialog tests are written once.

// Serves events until the condition holds or a generous deadline passes; true if it held.
bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 60000);

// A click at the item's centre, or (two) a double-click.
void ClickItem(CTemplateDialog& dlg, int id, int clicks = 1);
// The pointer moves to the item's centre.
void MovePointerTo(CTemplateDialog& dlg, int id);
// A key press and release delivered to the control that has the focus.
void PressKey(CTemplateDialog& dlg, int virtualKey);
bool HasFocus(CTemplateDialog& dlg, int id);
// The close box of the window's frame.
void ClickCloseBox(CTemplateDialog& dlg);
// Local files dragged in and dropped on the dialog: now, or (queued) when events are next served.
void DropFiles(CTemplateDialog& dlg, const std::vector<std::string>& paths, bool queued = false);
// True when the item's painted pixels include this colour.
bool ItemShowsColour(CTemplateDialog& dlg, int id, Colour colour);
// The tooltip the window system shows at the pointer, once it shows one ("" if none comes).
std::string ShownToolTip();
// Moves the pointer to the item's centre and says whether the pointing hand shows there.
bool HandCursorOver(CTemplateDialog& dlg, int id);

// Runs `act` on the template dialog that `open` brings up modally, as soon as its loop runs;
// true if there was one.
bool WithNextModal(const std::function<void()>& open, const std::function<void(CTemplateDialog&)>& act);
