#include "sim/SimWindow.h"
#include "sim/SimViewFeed.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <gtest/gtest.h>
#include <thread>

namespace {

constexpr int WaitMs = 5000;

QColor color(const QTextBlock& block)
{
    return block.begin().fragment().charFormat().foreground().color();
}

TEST(SimWindow, ShowsFramesFromTheLoopThreadAndClosesWhenTheLineEnds)
{
    SimLine line({0, 3});
    SimViewFeed feed(line);
    SimWindow window(feed);
    window.show();
    auto* slaves = window.findChild<QComboBox*>(QStringLiteral("slaveCombo"));
    auto* channels = window.findChild<QTabBar*>(QStringLiteral("channelTabs"));
    auto* titles = window.findChild<QTableWidget*>(QStringLiteral("titleTable"));
    auto* picture = window.findChild<QLabel*>(QStringLiteral("pictureLabel"));
    auto* log = window.findChild<QPlainTextEdit*>(QStringLiteral("frameLog"));
    ASSERT_TRUE(slaves && channels && titles && picture && log);
    slaves->setCurrentIndex(1);
    channels->setCurrentIndex(1);

    std::string title = "03CA02TOP34413B7A";
    while (title.size() < 65)
        title += "2121";
    std::thread([&] {
        for (const auto& response : line.receive(title + "\r\n03P0212\r\n03P0299\r\n"))
            feed.publish(line, response);
    }).join();
    EXPECT_TRUE(QTest::qWaitFor([&] { return log->blockCount() == 3; }, WaitMs));
    EXPECT_EQ(log->document()->firstBlock().layout()->lineCount(), 1) << "the title frame";
    EXPECT_EQ(titles->item(0, 0)->text(), QString::fromUtf8("漢字"));
    EXPECT_EQ(titles->verticalHeaderItem(0)->text(), QStringLiteral("Top"));
    EXPECT_EQ(picture->text(), QStringLiteral("12"));
    EXPECT_FALSE(picture->styleSheet().isEmpty()) << "the last change is highlighted";
    EXPECT_EQ(titles->item(0, 0)->background().style(), Qt::NoBrush);
    EXPECT_EQ(color(log->document()->lastBlock()), QColor(Qt::red));
    EXPECT_NE(color(log->document()->lastBlock().previous()), QColor(Qt::red));
    EXPECT_TRUE(QTest::qWaitFor([&] { return picture->styleSheet().isEmpty(); }, WaitMs));

    channels->setCurrentIndex(0);
    EXPECT_EQ(titles->item(0, 0)->text(), QString());
    EXPECT_EQ(picture->text(), QStringLiteral("01"));

    std::thread([&] { feed.finish(); }).join();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }, WaitMs));
}

} // namespace
