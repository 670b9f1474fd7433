#pragma once
// Types any text into a widget, one key event a character, as a keyboard layout that has
// the character would send it (QTest's key clicks know ASCII only).
#include <QApplication>
#include <QKeyEvent>
#include <QString>
#include <QWidget>

inline void TypeText(QWidget* w, const QString& text) {
  for (uint c : text.toUcs4()) {
    const QString s = QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, s);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, s);
    QApplication::sendEvent(w, &release);
  }
}
