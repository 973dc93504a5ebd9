#pragma once
// Qt keys and modifiers as the editor's key handling takes them: Windows
// virtual key codes and a shift state.

#include <Qt>
#include <string>

#include "platform/Keys.h"

class QKeyEvent;

namespace ze {

// The virtual key of a Qt key, 0 for keys the editor has no code for.
int VirtualKeyFromQt(int qtKey);

// The virtual key of a key event. A digit key held with Shift is its digit
// (Shift+Ctrl+3 is the shortcut of digit 3), although Qt reports the
// shifted symbol ('#' on a US keyboard): the physical key decides.
int VirtualKeyFromEvent(const QKeyEvent& e);

// The character messages a key press makes, as CP932 bytes for the
// editor's KeyPress: Backspace 8, Tab 9, Enter 13, Escape 27, otherwise
// the event's text (a double-byte character as its two bytes; characters
// CP932 cannot hold become '?'). Keys held with Ctrl or Alt alone make no
// characters (Ctrl+H is not a Backspace, Alt+F belongs to the menu bar);
// Ctrl and Alt together are AltGr on some systems and type their text.
std::string CharacterBytes(const QKeyEvent& e);

TShiftState ShiftStateFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = {});

// Qt cursor shape for one of the editor's cursor numbers (crIBeam, ...);
// crRightArrow has no Qt shape and is made by EditorWidget.
Qt::CursorShape CursorShapeFromEditor(int cursor);

} // namespace ze
