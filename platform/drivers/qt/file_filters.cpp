// Filter strings to Qt's filter lines.
#include "platform/drivers/qt/file_filters.h"

#include <QtCore/QFileInfo>

#include <string>

namespace vaultrix::platform::qt {
namespace {

std::vector<std::string> SplitBars(std::string_view text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t bar = text.find('|', start);
    const std::size_t end = bar == std::string_view::npos ? text.size() : bar;
    parts.emplace_back(text.substr(start, end - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  // A trailing "|" ends the list rather than opening an empty entry.
  if (!parts.empty() && parts.back().empty()) parts.pop_back();
  return parts;
}

// "*.CSV;*.txt" as Qt's space-separated list, each pattern in both cases.
QString QtPatterns(const std::string& patterns) {
  QStringList out;
  for (const QString& raw : QString::fromStdString(patterns).split(QLatin1Char(';'))) {
    const QString pattern = raw.trimmed();
    if (pattern.isEmpty()) continue;
    if (pattern == QStringLiteral("*.*")) {
      out << QStringLiteral("*");
      continue;
    }
    for (const QString& variant : {pattern, pattern.toLower(), pattern.toUpper()}) {
      if (!out.contains(variant)) out << variant;
    }
  }
  if (out.isEmpty()) out << QStringLiteral("*");
  return out.join(QLatin1Char(' '));
}

}  // namespace

std::vector<FileFilter> ParseFilterString(std::string_view text) {
  std::vector<FileFilter> filters;
  const std::vector<std::string> parts = SplitBars(text);
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i + 1].empty()) continue;
    filters.push_back(FileFilter{parts[i], parts[i + 1]});
  }
  return filters;
}

QStringList QtFilters(const std::vector<FileFilter>& filters) {
  QStringList lines;
  for (const FileFilter& filter : filters) {
    QString description = QString::fromStdString(filter.description).trimmed();
    // Qt reads the patterns from the line's last parentheses; a description
    // that lists its patterns itself ("Text (*.txt)") would show them twice.
    if (description.endsWith(QLatin1Char(')')) && description.contains(QLatin1Char('('))) {
      description = description.left(description.lastIndexOf(QLatin1Char('('))).trimmed();
    }
    if (description.isEmpty()) description = QStringLiteral("Files");
    lines << QStringLiteral("%1 (%2)").arg(description, QtPatterns(filter.pattern));
  }
  if (lines.isEmpty()) lines << QStringLiteral("All Files (*)");
  return lines;
}

int FilterIndexOf(const QStringList& qt_filters, const QString& qt_filter) {
  const qsizetype index = qt_filters.indexOf(qt_filter);
  return index < 0 ? 1 : static_cast<int>(index) + 1;
}

QString WithDefaultExtension(const QString& path, const QString& extension) {
  QString clean = extension;
  while (clean.startsWith(QLatin1Char('.'))) clean.remove(0, 1);
  if (path.isEmpty() || clean.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
  return path + QLatin1Char('.') + clean;
}

}  // namespace vaultrix::platform::qt
