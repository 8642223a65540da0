// Clipboard changes cross in both directions; the window system's change
// counter tells the driver's own changes from new ones, so nothing echoes.
#include "platform/drivers/qt/clipboard_sync.h"

#include <QtCore/QMimeData>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>

#include <string.h>

#include <optional>
#include <string>

namespace vaultrix::platform::qt {

ClipboardSync::ClipboardSync(WindowSystem& system) : system_(system) {
  in_step_sequence_ = system_.ClipboardSequenceNumber();
  connection_ = QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged,
                                 [this] { DesktopChanged(); });
  // Whichever side holds text at the start gives it to the other; the
  // desktop's wins when both do.
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data != nullptr && data->hasText()) {
    DesktopChanged();
  } else if (system_.GetClipboardText()) {
    in_step_sequence_ = ~in_step_sequence_;
    SystemChanged();
  }
}

ClipboardSync::~ClipboardSync() {
  QObject::disconnect(connection_);
}

void ClipboardSync::SystemChanged() {
  const std::uint32_t sequence = system_.ClipboardSequenceNumber();
  if (sequence == in_step_sequence_) return;
  in_step_sequence_ = sequence;
  std::optional<std::string> text = system_.GetClipboardText();
  pushing_ = true;
  if (text) {
    auto* data = new QMimeData();
    data->setText(QString::fromStdString(*text));
    data->setData(QString::fromLatin1(kPasswordManagerHintType), QByteArrayLiteral("secret"));
    QGuiApplication::clipboard()->setMimeData(data);
    explicit_bzero(text->data(), text->size());
  } else {
    QGuiApplication::clipboard()->clear();
  }
  pushing_ = false;
}

void ClipboardSync::DesktopChanged() {
  if (pushing_) return;
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data != nullptr && data->hasText()) {
    std::string text = data->text().toStdString();
    system_.SetClipboardText(text);
    explicit_bzero(text.data(), text.size());
  } else if (system_.GetClipboardText()) {
    system_.EmptyClipboard();
  }
  in_step_sequence_ = system_.ClipboardSequenceNumber();
}

}  // namespace vaultrix::platform::qt
