// The dump of open windows and dialogs.
#include "platform/drivers/headless/window_dump.h"

#include <cctype>
#include <cstdio>

#include "platform/drivers/headless/dialog_answerer.h"

namespace vaultrix::platform::headless {
namespace {

const char* KindWord(WindowKind kind) {
  switch (kind) {
    case WindowKind::kFrame: return "frame";
    case WindowKind::kMdiChild: return "mdi-child";
    case WindowKind::kMdiClient: return "mdi-client";
    case WindowKind::kControl: return "control";
    case WindowKind::kPlain: break;
  }
  return "window";
}

class Dumper {
 public:
  explicit Dumper(const WindowSystem& system)
      : system_(system), focus_(system.GetFocus()), active_(system.GetActiveWindow()) {}

  void Window(WindowHandle handle, int depth) {
    const std::optional<WindowInfo> info = system_.GetWindowInfo(handle);
    if (!info) return;
    Line(depth, "window " + Quoted(info->text) + " " + KindWord(info->kind) + States(*info));
    for (WindowHandle child : system_.Children(handle)) Child(child, depth + 1);
  }

  std::string Take() { return std::move(out_); }

 private:
  std::string States(const WindowInfo& info) const {
    std::string states;
    if (info.handle == active_ || IsActiveChild(info)) states += " active";
    if (info.handle == focus_) states += " focus";
    if (!info.enabled) states += " disabled";
    if (!info.visible && !IsFurniture(info.class_name)) states += " hidden";
    if (info.show_state == ShowState::kMinimized) states += " minimized";
    if (info.show_state == ShowState::kMaximized) states += " maximized";
    return states;
  }

  bool IsActiveChild(const WindowInfo& info) const {
    return info.kind == WindowKind::kMdiChild && system_.MdiGetActive(info.parent) == info.handle;
  }

  void Child(WindowHandle handle, int depth) {
    const std::optional<WindowInfo> info = system_.GetWindowInfo(handle);
    if (!info) return;
    if (info->kind == WindowKind::kMdiClient) {
      for (WindowHandle child : system_.Children(handle)) Window(child, depth);
      return;
    }
    if (info->kind != WindowKind::kControl) {
      Window(handle, depth);
      return;
    }
    if (info->class_name == "STATUSBAR") {
      std::string line = "status";
      for (const std::string& zone : info->rows) line += " " + Quoted(zone);
      Line(depth, line);
      return;
    }
    Control(*info, depth);
  }

  void Control(const WindowInfo& info, int depth) {
    std::string line = info.class_name;
    if (info.control_id != 0) line += " " + std::to_string(info.control_id);
    const bool list = info.class_name == "LIST";
    if (!list && (!info.text.empty() || info.control_id != 0)) line += " " + Quoted(info.text);
    if (!list && info.value != 0) line += " value=" + std::to_string(info.value);
    if (info.check != 0) line += " check=" + std::to_string(info.check);
    if (list) {
      line += " scroll=" + std::to_string(info.vertical_scroll);
      if (info.vertical_high > info.vertical_low) {
        line += " range=" + std::to_string(info.vertical_low) + ".." +
                std::to_string(info.vertical_high);
      }
    }
    Line(depth, line + States(info));
    if (list) Rows(info, depth + 1);
    for (WindowHandle child : system_.Children(info.handle)) Child(child, depth + 1);
  }

  void Rows(const WindowInfo& info, int depth) {
    if (!info.text.empty()) {
      std::size_t start = 0;
      for (;;) {
        const std::size_t end = info.text.find('\n', start);
        Line(depth, "header " + Quoted(info.text.substr(start, end - start)));
        if (end == std::string::npos) break;
        start = end + 1;
      }
    }
    for (std::size_t i = 0; i < info.rows.size(); ++i) {
      const bool selected = static_cast<std::int64_t>(i) == info.value;
      Line(depth, std::string(selected ? "row* " : "row ") + std::to_string(i + 1) + " " +
                      Quoted(info.rows[i]));
    }
  }

  void Line(int depth, const std::string& text) {
    out_.append(static_cast<std::size_t>(depth) * 2, ' ');
    out_ += text;
    out_.push_back('\n');
  }

  const WindowSystem& system_;
  WindowHandle focus_;
  WindowHandle active_;
  std::string out_;
};

// "popup", then its items one a line, numbered as a choice numbers them.
std::string PopupLines(const PopupRequest& popup) {
  std::string out = "popup\n";
  int number = 0;
  for (const PopupItem& item : popup.items) {
    if (item.separator) {
      out += "  separator\n";
      continue;
    }
    out += "  item " + std::to_string(++number) + " " + Quoted(item.text);
    if (item.checked) out += " checked";
    if (item.disabled) out += " disabled";
    out += "\n";
  }
  return out;
}

std::string DialogLine(const DialogRequest& dialog) {
  if (dialog.kind == DialogKind::kPopup) return PopupLines(dialog.popup);
  if (dialog.kind == DialogKind::kMessageBox) {
    return "message-box " + Quoted(dialog.message_box.caption) + " " +
           Quoted(dialog.message_box.text) + " buttons " +
           Quoted(ButtonTexts(dialog.message_box.buttons)) + "\n";
  }
  const FileDialogRequest& file = dialog.file_dialog;
  return std::string(file.kind == FileDialogKind::kSave ? "save-dialog " : "open-dialog ") +
         Quoted(file.title) + " " + Quoted(file.file_name) + "\n";
}

}  // namespace

bool IsFurniture(std::string_view class_name) {
  return class_name == "MENUBAR" || class_name == "TOOLBAR" || class_name == "STATUSBAR";
}

std::string NameKey(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c != '&') out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      default:
        if (u < 0x20 || u >= 0x7F) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02X", u);
          out += hex;
        } else {
          out.push_back(c);
        }
    }
  }
  out.push_back('"');
  return out;
}

std::string DumpWindows(const WindowSystem& system) {
  Dumper dumper(system);
  for (WindowHandle top : system.TopLevelWindows()) dumper.Window(top, 0);
  std::string out = dumper.Take();
  for (const DialogRequest& dialog : system.OpenDialogs()) out += DialogLine(dialog);
  return out;
}

}  // namespace vaultrix::platform::headless
