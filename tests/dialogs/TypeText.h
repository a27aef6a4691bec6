#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QString>
#include <QWidget>

namespace tarnwick::testing {

// Types text one character at a time, as a keyboard would; unlike QTest::keyClicks it takes
// any Unicode character, a surrogate pair making one key press.
inline void TypeText(QWidget* widget, const QString& text) {
    for (int i = 0; i < text.size(); ++i) {
        const int length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, character);
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
        i += length - 1;
    }
}

}  // namespace tarnwick::testing
