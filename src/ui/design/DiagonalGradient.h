#pragma once

#include <QBrush>
#include <QColor>
#include <QObject>
#include <QtQmlIntegration>

// A linear gradient of two evenly spread colours from the top-leading to the
// bottom-trailing corner of whatever shape it fills. A default value is empty
// and fills nothing.
class DiagonalGradient {
    Q_GADGET
    QML_VALUE_TYPE(diagonalGradient)
    Q_PROPERTY(QColor first READ first CONSTANT)
    Q_PROPERTY(QColor last READ last CONSTANT)

public:
    DiagonalGradient() = default;
    DiagonalGradient(QColor first, QColor last) : m_first(first), m_last(last) { }

    QColor first() const { return m_first; }
    QColor last() const { return m_last; }
    bool isEmpty() const { return !m_first.isValid() || !m_last.isValid(); }

    QBrush brush(const QRectF &bounds) const;

    friend bool operator==(const DiagonalGradient &, const DiagonalGradient &) = default;

private:
    QColor m_first;
    QColor m_last;
};
