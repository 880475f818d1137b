#include "app/qt_program_font.h"

#include <QFont>
#include <QStringList>

namespace lct {

QFont withSimplifiedChineseFamilies(const QFont& base) {
    QStringList families{QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
                         QStringLiteral("Noto Sans SC"), QStringLiteral("WenQuanYi Micro Hei"),
                         QStringLiteral("WenQuanYi Zen Hei")};
    for (const QString& family : base.families() + QStringList{base.family()})
        if (!family.isEmpty() && !families.contains(family)) families.append(family);
    QFont font = base;
    font.setFamilies(families);
    return font;
}

}  // namespace lct
