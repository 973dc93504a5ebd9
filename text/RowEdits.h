#pragma once
// What recent edits kept of the rows they replaced. Caches built over a
// row (column maps, expanded rows, tokenizer checkpoints) ask how much of
// their old row a new row still starts with; after typing in a row of ten
// megabytes the answer is known without comparing the two rows.
//
// Each record holds both strings, so while it exists no other string can
// take either address: a match by address is a match of the very strings.

#include <cstddef>

#include "text/ByteString.h"

namespace ze {

// `after` replaced `before` and starts with its first `head` bytes.
void NoteRowEdit(const ByteString& before, const ByteString& after, size_t head);

// How many leading bytes `now` shares with `old`: from the recorded edits
// when they lead from one to the other, else by comparing the two.
size_t SharedPrefix(const ByteString& old, const ByteString& now);

// Forgets every record (and releases the strings they hold).
void ForgetRowEdits();

} // namespace ze
