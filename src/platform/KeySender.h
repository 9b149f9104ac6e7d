#pragma once

#include <QtGlobal>

// Synthetic key presses into whichever window holds the keyboard focus.
class KeySender {
public:
    virtual ~KeySender() = default;

    // Whether this session lets us post key events at all.
    virtual bool isPermitted() const = 0;
    // The paste chord, arriving as if no other modifier were held.
    virtual void postPasteChord() = 0;
    // Moves the caret steps characters to the left.
    virtual void postCaretLeft(int steps) = 0;

protected:
    KeySender() = default;
    Q_DISABLE_COPY(KeySender)
};
