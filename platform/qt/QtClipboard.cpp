#include "platform/qt/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/CodePage.h"

namespace ze {

namespace {

const QMimeData* Data() {
  return QGuiApplication::clipboard()->mimeData();
}

std::string WithCrLf(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 32);
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r') {
      out += "\r\n";
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else if (s[i] == '\n') {
      out += "\r\n";
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

QString ToQString(std::string_view cp932) {
  std::u16string u = Cp932ToUtf16(cp932);
  QString s = QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

} // namespace

bool TQtClipboard::HasText() const {
  const QMimeData* d = Data();
  return d && d->hasText();
}

std::string TQtClipboard::Text() const {
  const QMimeData* d = Data();
  if (!d || !d->hasText()) return {};
  const QString t = d->text();
  return WithCrLf(Utf16ToCp932(std::u16string_view(reinterpret_cast<const char16_t*>(t.utf16()),
                                                   static_cast<size_t>(t.size()))));
}

bool TQtClipboard::HasBoxFormat() const {
  // The mark counts only while it belongs to the text on the clipboard.
  const QMimeData* d = Data();
  return d && d->hasText() && d->hasFormat(QString::fromLatin1(kBoxMimeType)) &&
         QString::fromUtf8(d->data(QString::fromLatin1(kBoxMimeType))) == d->text();
}

void TQtClipboard::SetText(std::string_view cp932, bool box) {
  auto* d = new QMimeData;
  const QString text = ToQString(cp932);
  d->setText(text);
  if (box) d->setData(QString::fromLatin1(kBoxMimeType), text.toUtf8());
  QGuiApplication::clipboard()->setMimeData(d);
}

void TQtClipboard::Clear() {
  QGuiApplication::clipboard()->clear();
}

} // namespace ze
