#pragma once
// What the row store needs from a colouring parser: the parse state with
// which the row after `index` starts. The fountain parsers implement it;
// the store only sees this interface, so the text model does not depend
// on the colouring library.

#include "text/LineStore.h"

namespace ze {

class RowStateParser {
public:
  virtual ~RowStateParser() = default;
  // data holds the state at the start of row index (its RowAttribute is
  // the row's own); on return it holds the state at the start of row
  // index + 1.
  virtual void UpdateRowData(int index, const TRowAttributeStringList& rows,
                             TRowAttributeData& data) = 0;
};

} // namespace ze
