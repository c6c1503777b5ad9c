#include "support/RecordingBoxes.h"
#include "support/RunningApp.h"

#include "app/GuidePage.h"
#include "res/Commands.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

// Stands in for the desktop's browser.
class Browser : public QObject
{
    Q_OBJECT

public:
    Browser() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~Browser() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    Q_SLOT void open(const QUrl& url) { opened << url; }

    QList<QUrl> opened;
};

BoxRequest missingBox(const QString& page)
{
    return {"操作ガイドのページがありません:\n" + page.toStdString() +
                "\n操作ガイドの原本はソースの docs/guide.md です。",
            "mrv508", BoxIcon::Warning, BoxSound::SimpleBeep, BoxOwner::MainWindow};
}

} // namespace

TEST(GuidePageTest, OpensTheInstalledPageOrSaysWhereTheGuideIs)
{
    RunningApp running;
    for (const bool installed : {true, false}) {
        QTemporaryDir prefix;
        const GuidePage page(prefix.filePath(QStringLiteral("bin")));
        ASSERT_EQ(page.path(), prefix.filePath(QStringLiteral("share/doc/mrv508/guide.html")));
        if (installed) {
            QDir(prefix.path()).mkpath(QStringLiteral("share/doc/mrv508"));
            QFile(page.path()).open(QIODevice::WriteOnly);
        }
        Browser browser;
        boxes().clear();
        page.show();
        EXPECT_EQ(browser.opened,
                  installed ? QList{QUrl::fromLocalFile(page.path())} : QList<QUrl>{});
        EXPECT_EQ(boxes().shown,
                  installed ? std::vector<BoxRequest>{} : std::vector{missingBox(page.path())});
    }

    // The menu item: a build renders the page beside its programs as the package installs it.
    const QString built = GuidePage(QCoreApplication::applicationDirPath()).path();
    Browser browser;
    boxes().clear();
    running.frame().action(ID_HELP_GUIDE)->trigger();
    if (QFileInfo::exists(built))
        EXPECT_EQ(browser.opened, QList{QUrl::fromLocalFile(built)});
    else
        EXPECT_EQ(boxes().shown, std::vector{missingBox(built)});
}

#include "GuidePageTest.moc"
