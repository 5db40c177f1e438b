#pragma once
// Script texts (UTF-8) to and from Qt's strings.
#include <QByteArray>
#include <QString>

#include <string>

namespace feltrix {

inline QString toQt(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

inline std::string fromQt(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace feltrix
