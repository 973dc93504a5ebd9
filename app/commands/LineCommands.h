#pragma once
// Whole-line commands on the caret line: exchange with the line above or
// below, duplicate, delete to the line head or end, delete the line. They
// need word wrap off (a screen row is then a whole line) and a writable
// editor. The row after a final line break is an empty row that no command
// moves, copies or deletes.
//
// Each command is one edit, so one undo step takes it back, and the row
// marks travel with their lines.

#include "app/commands/Views.h"

namespace ze {

// Ctrl+Up / Ctrl+Down: the caret line changes places with its neighbour;
// the caret keeps its byte position in the line. Line down on the last
// line opens an empty line above it.
void LineUp(TEditor* e);
void LineDown(TEditor* e);
// Ctrl+W: a copy of the caret line below it; the caret goes to the copy.
void DuplicateLine(TEditor* e);
// F11 / F12: deletes the text left (right) of the caret; the line break
// stays. Marks of a row whose whole text goes are removed.
void DeleteToLineHead(const TDocumentViews& v);
void DeleteToLineEnd(const TDocumentViews& v);
// Ctrl+Y: deletes the caret line with its line break (not an empty one).
void DeleteLine(const TDocumentViews& v);

} // namespace ze
