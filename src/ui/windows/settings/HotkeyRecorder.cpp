#include "ui/windows/settings/HotkeyRecorder.h"

#include "platform/KeyCodeMap.h"
#include "platform/ShortcutNames.h"
#include "ui/design/DesignTokens.h"
#include "ui/windows/settings/HotkeyKeys.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <QPalette>

using namespace Qt::StringLiterals;

HotkeyRecorder::HotkeyRecorder(QQuickItem *parent) : QQuickPaintedItem(parent)
{
    setImplicitSize(140, 24);
    setAcceptedMouseButtons(Qt::LeftButton);
    setActiveFocusOnTab(true);
    connect(&DesignTokens::instance(), &DesignTokens::appearanceChanged, this, [this] { update(); });
}

void HotkeyRecorder::setDisplay(const QString &display)
{
    if (display == m_display)
        return;
    m_display = display;
    emit displayChanged();
    // The owner's changes show once recording is over.
    if (!m_recording) {
        m_shown = m_display;
        emit shownTextChanged();
        update();
    }
}

QObject *HotkeyRecorder::keyCodeMap() const
{
    return m_keyCodeMap;
}

void HotkeyRecorder::setKeyCodeMap(QObject *map)
{
    auto *keyCodeMap = qobject_cast<KeyCodeMap *>(map);
    if (keyCodeMap == m_keyCodeMap)
        return;
    m_keyCodeMap = keyCodeMap;
    emit keyCodeMapChanged();
}

QString HotkeyRecorder::shownText() const
{
    if (m_recording)
        return u"%1/%2 + key…"_s.arg(ShortcutNames::command, ShortcutNames::control);
    return m_shown.isEmpty() ? u"Click to set"_s : ShortcutNames::shown(m_shown);
}

void HotkeyRecorder::setRecording(bool recording)
{
    if (recording == m_recording)
        return;
    m_recording = recording;
    if (!m_recording)
        m_shown = m_display;
    emit recordingChanged();
    emit shownTextChanged();
    update();
}

void HotkeyRecorder::stopRecording()
{
    setRecording(false);
    setFocus(false);
}

bool HotkeyRecorder::event(QEvent *event)
{
    // Window shortcuts would take the combination before it arrives here.
    if (event->type() == QEvent::ShortcutOverride && m_recording) {
        event->accept();
        return true;
    }
    return QQuickPaintedItem::event(event);
}

void HotkeyRecorder::mousePressEvent(QMouseEvent *event)
{
    forceActiveFocus(Qt::MouseFocusReason);
    setRecording(true);
    event->accept();
}

void HotkeyRecorder::focusOutEvent(QFocusEvent *event)
{
    setRecording(false);
    QQuickPaintedItem::focusOutEvent(event);
}

void HotkeyRecorder::keyPressEvent(QKeyEvent *event)
{
    if (!m_recording) {
        // Reached by Tab, the field starts like a button, by Space or Return.
        const bool press = event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
        if (press
            && (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return
                || event->key() == Qt::Key_Enter)) {
            setRecording(true);
            event->accept();
            return;
        }
        QQuickPaintedItem::keyPressEvent(event);
        return;
    }
    // Accepted whatever it is, so Tab does not move the focus on.
    event->accept();
    std::optional<quint32> keyCode;
    if (m_keyCodeMap)
        keyCode = m_keyCodeMap->macKeyCode(event->nativeScanCode());
    const HotkeyKeys::Result result = HotkeyKeys::handle({event->key(), keyCode, event->modifiers()});
    switch (result.outcome) {
    case HotkeyKeys::Outcome::ignore:
        return;
    case HotkeyKeys::Outcome::refuse:
        QApplication::beep();
        emit refused();
        return;
    case HotkeyKeys::Outcome::cancel:
        stopRecording();
        return;
    case HotkeyKeys::Outcome::capture:
        m_shown = result.display;
        emit captured(result.keyCode, result.modifiers, result.display);
        stopRecording();
        return;
    }
}

void HotkeyRecorder::paint(QPainter *painter)
{
    const DesignTokens &tokens = DesignTokens::instance();
    const QRectF frame = boundingRect().adjusted(1, 1, -1, -1);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setBrush(QGuiApplication::palette().color(QPalette::Base));
    painter->setPen(m_recording ? QPen(tokens.accent(), 2) : QPen(tokens.border(), 1));
    painter->drawRoundedRect(frame, 6, 6);

    QFont font = tokens.monospacedFont(12, QFont::Medium);
    const QString text = shownText();
    // The longest combinations (Super+Ctrl+Alt+Shift+F12) show whole in a
    // smaller size rather than cut at both ends.
    const qreal room = frame.width() - 8;
    if (const qreal wide = QFontMetricsF(font).horizontalAdvance(text); wide > room)
        font.setPointSizeF(font.pointSizeF() * room / wide);
    painter->setFont(font);
    painter->setPen(m_recording ? tokens.secondary() : tokens.primary());
    const QFontMetricsF metrics(font);
    const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
    const QPointF origin((width() - size.width()) * 0.5, (height() - size.height()) * 0.5 + metrics.ascent());
    painter->drawText(origin, text);
}
