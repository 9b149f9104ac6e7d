#include "ui/design/DiagonalGradient.h"

#include <QLinearGradient>

QBrush DiagonalGradient::brush(const QRectF &bounds) const
{
    QLinearGradient gradient(bounds.topLeft(), bounds.bottomRight());
    gradient.setColorAt(0, m_first);
    gradient.setColorAt(1, m_last);
    return gradient;
}
