#pragma once
// The look of the program where the skin leaves it open: a dark theme in the
// manner of a gaming peripheral suite (near-black surfaces, one cyan accent, soft
// borders), the application style sheet for the Qt widgets we embed (fields,
// lists, sliders, combo boxes, menus, scroll bars), the program icon, and the
// mapping of skin fonts to Qt fonts with fallbacks to the system's faces.

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QString>
#include <QStringList>

class QApplication;

namespace lumora {

struct UiFontInfo;

class QtTheme {
public:
    static QColor Base();         // window background
    static QColor Surface();      // panels, fields
    static QColor SurfaceHigh();  // raised: buttons, hovered rows
    static QColor Border();
    static QColor Text();
    static QColor TextDim();
    static QColor Accent();
    static QColor AccentDeep();
    static QColor Danger();

    // Fusion style, the dark palette and the style sheet.
    static void Apply(QApplication& app);
    static QString StyleSheet();
    // The program's icon, drawn (a lit key cap), so it needs no file.
    static QIcon AppIcon();

    // A skin font (null: the default) at a scale, with fallbacks: a face the
    // machine lacks is replaced by the system's sans serif faces, which also cover
    // Thai and CJK text when fonts-noto-core and a CJK font are installed.
    static QFont Font(const UiFontInfo* info, double scale);
    static QStringList FallbackFamilies();
    // "Noto Sans CJK TC Regular" names a face; Qt wants the family.
    static QString FamilyOf(const QString& face);
};

}  // namespace lumora
