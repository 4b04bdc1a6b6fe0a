// The form's fonts. The stored family names are those the settings carry
// ("ＭＳ ゴシック", "Consolas", "MS UI Gothic"); on a machine without them Qt
// substitutes Noto CJK, so kana and kanji never fall back to boxes.
#pragma once

#include <QFont>
#include <QString>

namespace morvane::form {

inline const QString kGothicFamily = QStringLiteral("ＭＳ ゴシック");
inline const QString kConsolasFamily = QStringLiteral("Consolas");
inline const QString kFormFamily = QStringLiteral("MS UI Gothic");

// Registers the substitutions once per process; call before any widget is made.
void InstallFontFallbacks();

// A font of the family at a size in points (10.5, 12, 15, 19).
QFont FormFont(const QString& family, double points);

}  // namespace morvane::form
