#include "output.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <algorithm>

#include "core/cp1252.h"
#include "core/dealer_text.h"
#include "core/startup.h"

namespace fennick::cli {

namespace {

using core::cp1252ToUtf8;

QString q(const std::string& dealerText) {
    return QString::fromStdString(cp1252ToUtf8(dealerText));
}

template <class Strings>
QJsonArray array(const Strings& texts) {
    QJsonArray out;
    for (const auto& t : texts)
        out.append(q(t));
    return out;
}

QJsonArray grid(const std::vector<std::vector<std::string>>& rows) {
    QJsonArray out;
    for (const auto& row : rows)
        out.append(array(row));
    return out;
}

std::string json(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() + "\n";
}

// Characters of a UTF-8 text, for aligning columns.
std::size_t width(const std::string& utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string padded(const std::string& utf8, std::size_t to) {
    return utf8 + std::string(to > width(utf8) ? to - width(utf8) : 0, ' ');
}

std::string rtrim(std::string text) {
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

// A dealer cell as the text output shows it: what the grid shows, printable.
std::string shown(const std::string& dealerText) {
    return platform::printable(cp1252ToUtf8(core::upToNul(dealerText)));
}

// Rows of cells as aligned columns, two blanks apart.
std::string table(std::vector<std::vector<std::string>> rows) {
    std::vector<std::size_t> widths;
    for (auto& row : rows)
        for (std::size_t c = 0; c < row.size(); ++c) {
            row[c] = shown(row[c]);
            if (widths.size() <= c) widths.push_back(0);
            widths[c] = std::max(widths[c], width(row[c]));
        }
    std::string out;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c)
            line += (c ? "  " : "") + padded(row[c], widths[c]);
        out += rtrim(line) + "\n";
    }
    return out;
}

}  // namespace

std::string treeJson(const core::ModelTreeData& tree) {
    QJsonArray lines;
    for (const auto& line : tree.lines) {
        QJsonArray models;
        for (const auto& m : line.models)
            models.append(QJsonObject{{"text", q(m.text)}, {"tag", q(m.tag)}});
        lines.append(QJsonObject{{"text", q(line.text)}, {"tag", q(line.tag)}, {"models", models}});
    }
    return json(QJsonObject{{"lines", lines}});
}

std::string treeText(const core::ModelTreeData& tree) {
    std::string out;
    for (const auto& line : tree.lines) {
        out += rtrim(shown(line.text)) + "  [" + shown(line.tag) + "]\n";
        for (const auto& m : line.models)
            out += "    " + rtrim(shown(m.text)) + "\n";
    }
    return out;
}

std::string unitsJson(const std::vector<std::string>& headings,
                      const std::vector<core::UnitRow>& rows) {
    return json(QJsonObject{{"headings", array(headings)}, {"rows", grid(core::unitCells(rows))}});
}

std::string unitsText(const std::vector<std::string>& headings,
                      const std::vector<core::UnitRow>& rows) {
    std::vector<std::vector<std::string>> all{headings};
    for (const auto& row : rows)
        all.push_back(core::unitCells(row));
    return table(all) + std::to_string(rows.size()) + " units\n";
}

std::string findJson(const std::vector<core::UnitMatch>& matches) {
    QJsonArray out;
    for (const auto& m : matches)
        out.append(QJsonObject{{"unit", q(m.unit)},
                               {"serial", q(m.serial)},
                               {"code", q(m.code)},
                               {"model", q(m.model)},
                               {"listed", m.listed}});
    return json(QJsonObject{{"matches", out}});
}

std::string findText(const std::vector<core::UnitMatch>& matches) {
    std::vector<std::vector<std::string>> rows{{"Unit", "Serial", "Line", "Model", ""}};
    for (const auto& m : matches)
        rows.push_back({m.unit, m.serial, m.code, m.model, m.listed ? "" : "not in stock"});
    return table(rows) + std::to_string(matches.size()) +
           (matches.size() == 1 ? " match\n" : " matches\n");
}

namespace {

QJsonObject figuresJson(const core::AgeingFigures& f) {
    QJsonArray count, cost, list;
    for (std::size_t b = 0; b < core::kAgeBuckets; ++b) {
        count.append(static_cast<qint64>(f.count[b]));
        cost.append(QString::fromStdString(core::ageingMoney(f.cost[b])));
        list.append(QString::fromStdString(core::ageingMoney(f.list[b])));
    }
    return {{"count", count}, {"cost", cost}, {"list", list}};
}

}  // namespace

std::string ageingJson(const core::StockAgeing& ageing) {
    QJsonArray buckets, rows;
    for (const char* name : core::kAgeBucketNames)
        buckets.append(name);
    for (const auto& row : ageing.rows) {
        QJsonObject object = figuresJson(row.figures);
        object.insert("code", q(row.code));
        object.insert("model", q(row.model));
        rows.append(object);
    }
    return json(
        QJsonObject{{"buckets", buckets}, {"rows", rows}, {"total", figuresJson(ageing.total)}});
}

std::string ageingText(const core::StockAgeing& ageing) {
    return table(core::ageingTable(ageing));
}

std::string unitJson(const std::vector<std::string>& captions, const core::UnitDetail& d) {
    return json(QJsonObject{{"captions", array(captions)},
                            {"details", array(d.values)},
                            {"factory", grid(d.grids.factory)},
                            {"dealer", grid(d.grids.dealer)},
                            {"attached", grid(d.grids.attached)},
                            {"notes", array(d.grids.notes)}});
}

std::string unitText(const std::vector<std::string>& captions, const core::UnitDetail& d) {
    std::vector<std::vector<std::string>> pairs;
    for (std::size_t k = 0; k < captions.size() && k < d.values.size(); ++k)
        pairs.push_back({captions[k] + ":", d.values[k]});
    std::string out = table(pairs);
    const std::vector<std::string> heads{"Code", "Quantity", "Description", "List"};
    auto section = [&](const char* title, const std::vector<std::vector<std::string>>& rows) {
        if (rows.empty()) return;
        std::vector<std::vector<std::string>> all{heads};
        all.insert(all.end(), rows.begin(), rows.end());
        out += std::string("\n") + title + "\n" + table(all);
    };
    section("Factory Options", d.grids.factory);
    section("Dealer Options", d.grids.dealer);
    section("Attached Units", d.grids.attached);
    if (!d.grids.notes.empty()) {
        out += "\nUnit Notes\n";
        for (const auto& note : d.grids.notes)
            out += shown(note) + "\n";
    }
    return out;
}

}  // namespace fennick::cli
