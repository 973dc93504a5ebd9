#pragma once
// Dropped files: the block a file drop delivers (the names one after the
// other, each ended by a NUL, and one more NUL at the end), the queries
// that read it without going past its end, and the check that decides
// which dropped names can be opened as documents.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dragdrop/DragDrop.h"

namespace ze {

class TStrings;
class TPrompter;

// The platform's dropped-files handle.
using HDROP = const TGlobalMemory*;

std::shared_ptr<TGlobalMemory> MakeDropFiles(const std::vector<std::string>& names);
// The number of names in the block.
int DragQueryFileCount(HDROP drop);
// Name i, empty when there is no such name.
std::string DragQueryFile(HDROP drop, int i);
// Clears list and adds every name of the drop in order.
void ListDroppedFiles(HDROP drop, TStrings& list);
std::vector<std::string> ListDroppedFiles(HDROP drop);

// A data object holding names of files (a drag of files out of this
// program, and tests).
class TFilesDataObject : public TDataObject {
public:
  explicit TFilesDataObject(std::vector<std::string> names);

protected:
  HRESULT RenderData(const TFormatEtc& format, TStgMedium& medium, bool allocate) override;

private:
  std::vector<std::string> names_;
};

// Sorts dropped names into the ones that can be opened and the rest. A
// name that is not an absolute path (a dropped address that is no local
// file), a folder, anything that is not a regular file and a file that
// cannot be read are skipped with a notice; a file larger than MaxBytes is
// refused with a message. Each name gets at most one box.
struct TDroppedFileCheck {
  // The largest file taken; by default half of the machine's memory.
  uint64_t MaxBytes = DefaultMaxBytes();
  static uint64_t DefaultMaxBytes();

  std::vector<std::string> Filter(const std::vector<std::string>& names, TPrompter& prompter) const;
};

// The texts of those boxes.
std::string NotAFileMessage(const std::string& name);
std::string FolderMessage(const std::string& name);
std::string NotRegularMessage(const std::string& name);
std::string UnreadableMessage(const std::string& name, const std::string& reason);
std::string TooBigMessage(const std::string& name, uint64_t size);

} // namespace ze
