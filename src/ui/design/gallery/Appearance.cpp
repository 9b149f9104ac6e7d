#include "Appearance.h"

#include <QGuiApplication>

namespace Appearance {

QPalette light()
{
    QPalette palette(QColor(236, 236, 236));
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::black);
    return palette;
}

QPalette dark()
{
    QPalette palette(QColor(40, 40, 42));
    palette.setColor(QPalette::Base, QColor(58, 58, 60));
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::PlaceholderText, QColor(255, 255, 255, 128));
    return palette;
}

} // namespace Appearance
