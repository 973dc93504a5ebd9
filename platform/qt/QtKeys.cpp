#include "platform/qt/QtKeys.h"

#include <QKeyEvent>

#include "platform/CodePage.h"
#include "platform/WindowHost.h"

namespace ze {

namespace {

// The digit of the main keyboard key with an XKB key code (X11 and
// Wayland: evdev code + 8): the row 1 ... 9, 0 is 10 ... 19 on every
// layout, where Shift gives a symbol that differs between layouts.
int DigitOfKeyCode(quint32 keyCode) {
  if (keyCode >= 10 && keyCode <= 18) return '1' + static_cast<int>(keyCode - 10);
  if (keyCode == 19) return '0';
  return 0;
}

} // namespace

int VirtualKeyFromQt(int key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + (key - Qt::Key_F1);
  switch (key) {
  case Qt::Key_Backspace:
    return VK_BACK;
  case Qt::Key_Tab:
  case Qt::Key_Backtab:
    return VK_TAB; // Shift+Tab arrives as Backtab
  case Qt::Key_Return:
  case Qt::Key_Enter:
    return VK_RETURN;
  case Qt::Key_Shift:
    return VK_SHIFT;
  case Qt::Key_Control:
    return VK_CONTROL;
  case Qt::Key_Alt:
    return VK_MENU;
  case Qt::Key_Escape:
    return VK_ESCAPE;
  case Qt::Key_Space:
    return VK_SPACE;
  case Qt::Key_PageUp:
    return VK_PRIOR;
  case Qt::Key_PageDown:
    return VK_NEXT;
  case Qt::Key_End:
    return VK_END;
  case Qt::Key_Home:
    return VK_HOME;
  case Qt::Key_Left:
    return VK_LEFT;
  case Qt::Key_Up:
    return VK_UP;
  case Qt::Key_Right:
    return VK_RIGHT;
  case Qt::Key_Down:
    return VK_DOWN;
  case Qt::Key_Insert:
    return VK_INSERT;
  case Qt::Key_Delete:
    return VK_DELETE;
  default:
    return 0;
  }
}

int VirtualKeyFromEvent(const QKeyEvent& e) {
  const int vk = VirtualKeyFromQt(e.key());
  if (vk != 0 || !(e.modifiers() & Qt::ShiftModifier) || (e.modifiers() & Qt::KeypadModifier))
    return vk;
  return DigitOfKeyCode(e.nativeScanCode());
}

std::string CharacterBytes(const QKeyEvent& e) {
  const Qt::KeyboardModifiers m = e.modifiers();
  const bool ctrl = m & Qt::ControlModifier;
  const bool alt = m & Qt::AltModifier;
  switch (e.key()) {
  case Qt::Key_Backspace:
    return ctrl || alt ? std::string() : std::string(1, '\b');
  case Qt::Key_Tab:
  case Qt::Key_Backtab:
    return std::string(1, '\t'); // the editor ignores it with Shift or Ctrl
  case Qt::Key_Return:
  case Qt::Key_Enter:
    return ctrl || alt ? std::string() : std::string(1, '\r');
  case Qt::Key_Escape:
    return std::string(1, '\x1B');
  default:
    break;
  }
  if (ctrl != alt) return {};
  std::u16string text;
  for (QChar c : e.text())
    if (c.unicode() >= 0x20 && c.unicode() != 0x7F) text.push_back(c.unicode());
  return Utf16ToCp932(text);
}

TShiftState ShiftStateFromQt(Qt::KeyboardModifiers m, Qt::MouseButtons b) {
  TShiftState s = 0;
  if (m & Qt::ShiftModifier) s |= ssShift;
  if (m & Qt::AltModifier) s |= ssAlt;
  if (m & Qt::ControlModifier) s |= ssCtrl;
  if (b & Qt::LeftButton) s |= ssLeft;
  if (b & Qt::RightButton) s |= ssRight;
  if (b & Qt::MiddleButton) s |= ssMiddle;
  return s;
}

Qt::CursorShape CursorShapeFromEditor(int cursor) {
  // The standard cursor numbers of the editor's settings.
  switch (cursor) {
  case -1:
    return Qt::BlankCursor;
  case crIBeam:
    return Qt::IBeamCursor;
  case -3:
    return Qt::CrossCursor;
  case -6:
    return Qt::SizeBDiagCursor;
  case -7:
    return Qt::SizeVerCursor;
  case -8:
    return Qt::SizeFDiagCursor;
  case -9:
    return Qt::SizeHorCursor;
  case -10:
    return Qt::UpArrowCursor;
  case -11:
    return Qt::WaitCursor;
  case crDrag:
    return Qt::DragMoveCursor;
  case -13:
    return Qt::ForbiddenCursor;
  case -14:
    return Qt::SplitHCursor;
  case -15:
    return Qt::SplitVCursor;
  case -16:
    return Qt::DragMoveCursor;
  case -17:
    return Qt::WaitCursor;
  case -18:
    return Qt::ForbiddenCursor;
  case -19:
    return Qt::BusyCursor;
  case -20:
    return Qt::WhatsThisCursor;
  case -21:
    return Qt::PointingHandCursor;
  case -22:
    return Qt::SizeAllCursor;
  case crDragSelCopy:
    return Qt::DragCopyCursor;
  default:
    return Qt::ArrowCursor; // crDefault, -2 (arrow) and unknown numbers
  }
}

} // namespace ze
