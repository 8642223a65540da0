// Message boxes with the requested buttons, icon and default button; file
// dialogs with the request's filters, folder, name and extension.
#include "platform/drivers/qt/dialog_presenter.h"

#include <QtCore/QTimer>
#include <QtGui/QCursor>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QMessageBox>

#include <vector>

#include "platform/drivers/qt/file_filters.h"
#include "platform/drivers/qt/print_setup.h"
#include "platform/drivers/qt/window_mirror.h"

namespace vaultrix::platform::qt {
namespace {

struct ButtonMap {
  QMessageBox::StandardButton button;
  MessageBoxAnswer answer;
};

std::vector<ButtonMap> ButtonsOf(MessageBoxButtons buttons) {
  using A = MessageBoxAnswer;
  using Q = QMessageBox;
  switch (buttons) {
    case MessageBoxButtons::kOk: return {{Q::Ok, A::kOk}};
    case MessageBoxButtons::kOkCancel: return {{Q::Ok, A::kOk}, {Q::Cancel, A::kCancel}};
    case MessageBoxButtons::kAbortRetryIgnore:
      return {{Q::Abort, A::kAbort}, {Q::Retry, A::kRetry}, {Q::Ignore, A::kIgnore}};
    case MessageBoxButtons::kYesNoCancel:
      return {{Q::Yes, A::kYes}, {Q::No, A::kNo}, {Q::Cancel, A::kCancel}};
    case MessageBoxButtons::kYesNo: return {{Q::Yes, A::kYes}, {Q::No, A::kNo}};
    case MessageBoxButtons::kRetryCancel: return {{Q::Retry, A::kRetry}, {Q::Cancel, A::kCancel}};
  }
  return {{Q::Ok, A::kOk}};
}

QMessageBox::Icon IconOf(MessageBoxIcon icon) {
  switch (icon) {
    case MessageBoxIcon::kStop: return QMessageBox::Critical;
    case MessageBoxIcon::kQuestion: return QMessageBox::Question;
    case MessageBoxIcon::kExclamation: return QMessageBox::Warning;
    case MessageBoxIcon::kInformation: return QMessageBox::Information;
    case MessageBoxIcon::kNone: break;
  }
  return QMessageBox::NoIcon;
}

// What Escape or the window's close button answers: Cancel when the set has
// it, else No, else the only button (OK); a set without any of them
// (Abort, Retry, Ignore) cannot be dismissed that way.
std::optional<MessageBoxAnswer> EscapeAnswer(MessageBoxButtons buttons) {
  std::optional<MessageBoxAnswer> answer;
  for (const ButtonMap& b : ButtonsOf(buttons)) {
    if (b.answer == MessageBoxAnswer::kCancel) return b.answer;
    if (b.answer == MessageBoxAnswer::kNo) answer = b.answer;
  }
  if (buttons == MessageBoxButtons::kOk) answer = MessageBoxAnswer::kOk;
  return answer;
}

}  // namespace

DialogPresenter::DialogPresenter(WindowSystem& system, WindowMirror& mirror, bool qt_file_dialogs)
    : system_(system), mirror_(mirror), qt_file_dialogs_(qt_file_dialogs) {}

DialogPresenter::~DialogPresenter() {
  std::map<DialogId, QPointer<QMenu>> popups = std::move(popups_);
  popups_.clear();
  for (auto& [id, menu] : popups) {
    if (menu) {
      menu->disconnect();
      delete menu.data();
    }
    (void)system_.AnswerDialog(id, DialogAnswer{});
  }
  std::map<DialogId, QPointer<QDialog>> still_open = std::move(open_);
  open_.clear();
  for (auto& [id, dialog] : still_open) {
    if (dialog) {
      dialog->disconnect();
      delete dialog.data();
    }
    (void)system_.AnswerDialog(id, fallback_[id]);
  }
}

QWidget* DialogPresenter::ParentFor(WindowHandle owner) const {
  QWidget* widget = mirror_.Widget(owner);
  return widget != nullptr ? widget->window() : nullptr;
}

void DialogPresenter::Open(const DialogRequest& request) {
  switch (request.kind) {
    case DialogKind::kMessageBox: OpenMessageBox(request); return;
    case DialogKind::kFileDialog: OpenFileDialog(request); return;
    case DialogKind::kPrintSetup: OpenPrintSetup(request); return;
    case DialogKind::kPopup: OpenPopup(request); return;
  }
}

void DialogPresenter::OpenPopup(const DialogRequest& request) {
  auto* menu = new QMenu(ParentFor(request.owner));
  int number = 0;
  for (const PopupItem& item : request.popup.items) {
    if (item.separator) {
      menu->addSeparator();
      continue;
    }
    QAction* action = menu->addAction(QString::fromStdString(item.text));
    action->setData(++number);
    action->setEnabled(!item.disabled);
    action->setCheckable(item.checked);
    action->setChecked(item.checked);
  }
  const DialogId id = request.id;
  fallback_[id] = DialogAnswer{};
  popups_[id] = menu;
  QObject::connect(menu, &QMenu::triggered, menu, [this, id](QAction* action) {
    DialogAnswer answer;
    answer.popup_item = action->data().toInt();
    FinishPopup(id, answer);
  });
  // A choice triggers after the menu hides; a dismissal is known only once
  // no choice followed.
  QObject::connect(menu, &QMenu::aboutToHide, menu, [this, menu, id] {
    QTimer::singleShot(0, menu, [this, id] { FinishPopup(id, DialogAnswer{}); });
  });
  menu->popup(QCursor::pos());
}

void DialogPresenter::FinishPopup(DialogId dialog, const DialogAnswer& answer) {
  auto it = popups_.find(dialog);
  if (it == popups_.end()) return;
  QPointer<QMenu> menu = it->second;
  popups_.erase(it);
  fallback_.erase(dialog);
  if (menu) {
    menu->disconnect();
    menu->hide();
    menu->deleteLater();
  }
  (void)system_.AnswerDialog(dialog, answer);
}

void DialogPresenter::OpenPrintSetup(const DialogRequest& request) {
  const DialogId id = request.id;
  QDialog* dialog = MakePrintSetupDialog(ParentFor(request.owner), [this, id](
                                                                       const PrintSetupResult& chosen) {
    DialogAnswer answer;
    answer.print = chosen;
    Finish(id, answer);
  });
  if (dialog == nullptr) {
    (void)system_.AnswerDialog(id, DialogAnswer{});
    return;
  }
  dialog->setWindowModality(Qt::ApplicationModal);
  fallback_[id] = DialogAnswer{};
  open_[id] = dialog;
  dialog->show();
}

void DialogPresenter::OpenMessageBox(const DialogRequest& request) {
  const MessageBoxRequest& asked = request.message_box;
  auto* box = new QMessageBox(IconOf(asked.icon), QString::fromStdString(asked.caption),
                              QString::fromStdString(asked.text), QMessageBox::NoButton,
                              ParentFor(request.owner));
  const std::vector<ButtonMap> buttons = ButtonsOf(asked.buttons);
  for (const ButtonMap& b : buttons) box->addButton(b.button);
  const std::size_t default_index =
      asked.default_button >= 1 && static_cast<std::size_t>(asked.default_button) <= buttons.size()
          ? static_cast<std::size_t>(asked.default_button - 1)
          : 0;
  box->setDefaultButton(buttons[default_index].button);
  const std::optional<MessageBoxAnswer> escape = EscapeAnswer(asked.buttons);
  for (const ButtonMap& b : buttons) {
    if (escape && b.answer == *escape) box->setEscapeButton(b.button);
  }
  box->setWindowModality(Qt::ApplicationModal);
  const DialogId id = request.id;
  DialogAnswer fallback;
  fallback.button = escape.value_or(buttons[default_index].answer);
  fallback_[id] = fallback;
  QObject::connect(box, &QMessageBox::finished, box, [this, box, id, buttons, fallback] {
    DialogAnswer answer = fallback;
    const QMessageBox::StandardButton clicked = box->standardButton(box->clickedButton());
    for (const ButtonMap& b : buttons) {
      if (b.button == clicked) answer.button = b.answer;
    }
    Finish(id, answer);
  });
  open_[id] = box;
  box->show();
}

void DialogPresenter::OpenFileDialog(const DialogRequest& request) {
  const FileDialogRequest& asked = request.file_dialog;
  auto* dialog = new QFileDialog(ParentFor(request.owner), QString::fromStdString(asked.title),
                                 QString::fromStdString(asked.initial_directory));
  const bool save = asked.kind == FileDialogKind::kSave;
  dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog->setFileMode(!save && asked.must_exist ? QFileDialog::ExistingFile
                                                : QFileDialog::AnyFile);
  if (qt_file_dialogs_) dialog->setOption(QFileDialog::DontUseNativeDialog);
  if (save && !asked.confirm_overwrite) dialog->setOption(QFileDialog::DontConfirmOverwrite);
  const QStringList filters = QtFilters(asked.filters);
  dialog->setNameFilters(filters);
  const int index = asked.filter_index >= 1 && asked.filter_index <= filters.size()
                        ? asked.filter_index
                        : 1;
  dialog->selectNameFilter(filters.at(index - 1));
  if (!asked.file_name.empty()) dialog->selectFile(QString::fromStdString(asked.file_name));
  const QString extension = QString::fromStdString(asked.default_extension);
  dialog->setWindowModality(Qt::ApplicationModal);
  const DialogId id = request.id;
  fallback_[id] = DialogAnswer{};
  QObject::connect(dialog, &QFileDialog::finished, dialog,
                   [this, dialog, id, filters, extension, save](int result) {
                     DialogAnswer answer;
                     const QStringList chosen = dialog->selectedFiles();
                     if (result == QDialog::Accepted && !chosen.isEmpty()) {
                       answer.file.accepted = true;
                       const QString path =
                           save ? WithDefaultExtension(chosen.front(), extension) : chosen.front();
                       answer.file.path = path.toStdString();
                       answer.file.filter_index = FilterIndexOf(filters, dialog->selectedNameFilter());
                     }
                     Finish(id, answer);
                   });
  open_[id] = dialog;
  dialog->show();
}

void DialogPresenter::Finish(DialogId dialog, const DialogAnswer& answer) {
  auto it = open_.find(dialog);
  if (it == open_.end()) return;
  QPointer<QDialog> widget = it->second;
  open_.erase(it);
  fallback_.erase(dialog);
  if (widget) widget->deleteLater();
  (void)system_.AnswerDialog(dialog, answer);
}

void DialogPresenter::Answered(DialogId dialog) {
  if (auto popup = popups_.find(dialog); popup != popups_.end()) {
    QPointer<QMenu> menu = popup->second;
    popups_.erase(popup);
    fallback_.erase(dialog);
    if (menu) {
      menu->disconnect();
      menu->hide();
      menu->deleteLater();
    }
    return;
  }
  auto it = open_.find(dialog);
  if (it == open_.end()) return;
  QPointer<QDialog> widget = it->second;
  open_.erase(it);
  fallback_.erase(dialog);
  if (widget) {
    widget->disconnect();
    widget->hide();
    widget->deleteLater();
  }
}

QDialog* DialogPresenter::Widget(DialogId dialog) const {
  auto it = open_.find(dialog);
  return it == open_.end() ? nullptr : it->second.data();
}

}  // namespace vaultrix::platform::qt
