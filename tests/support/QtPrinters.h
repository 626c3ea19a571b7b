#pragma once

// Lets gtest print Qt strings in failure messages and streams.

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <ostream>

inline std::ostream& operator<<(std::ostream& out, const QString& text) { return out << text.toStdString(); }

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}

inline std::ostream& operator<<(std::ostream& out, const QSize& size) {
    return out << size.width() << 'x' << size.height();
}

inline std::ostream& operator<<(std::ostream& out, const QRect& rect) {
    return out << rect.size() << '+' << rect.x() << '+' << rect.y();
}
