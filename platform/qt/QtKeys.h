#pragma once
// Qt keys and modifiers as the editor's key handling takes them: Windows
// virtual key codes and a shift state.

#include <Qt>

#include "platform/Keys.h"

namespace ze {

// The virtual key of a Qt key, 0 for keys the editor has no code for.
int VirtualKeyFromQt(int qtKey);

TShiftState ShiftStateFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = {});

// Qt cursor shape for one of the editor's cursor numbers (crIBeam, ...);
// crRightArrow has no Qt shape and is made by EditorWidget.
Qt::CursorShape CursorShapeFromEditor(int cursor);

} // namespace ze
