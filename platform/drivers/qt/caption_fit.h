// Captions that fit their controls. Controls are placed in dialog units of
// the window's font, but a face standing in for the design's may set a
// caption wider than the design's face did, and Qt would cut it off at the
// control's edges. Such a caption is drawn in a smaller size of the
// window's font instead: just small enough, and never below
// kSmallestCaptionPoints. The control's place and size stay as the engine
// gave them.
#pragma once

#include <QtGui/QFont>
#include <QtCore/QString>

class QWidget;

namespace vaultrix::platform::qt {

inline constexpr double kSmallestCaptionPoints = 6.0;

// The caption as it shows: "&" marks the next letter, "&&" is one "&".
[[nodiscard]] QString ShownCaption(const QString& text);

// `font` when `caption` fits `room` pixels in it, else the largest smaller
// size that fits (or the smallest allowed).
[[nodiscard]] QFont FittingFont(const QFont& font, const QString& caption, int room);

// The pixels a widget's style leaves for its caption: a push button's
// contents less its icon, a check box's or radio button's label beside its
// indicator, a one-line label's contents; -1 for a widget without a caption
// of that kind.
[[nodiscard]] int CaptionRoom(const QWidget& widget);

// Sets the widget's font so that its caption fits, or lets it take its
// window's font again when the caption fits in that. Call after its text,
// size or window font changed.
void FitCaption(QWidget& widget);

}  // namespace vaultrix::platform::qt
