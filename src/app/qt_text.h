// Conversions between the window toolkit's strings and the program's GBK text.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace gw::app {

// GBK bytes as a QString; bytes that are no GBK character become U+FFFD.
QString FromGbk(std::string_view gbk);
// A QString as GBK bytes; characters GBK cannot hold become "?".
std::string ToGbk(const QString& text);
// A UTF-8 literal of the source as GBK (keys and section names).
std::string Gbk(std::string_view utf8);

// Multi-line boxes hold "\n" line breaks; the program's texts hold CR LF.
QString ToCrLf(QString text);
QString ToLf(QString text);

}  // namespace gw::app
