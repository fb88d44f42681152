// The JSON the command-line tool prints, over arbitrary dealer text: parsed back by Qt's JSON
// reader, each string is the text as read (Windows-1252) in UTF-8, unchanged.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>

#include "cli/output.h"
#include "core/cp1252.h"
#include "fuzz_share.h"

using namespace fennick;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    std::vector<core::UnitMatch> matches;
    while (!in.empty() && matches.size() < 16) {
        core::UnitMatch m;
        for (std::string* text : {&m.unit, &m.serial, &m.code, &m.model})
            *text = in.take(in.number(1) % 24);
        m.listed = in.number(1) & 1;
        matches.push_back(std::move(m));
    }
    std::string json = cli::findJson(matches);
    QJsonParseError error{};
    auto document = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    if (error.error != QJsonParseError::NoError) std::abort();
    QJsonArray read = document.object()["matches"].toArray();
    if (static_cast<std::size_t>(read.size()) != matches.size()) std::abort();
    for (std::size_t i = 0; i < matches.size(); ++i) {
        QJsonObject got = read[static_cast<qsizetype>(i)].toObject();
        const auto& m = matches[i];
        auto same = [&](const char* name, const std::string& text) {
            return got[name].toString().toStdString() == core::cp1252ToUtf8(text);
        };
        if (!same("unit", m.unit) || !same("serial", m.serial) || !same("code", m.code) ||
            !same("model", m.model) || got["listed"].toBool() != m.listed)
            std::abort();
    }
    return 0;
}
