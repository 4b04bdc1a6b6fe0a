#include "form/Fonts.h"

#include <QStringList>

namespace morvane::form {

void InstallFontFallbacks() {
    // Monospaced first for the two fixed-pitch families, so columns of
    // received text still line up; the proportional CJK face after it.
    const QStringList mono = {QStringLiteral("Noto Sans Mono CJK JP"),
                              QStringLiteral("Noto Sans CJK JP"),
                              QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Monospace")};
    QFont::insertSubstitutions(kGothicFamily, mono);
    QFont::insertSubstitutions(QStringLiteral("MS Gothic"), mono);
    QFont::insertSubstitutions(
        kConsolasFamily, {QStringLiteral("DejaVu Sans Mono"),
                          QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("Monospace")});
    QFont::insertSubstitutions(kFormFamily,
                               {QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Sans Serif")});
}

QFont FormFont(const QString& family, double points) {
    QFont font(family);
    font.setPointSizeF(points);
    if (family == kConsolasFamily)
        font.setStyleHint(QFont::Monospace);
    return font;
}

}  // namespace morvane::form
