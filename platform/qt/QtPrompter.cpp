#include "platform/qt/QtPrompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace ze {
namespace {

QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

std::string ToNative(const QString& path) {
  QByteArray bytes = QFile::encodeName(path);
  return std::string(bytes.constData(), size_t(bytes.size()));
}

} // namespace

TMsgResult TQtPrompter::Message(const std::string& text, TMsgKind kind, TMsgButtons buttons,
                                const std::string& caption) {
  QMessageBox::Icon icon = QMessageBox::Information;
  switch (kind) {
  case TMsgKind::Information: icon = QMessageBox::Information; break;
  case TMsgKind::Warning: icon = QMessageBox::Warning; break;
  case TMsgKind::Error: icon = QMessageBox::Critical; break;
  case TMsgKind::Confirmation: icon = QMessageBox::Question; break;
  }
  QMessageBox::StandardButtons set = QMessageBox::Ok;
  switch (buttons) {
  case TMsgButtons::Ok: set = QMessageBox::Ok; break;
  case TMsgButtons::OkCancel: set = QMessageBox::Ok | QMessageBox::Cancel; break;
  case TMsgButtons::YesNo: set = QMessageBox::Yes | QMessageBox::No; break;
  case TMsgButtons::YesNoCancel:
    set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    break;
  case TMsgButtons::YesNoCancelAll:
    set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::YesToAll;
    break;
  }
  QString title = caption.empty() ? QApplication::applicationDisplayName() : FromUtf8(caption);
  QMessageBox box(icon, title, FromUtf8(text), set, parent_);
  if (buttons == TMsgButtons::YesNoCancelAll)
    box.button(QMessageBox::YesToAll)->setText(QStringLiteral("すべて"));
  switch (box.exec()) {
  case QMessageBox::Ok: return TMsgResult::Ok;
  case QMessageBox::Yes: return TMsgResult::Yes;
  case QMessageBox::No: return TMsgResult::No;
  case QMessageBox::YesToAll: return TMsgResult::All;
  default: return TMsgResult::Cancel;
  }
}

std::vector<std::string> TQtPrompter::AskOpenFileNames(const std::string& title,
                                                       const std::string& filter,
                                                       const std::string& startDir, bool multi) {
  std::vector<std::string> out;
  QString dir = QFile::decodeName(startDir.c_str());
  if (multi) {
    for (const QString& f : QFileDialog::getOpenFileNames(parent_, FromUtf8(title), dir,
                                                          FromUtf8(filter)))
      out.push_back(ToNative(f));
  } else {
    QString f = QFileDialog::getOpenFileName(parent_, FromUtf8(title), dir, FromUtf8(filter));
    if (!f.isEmpty()) out.push_back(ToNative(f));
  }
  return out;
}

std::optional<std::string> TQtPrompter::AskSaveFileName(const std::string& title,
                                                        const std::string& filter,
                                                        const std::string& suggested) {
  QString f = QFileDialog::getSaveFileName(parent_, FromUtf8(title),
                                           QFile::decodeName(suggested.c_str()), FromUtf8(filter));
  if (f.isEmpty()) return std::nullopt;
  return ToNative(f);
}

} // namespace ze
