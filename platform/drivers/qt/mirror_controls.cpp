// The widgets of the controls: one per control kind of the window system
// (window_classes.h), showing the control's state and reporting what the
// user does with it. Controls sit on their window's client at their
// window-relative place; containers (group, option group, sheet) are drawn
// behind what they contain, and a tab's controls show only while it is the
// sheet's current tab.
#include <QtGui/QValidator>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QToolButton>

#include <cmath>
#include <functional>

#include "platform/drivers/qt/caption_fit.h"
#include "platform/drivers/qt/list_view.h"
#include "platform/drivers/qt/mirror_entry.h"
#include "platform/drivers/qt/page_painter.h"
#include "platform/drivers/qt/resource_pixmap.h"
#include "platform/drivers/qt/window_mirror.h"
#include "platform/window_classes.h"

namespace vaultrix::platform::qt {
namespace {

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

// Controls whose caption is fitted to them (caption_fit.h); a string's text
// is data and keeps its window's font.
void FitCaptionOf(const std::string& kind, QWidget& widget) {
  if (kind == kButtonClass || kind == kCheckClass || kind == kRadioClass || kind == kPromptClass) {
    FitCaption(widget);
  }
}

// Refuses an edit that would make the entry's text longer in UTF-8 bytes than
// its field holds: typing stops at the field's end, never inside a character.
// The blanks that pad a shown value give way to what is typed before them.
// The limit is read at every edit, as the program may set it after the
// widget was made.
class FieldSizeValidator final : public QValidator {
 public:
  FieldSizeValidator(std::function<std::size_t()> limit, QObject* parent)
      : QValidator(parent), limit_(std::move(limit)) {}
  State validate(QString& input, int& position) const override {
    const std::size_t limit = limit_();
    const auto bytes = static_cast<std::size_t>(input.toUtf8().size());
    if (limit == 0 || bytes <= limit) return Acceptable;
    const auto excess = static_cast<qsizetype>(bytes - limit);
    const bool padding = input.size() - excess >= position &&
                         input.right(excess).count(QLatin1Char(' ')) == excess;
    if (!padding) return Invalid;
    input.chop(excess);
    return Acceptable;
  }

 private:
  std::function<std::size_t()> limit_;
};

}  // namespace

void WindowMirror::Report(WindowHandle control, std::uint32_t code) {
  Entry* host = HostEntry(control);
  std::optional<WindowInfo> now = system_.GetWindowInfo(control);
  if (host == nullptr || !now) return;
  PostCommand(host->handle, (code << 16) | (static_cast<std::uint32_t>(now->control_id) & 0xFFFF),
              control);
}

QWidget* WindowMirror::CreateControlWidget(Entry& entry, const WindowInfo& info, QWidget* on) {
  const std::string& kind = info.class_name;
  const WindowHandle handle = info.handle;
  if (kind == kButtonClass) {
    auto* button = new QPushButton(on);
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, [this, handle] { Report(handle, kBnClicked); });
    return button;
  }
  if (kind == kEntryClass) {
    auto* edit = new QLineEdit(on);
    edit->setValidator(new FieldSizeValidator(
        [this, handle] {
          const std::optional<WindowInfo> now = system_.GetWindowInfo(handle);
          return now ? now->text_limit : std::size_t{0};
        },
        edit));
    QObject::connect(edit, &QLineEdit::textEdited, [this, handle](const QString& text) {
      (void)system_.SetText(handle, text.toStdString());
      Report(handle, kEnChange);
    });
    return edit;
  }
  if (kind == kTextClass) {
    auto* edit = new QPlainTextEdit(on);
    QObject::connect(edit, &QPlainTextEdit::textChanged, [this, edit, handle] {
      if (Applying()) return;
      (void)system_.SetText(handle, edit->toPlainText().toStdString());
      Report(handle, kEnChange);
    });
    return edit;
  }
  if (kind == kCheckClass) {
    auto* check = new QCheckBox(on);
    QObject::connect(check, &QCheckBox::clicked, [this, handle](bool checked) {
      (void)system_.SetCheck(handle, checked ? 1 : 0);
      Report(handle, kBnClicked);
    });
    return check;
  }
  if (kind == kRadioClass) {
    auto* radio = new QRadioButton(on);
    if (Entry* option = Find(info.parent)) {
      if (auto* group = option->object.data()->findChild<QButtonGroup*>()) group->addButton(radio);
    }
    QObject::connect(radio, &QRadioButton::clicked, [this, handle] { RadioChosen(handle); });
    return radio;
  }
  if (kind == kOptionClass || kind == kGroupClass) {
    auto* box = new QGroupBox(on);
    if (kind == kOptionClass) new QButtonGroup(box);
    box->lower();
    return box;
  }
  if (kind == kSpinClass) {
    auto* spin = new QSpinBox(on);
    QObject::connect(spin, &QSpinBox::valueChanged, [this, handle](int value) {
      if (Applying()) return;
      (void)system_.SetText(handle, std::to_string(value));
      Report(handle, kEnChange);
    });
    return spin;
  }
  if (kind == kProgressClass) return new QProgressBar(on);
  if (kind == kSheetClass) {
    auto* tabs = new QTabBar(on);
    tabs->setDrawBase(true);
    auto* frame = new QFrame(on);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setObjectName(QStringLiteral("sheet_page"));
    frame->lower();
    entry.extra = frame;
    QObject::connect(tabs, &QTabBar::currentChanged, [this, handle](int index) {
      if (Applying()) return;
      (void)system_.SetValue(handle, index + 1);
      Report(handle, kLbnSelChange);
      ShowTabsOf(handle);
    });
    return tabs;
  }
  if (kind == kTabClass) {
    // A tab is a page of its sheet's bar; it has no widget of its own.
    Entry* sheet = Find(info.parent);
    auto* tabs = sheet != nullptr ? qobject_cast<QTabBar*>(sheet->object.data()) : nullptr;
    if (tabs == nullptr) return nullptr;
    ++applying_;
    tabs->addTab(Text(info.text));
    --applying_;
    Changed(sheet->handle);  // the bar's height comes with its first tab
    auto* marker = new QWidget(on);
    marker->setObjectName(QStringLiteral("tab"));
    marker->hide();
    return marker;
  }
  if (kind == kListClass) {
    return new ListView(
        on,
        [this, handle](std::uint32_t action, int position) {
          (void)system_.InjectInput(handle, kWmVScroll,
                                    MakeScrollParam(static_cast<int>(action), position),
                                    static_cast<std::intptr_t>(handle));
        },
        [this, handle](int column, int width) {
          (void)system_.InjectInput(handle, kListColumnWidth, static_cast<std::uintptr_t>(column),
                                    width);
        });
  }
  if (kind == kBoxClass) {
    auto* box = new QFrame(on);
    box->lower();
    return box;
  }
  // Strings, prompts and images, and kinds this driver does not know.
  return new QLabel(on);
}

bool WindowMirror::PressDefaultButton(WindowHandle window) {
  for (auto& [handle, entry] : entries_) {
    if (entry->class_name != kButtonClass || HostOf(handle) != window) continue;
    auto* button = qobject_cast<QPushButton*>(entry->object.data());
    if (button == nullptr || !button->isDefault() || !button->isEnabled() || !button->isVisible()) {
      continue;
    }
    button->click();
    return true;
  }
  return false;
}

void WindowMirror::RadioChosen(WindowHandle radio) {
  std::optional<WindowInfo> info = system_.GetWindowInfo(radio);
  if (!info) return;
  const std::vector<WindowHandle> radios = system_.Children(info->parent);
  for (std::size_t i = 0; i < radios.size(); ++i) {
    (void)system_.SetCheck(radios[i], radios[i] == radio ? 1 : 0);
    if (radios[i] == radio) (void)system_.SetValue(info->parent, static_cast<std::int64_t>(i) + 1);
  }
  Report(radio, kBnClicked);
}

void WindowMirror::ShowTabsOf(WindowHandle sheet) {
  for (WindowHandle tab : system_.Children(sheet)) {
    for (WindowHandle control : system_.Children(tab)) Changed(control);
  }
}

bool WindowMirror::OnHiddenTab(const Entry& entry) const {
  for (const Entry* walk = &entry; walk != nullptr; walk = Find(walk->parent)) {
    if (walk->class_name != kTabClass) continue;
    const Entry* sheet = Find(walk->parent);
    auto* tabs = sheet != nullptr ? qobject_cast<QTabBar*>(sheet->object.data()) : nullptr;
    if (tabs == nullptr) return false;
    const std::vector<WindowHandle> pages = system_.Children(sheet->handle);
    const auto at = std::find(pages.begin(), pages.end(), walk->handle);
    return at == pages.end() || static_cast<int>(at - pages.begin()) != tabs->currentIndex();
  }
  return false;
}

void WindowMirror::ShowTab(const Entry& entry, const WindowInfo& info) {
  const Entry* sheet = Find(entry.parent);
  auto* tabs = sheet != nullptr ? qobject_cast<QTabBar*>(sheet->object.data()) : nullptr;
  if (tabs == nullptr) return;
  const std::vector<WindowHandle> pages = system_.Children(sheet->handle);
  const auto at = std::find(pages.begin(), pages.end(), entry.handle);
  if (at == pages.end()) return;
  const int index = static_cast<int>(at - pages.begin());
  if (index >= tabs->count()) return;
  tabs->setTabText(index, Text(info.text));
  tabs->setTabEnabled(index, info.enabled);
  tabs->setTabToolTip(index, Text(info.display.tooltip));
}

void WindowMirror::ShowControlWidget(Entry& entry, QWidget* widget, const WindowInfo& info) {
  const QString text = Text(info.text);
  const DisplayAttributes& display = info.display;
  widget->setToolTip(Text(display.tooltip));
  if (auto* list = dynamic_cast<ListView*>(widget)) {
    list->Show(info, UnitsOf(entry.handle));
  } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
    button->setText(text);
    button->setDefault(display.default_button);
    if (!display.image.empty()) button->setIcon(ResourcePixmap("IMAGE", display.image));
  } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
    check->setText(text);
    check->setChecked(info.check != 0);
  } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
    radio->setText(text);
    if (radio->isChecked() != (info.check != 0)) radio->setChecked(info.check != 0);
  } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
    box->setTitle(text);
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    if (edit->text() != text) edit->setText(text);
  } else if (auto* lines = qobject_cast<QPlainTextEdit*>(widget)) {
    if (lines->toPlainText() != text) lines->setPlainText(text);
  } else if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
    const bool ranged = display.high > display.low;
    spin->setRange(ranged ? static_cast<int>(display.low) : 0,
                   ranged ? static_cast<int>(display.high) : 999999);
    spin->setSingleStep(display.step >= 1 ? static_cast<int>(display.step) : 1);
    spin->setValue(text.trimmed().toInt());
  } else if (auto* progress = qobject_cast<QProgressBar*>(widget)) {
    progress->setRange(static_cast<int>(display.low),
                       display.high > display.low ? static_cast<int>(display.high) : 100);
    progress->setValue(static_cast<int>(info.value));
  } else if (auto* tabs = qobject_cast<QTabBar*>(widget)) {
    const int index = static_cast<int>(info.value) - 1;
    if (index >= 0 && index < tabs->count() && tabs->currentIndex() != index) {
      tabs->setCurrentIndex(index);
      ShowTabsOf(entry.handle);
    }
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    if (entry.class_name == kImageClass) {
      // A path names a report page file, drawn at the control's size.
      label->setPixmap(!display.image.empty() && display.image.front() == '/'
                           ? PageFilePixmap(display.image, widget->size())
                           : ResourcePixmap("IMAGE", display.image));
      label->setScaledContents(true);
    } else {
      label->setText(text);
    }
  }
  FitCaptionOf(entry.class_name, *widget);
}

void WindowMirror::PlaceControl(Entry& entry, QWidget* widget, const Rect& rect) {
  const DialogUnits* units = UnitsOf(entry.handle);
  if (units == nullptr) return;
  const QRect at = units->ToPixels(rect);
  if (auto* tabs = qobject_cast<QTabBar*>(widget); tabs != nullptr && entry.extra) {
    // The bar across the top, the page frame below it.
    const int bar = tabs->sizeHint().height();
    tabs->setGeometry(at.x(), at.y(), at.width(), bar);
    entry.extra->setGeometry(at.x(), at.y() + bar - 1, at.width(), std::max(0, at.height() - bar + 1));
    return;
  }
  widget->setGeometry(at);
  FitCaptionOf(entry.class_name, *widget);
}

}  // namespace vaultrix::platform::qt
