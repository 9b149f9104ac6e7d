#pragma once

#include <QPointer>
#include <QQuickPaintedItem>
#include <QtQmlIntegration>

class KeyCodeMap;

// The field in which the user records the global hot key: a click, or Space
// or Return once Tab has reached it, starts recording; the next accepted
// combination is handed to the owner through captured(), Escape or leaving
// the field stops without a change. While recording it takes every key,
// window shortcuts and Tab included.
class HotkeyRecorder : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    // The owner's text for the shortcut, in the stored symbols; shown under
    // the desktop's key names while not recording.
    Q_PROPERTY(QString display READ display WRITE setDisplay NOTIFY displayChanged)
    Q_PROPERTY(bool recording READ isRecording NOTIFY recordingChanged)
    // What the field shows now, for assistive tools too.
    Q_PROPERTY(QString shownText READ shownText NOTIFY shownTextChanged)
    // The KeyCodeMap that tells which key an event came from.
    Q_PROPERTY(QObject *keyCodeMap READ keyCodeMap WRITE setKeyCodeMap NOTIFY keyCodeMapChanged)

public:
    explicit HotkeyRecorder(QQuickItem *parent = nullptr);

    QString display() const { return m_display; }
    void setDisplay(const QString &display);
    bool isRecording() const { return m_recording; }
    QObject *keyCodeMap() const;
    void setKeyCodeMap(QObject *map);

    QString shownText() const;

    void paint(QPainter *painter) override;

signals:
    void displayChanged();
    void recordingChanged();
    void keyCodeMapChanged();
    void shownTextChanged();
    // The owner stores the three, in this order.
    void captured(qint64 keyCode, qint64 modifiers, const QString &display);
    // A combination that cannot be the hot key; the field has beeped.
    void refused();

protected:
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void setRecording(bool recording);
    void stopRecording();

    QString m_display;
    QString m_shown;
    bool m_recording = false;
    QPointer<KeyCodeMap> m_keyCodeMap;
};
