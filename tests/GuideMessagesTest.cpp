#include "res/Messages.h"
#include "support/BuildPaths.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

QString readFile(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

struct GuideTables
{
    QSet<QString> messages; // quoted in a row's first cell; "…" at the end stands for the rest
    QSet<QString> captions; // from a Caption column
};

// The rows of the tables under the guide's "Messages" heading.
GuideTables messageTablesOfGuide()
{
    const QString guide = readFile(QString::fromStdString(DocsFolder() + "/guide.md"));
    const qsizetype start = guide.indexOf(QStringLiteral("\n## Messages\n"));
    EXPECT_GE(start, 0);
    const QString section =
        guide.mid(start, guide.indexOf(QStringLiteral("\n## "), start + 1) - start);
    const QRegularExpression quoted(QStringLiteral("\"([^\"]+)\""));
    GuideTables tables;
    bool captionColumn = false;
    for (const QString& row : section.split(QLatin1Char('\n'))) {
        const QStringList cells = row.split(QLatin1Char('|'));
        if (cells.size() < 4)
            continue;
        if (cells[1].trimmed() == QStringLiteral("Message")) {
            captionColumn = cells[2].trimmed() == QStringLiteral("Caption");
            continue;
        }
        for (const auto& match : quoted.globalMatch(cells[1]))
            tables.messages.insert(match.captured(1));
        if (captionColumn && cells[1].contains(QLatin1Char('"')))
            tables.captions.insert(cells[2].trimmed());
    }
    return tables;
}

// Whether the guide's `name` stands for `message`: the same text, or its start and "…".
bool namedBy(const QString& message, const QString& name)
{
    return name == message || (name.endsWith(QChar(0x2026)) && message.startsWith(name.chopped(1)));
}

template <size_t N> bool isOneOf(const QString& text, const std::array<const char*, N>& texts)
{
    return std::any_of(texts.begin(), texts.end(), [&text](const char* known) {
        return namedBy(QString::fromUtf8(known), text);
    });
}

} // namespace

TEST(GuideMessagesTest, TheGuidesMessageTablesNameEveryMessageAndOnlyTheProgramsTexts)
{
    const GuideTables tables = messageTablesOfGuide();
    for (const char* message : Message::All) {
        const QString shown = QString::fromUtf8(message);
        EXPECT_TRUE(std::any_of(tables.messages.begin(), tables.messages.end(),
                                [&shown](const QString& name) { return namedBy(shown, name); }))
            << "the guide's message tables do not name \"" << message << '"';
    }
    for (const QString& named : tables.messages)
        EXPECT_TRUE(isOneOf(named, Message::All) || isOneOf(named, Caption::All))
            << "the guide names \"" << named.toStdString() << "\", which the program never shows";
    for (const QString& caption : tables.captions)
        EXPECT_TRUE(isOneOf(caption, Caption::All))
            << "the guide names the caption " << caption.toStdString();
}

// A box's text written into a call elsewhere would escape the check above.
TEST(GuideMessagesTest, BoxTextsAreWrittenOnlyWithTheMessages)
{
    const QRegularExpression textInTheCall(QStringLiteral(
        R"((ShowError|ShowWarning|ShowLinkError|askYesNo|ErrorBox|WarningBox)\(\s*"|show\(\{\s*")"));
    const QString root = QString::fromStdString(DocsFolder() + "/..");
    int sources = 0;
    for (const char* folder : {"app", "editors", "link", "platform", "res", "settings", "send"}) {
        QDirIterator files(root + QLatin1Char('/') + QLatin1String(folder),
                           {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files);
        while (files.hasNext()) {
            const QString path = files.next();
            ++sources;
            EXPECT_FALSE(readFile(path).contains(textInTheCall)) << path.toStdString();
        }
    }
    EXPECT_GT(sources, 50);
}
