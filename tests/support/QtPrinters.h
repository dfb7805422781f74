#pragma once
// Readable GoogleTest failure messages for the Qt value types the widget tests compare.

#include <QColor>
#include <QDebug>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <ostream>

template <typename T> void PrintQtValue(const T& value, std::ostream* out) {
    QString text;
    QDebug(&text).nospace() << value;
    *out << text.toStdString();
}

inline void PrintTo(const QString& value, std::ostream* out) {
    *out << '"' << value.toStdString() << '"';
}
inline void PrintTo(const QSize& value, std::ostream* out) {
    PrintQtValue(value, out);
}
inline void PrintTo(const QRect& value, std::ostream* out) {
    PrintQtValue(value, out);
}
inline void PrintTo(const QPoint& value, std::ostream* out) {
    PrintQtValue(value, out);
}
inline void PrintTo(const QPointF& value, std::ostream* out) {
    PrintQtValue(value, out);
}
inline void PrintTo(const QRectF& value, std::ostream* out) {
    PrintQtValue(value, out);
}
inline void PrintTo(const QColor& value, std::ostream* out) {
    PrintQtValue(value, out);
}
