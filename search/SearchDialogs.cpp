#include "search/SearchDialogs.h"

#include <QGridLayout>
#include <QRadioButton>

namespace ze {

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int columns,
                         QWidget* parent)
    : QGroupBox(caption, parent) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 2, 8, 4);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    grid->addWidget(button, i / columns, i % columns);
    buttons_.push_back(button);
  }
}

int TRadioGroup::ItemIndex() const {
  for (size_t i = 0; i < buttons_.size(); ++i)
    if (buttons_[i]->isChecked()) return static_cast<int>(i);
  return -1;
}

void TRadioGroup::SetItemIndex(int index) {
  if (index >= 0 && index < ItemCount()) {
    buttons_[size_t(index)]->setChecked(true);
    return;
  }
  // No button checked: auto-exclusive buttons refuse to be all unchecked.
  for (QRadioButton* b : buttons_) {
    b->setAutoExclusive(false);
    b->setChecked(false);
    b->setAutoExclusive(true);
  }
}

bool SearchDialog(ByteString& findText, TSearchOptions& options, QWidget* parent) {
  findText = ByteString();
  options = 0;
  TFormSearch form(parent);
  if (form.exec() != mrOk || form.SearchText().empty()) return false;
  findText = form.SearchText();
  options = form.Options();
  return true;
}

bool ReplaceDialog(ByteString& findText, ByteString& replaceText, TSearchOptions& options,
                   QWidget* parent) {
  findText = ByteString();
  replaceText = ByteString();
  options = 0;
  TFormReplace form(parent);
  int result = form.exec();
  if ((result != mrOk && result != mrAll) || form.SearchText().empty() ||
      form.ReplaceText().empty())
    return false;
  findText = form.SearchText();
  replaceText = form.ReplaceText();
  options = form.Options();
  return true;
}

} // namespace ze
