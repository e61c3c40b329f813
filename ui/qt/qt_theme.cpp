#include "ui/qt/qt_theme.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QStyleFactory>

#include <algorithm>
#include <cmath>

#include "ui/paint_manager_ui.h"

namespace lumora {

QColor QtTheme::Base() { return QColor(0x0E, 0x10, 0x15); }
QColor QtTheme::Surface() { return QColor(0x17, 0x1A, 0x21); }
QColor QtTheme::SurfaceHigh() { return QColor(0x22, 0x26, 0x30); }
QColor QtTheme::Border() { return QColor(0x2C, 0x31, 0x3C); }
QColor QtTheme::Text() { return QColor(0xE6, 0xE8, 0xEE); }
QColor QtTheme::TextDim() { return QColor(0x8A, 0x91, 0xA0); }
QColor QtTheme::Accent() { return QColor(0x00, 0xD8, 0xC8); }
QColor QtTheme::AccentDeep() { return QColor(0x00, 0x7A, 0x72); }
QColor QtTheme::Danger() { return QColor(0xE8, 0x3A, 0x4F); }

QString QtTheme::StyleSheet() {
    return QStringLiteral(R"(
QToolTip { color: #E6E8EE; background: #222630; border: 1px solid #00D8C8; padding: 4px 6px; }
QLineEdit, QPlainTextEdit { color: #E6E8EE; background: transparent; border: none;
    selection-background-color: #007A72; selection-color: #FFFFFF; }
QComboBox { color: #E6E8EE; background: #171A21; border: 1px solid #2C313C; border-radius: 4px;
    padding: 1px 26px 1px 8px; }
QComboBox:hover { border-color: #00D8C8; }
QComboBox:disabled { color: #5A606C; }
QComboBox::drop-down { subcontrol-origin: padding; subcontrol-position: top right; width: 22px; border: none; }
QComboBox QAbstractItemView { color: #E6E8EE; background: #171A21; border: 1px solid #2C313C; outline: none;
    selection-background-color: #007A72; selection-color: #FFFFFF; padding: 2px; }
QSlider::groove:horizontal { height: 4px; background: #2C313C; border-radius: 2px; }
QSlider::sub-page:horizontal { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #007A72, stop:1 #00D8C8);
    border-radius: 2px; }
QSlider::handle:horizontal { width: 14px; height: 14px; margin: -6px 0; border-radius: 7px; background: #E6E8EE;
    border: 2px solid #00D8C8; }
QSlider::groove:vertical { width: 4px; background: #2C313C; border-radius: 2px; }
QSlider::add-page:vertical { background: qlineargradient(x1:0, y1:1, x2:0, y2:0, stop:0 #007A72, stop:1 #00D8C8);
    border-radius: 2px; }
QSlider::handle:vertical { width: 14px; height: 14px; margin: 0 -6px; border-radius: 7px; background: #E6E8EE;
    border: 2px solid #00D8C8; }
QSlider::handle:disabled { background: #5A606C; border-color: #2C313C; }
QSlider::sub-page:horizontal:disabled, QSlider::add-page:vertical:disabled { background: #2C313C; }
QScrollArea { background: transparent; border: none; }
QScrollArea > QWidget > QWidget { background: transparent; }
QScrollBar:vertical { background: transparent; width: 8px; margin: 0; }
QScrollBar::handle:vertical { background: #2C313C; border-radius: 4px; min-height: 24px; }
QScrollBar::handle:vertical:hover { background: #00D8C8; }
QScrollBar:horizontal { background: transparent; height: 8px; margin: 0; }
QScrollBar::handle:horizontal { background: #2C313C; border-radius: 4px; min-width: 24px; }
QScrollBar::handle:horizontal:hover { background: #00D8C8; }
QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }
QScrollBar::add-page, QScrollBar::sub-page { background: none; }
QMenu { color: #E6E8EE; background: #171A21; border: 1px solid #2C313C; padding: 4px; }
QMenu::item { padding: 6px 24px 6px 14px; border-radius: 3px; }
QMenu::item:selected { background: #007A72; color: #FFFFFF; }
QMenu::item:disabled { color: #5A606C; }
QMenu::separator { height: 1px; background: #2C313C; margin: 4px 8px; }
QMenu::indicator { width: 12px; height: 12px; }
QDialog, QFileDialog, QColorDialog { background: #0E1015; color: #E6E8EE; }
QPushButton { color: #E6E8EE; background: #222630; border: 1px solid #2C313C; border-radius: 4px; padding: 5px 14px; }
QPushButton:hover { border-color: #00D8C8; }
QPushButton:default { border-color: #00D8C8; }
)");
}

void QtTheme::Apply(QApplication& app) {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(fusion);
    QPalette palette;
    palette.setColor(QPalette::Window, Base());
    palette.setColor(QPalette::WindowText, Text());
    palette.setColor(QPalette::Base, Surface());
    palette.setColor(QPalette::AlternateBase, SurfaceHigh());
    palette.setColor(QPalette::Text, Text());
    palette.setColor(QPalette::PlaceholderText, TextDim());
    palette.setColor(QPalette::Button, SurfaceHigh());
    palette.setColor(QPalette::ButtonText, Text());
    palette.setColor(QPalette::Highlight, AccentDeep());
    palette.setColor(QPalette::HighlightedText, QColor(Qt::white));
    palette.setColor(QPalette::ToolTipBase, SurfaceHigh());
    palette.setColor(QPalette::ToolTipText, Text());
    palette.setColor(QPalette::Link, Accent());
    palette.setColor(QPalette::Disabled, QPalette::Text, TextDim().darker(140));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, TextDim().darker(140));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, TextDim().darker(140));
    app.setPalette(palette);
    app.setStyleSheet(StyleSheet());
    app.setWindowIcon(AppIcon());
}

QIcon QtTheme::AppIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const double s = size / 64.0;
        // A key cap seen from above, its legend lit in the accent colour.
        QRectF cap(6 * s, 6 * s, 52 * s, 52 * s);
        QLinearGradient body(cap.topLeft(), cap.bottomLeft());
        body.setColorAt(0, SurfaceHigh().lighter(130));
        body.setColorAt(1, Base());
        p.setPen(QPen(Accent(), std::max(1.0, 2.5 * s)));
        p.setBrush(body);
        p.drawRoundedRect(cap, 12 * s, 12 * s);
        QPainterPath legend;
        legend.moveTo(22 * s, 18 * s);
        legend.lineTo(22 * s, 46 * s);
        legend.lineTo(42 * s, 46 * s);
        p.setPen(QPen(Accent(), std::max(1.5, 6 * s), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(legend);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QStringList QtTheme::FallbackFamilies() {
    return {QStringLiteral("Noto Sans"), QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans Thai"),
            QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")};
}

QString QtTheme::FamilyOf(const QString& face) {
    QString family = face.trimmed();
    for (const char* suffix : {" Regular", " Medium", " Bold"}) {
        const QString s = QString::fromLatin1(suffix);
        if (family.endsWith(s, Qt::CaseInsensitive)) family.chop(s.size());
    }
    return family;
}

QFont QtTheme::Font(const UiFontInfo* info, double scale) {
    QFont font;
    QStringList families;
    if (info && !info->face.empty()) families << FamilyOf(QString::fromStdString(info->face));
    families << FallbackFamilies();
    font.setFamilies(families);
    const int size = info && info->size > 0 ? info->size : 14;
    // Skin sizes are pixel heights at 96 DPI, as DuiLib's are.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(size * scale))));
    if (info) {
        font.setBold(info->bold);
        font.setUnderline(info->underline);
        font.setItalic(info->italic);
    }
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

}  // namespace lumora
