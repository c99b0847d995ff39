// The one conversion between the core's UTF-16 text and Qt's QString, both ways. Both sides hold
// UTF-16 units, so a character count is the same on either side; nothing here formats or
// decodes any other encoding.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace zentorak {

// The units are copied as they are: QString::fromUtf16 would drop a leading U+FEFF.
inline QString ToQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

inline std::u16string ToU16(const QString& text) {
    return text.toStdU16String();
}

}  // namespace zentorak
