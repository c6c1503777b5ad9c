#include "support/BuildPaths.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

QSet<QString> picturesOfGuide()
{
    QFile guide(QString::fromStdString(DocsFolder() + "/guide.md"));
    EXPECT_TRUE(guide.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(guide.readAll());
    QSet<QString> names;
    for (const auto& match :
         QRegularExpression(QStringLiteral(R"(\]\(images/([^)]+)\))")).globalMatch(text))
        names.insert(match.captured(1));
    return names;
}

// The committed pictures, and the ones scripts/screenshots has just taken when a run names them.
QStringList pictureFolders()
{
    QStringList folders = {QString::fromStdString(DocsFolder() + "/images")};
    if (!qEnvironmentVariableIsEmpty("MRV508_SCREENSHOTS"))
        folders << qEnvironmentVariable("MRV508_SCREENSHOTS");
    return folders;
}

double blackShare(const QImage& image)
{
    qsizetype black = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            black += image.pixel(x, y) == qRgb(0, 0, 0);
    return static_cast<double>(black) /
           static_cast<double>(qsizetype(image.width()) * image.height());
}

} // namespace

TEST(GuidePicturesTest, EachPictureOfTheGuideIsAWholeWindow)
{
    const QSet<QString> names = picturesOfGuide();
    EXPECT_GE(names.size(), 15);
    for (const QString& folder : pictureFolders()) {
        SCOPED_TRACE(folder.toStdString());
        const QStringList files = QDir(folder).entryList({QStringLiteral("*.png")}, QDir::Files);
        EXPECT_EQ(QSet<QString>(files.begin(), files.end()), names)
            << "the guide shows every picture taken, and only those";
        for (const QString& name : names) {
            SCOPED_TRACE(name.toStdString());
            const QImage image(folder + '/' + name, "PNG");
            ASSERT_FALSE(image.isNull());
            EXPECT_TRUE(image.width() >= 90 && image.width() <= 1024) << image.width();
            EXPECT_TRUE(image.height() >= 50 && image.height() <= 768) << image.height();
            // A window grabbed before it has drawn all of itself is black where a control should
            // be; drawn windows keep black to their text and frames, under 2 % of the picture.
            EXPECT_LT(blackShare(image), 0.03);
            EXPECT_LT(QFileInfo(folder + '/' + name).size(), 64 * 1024);
        }
    }
}
