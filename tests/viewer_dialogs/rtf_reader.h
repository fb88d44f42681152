#pragma once
// Reads back the text of a plain rich-text document the way a word processor would: groups,
// control words, hex and Unicode escapes, paragraphs. Only what a one-font document needs.

#include <QString>
#include <QStringDecoder>
#include <cctype>
#include <string>

namespace fennick::test_support {

struct RtfContent {
    QString text;      // paragraphs ended by "\n"
    QString fontName;  // the first font of the font table
    int halfPoints = 0;
    bool wellFormed = false;
};

inline RtfContent readRtf(const std::string& rtf) {
    RtfContent out;
    QStringDecoder cp1252("Windows-1252");
    int depth = 0, fontTableDepth = -1, skipFallback = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        char c = rtf[i];
        QString* sink = fontTableDepth >= 0 ? &out.fontName : &out.text;
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (depth-- == fontTableDepth) fontTableDepth = -1;
        } else if (c == '\r' || c == '\n') {
        } else if (c != '\\') {
            if (skipFallback > 0) {
                --skipFallback;
            } else if (c != ';' || fontTableDepth < 0) {
                sink->append(QChar(static_cast<unsigned char>(c)));
            }
        } else if (i + 1 < rtf.size() &&
                   std::string("\\{}").find(rtf[i + 1]) != std::string::npos) {
            sink->append(QChar(rtf[++i]));
        } else if (i + 3 < rtf.size() && rtf[i + 1] == '\'') {
            char byte = static_cast<char>(std::stoi(rtf.substr(i + 2, 2), nullptr, 16));
            sink->append(cp1252.decode(QByteArray(1, byte)));
            i += 3;
        } else {
            std::size_t j = i + 1;
            while (j < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[j])))
                ++j;
            std::string word = rtf.substr(i + 1, j - i - 1);
            std::size_t k = j;
            if (k < rtf.size() &&
                (rtf[k] == '-' || std::isdigit(static_cast<unsigned char>(rtf[k]))))
                ++k;
            while (k < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[k])))
                ++k;
            std::string number = rtf.substr(j, k - j);
            if (k < rtf.size() && rtf[k] == ' ') ++k;
            i = k - 1;
            if (word == "fonttbl") fontTableDepth = depth;
            if (word == "par") out.text.append('\n');
            if (word == "tab") out.text.append('\t');
            if (word == "fs") out.halfPoints = std::stoi(number);
            if (word == "u") {
                out.text.append(QChar(static_cast<char16_t>(std::stoi(number))));
                skipFallback = 1;
            }
        }
    }
    out.fontName = out.fontName.trimmed();
    out.wellFormed = depth == 0 && rtf.rfind("{\\rtf1", 0) == 0;
    return out;
}

}  // namespace fennick::test_support
