#include "app/GuidePage.h"

#include "platform/MessageBoxes.h"
#include "res/Messages.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

GuidePage::GuidePage(const QString& programFolder)
    : page(QDir::cleanPath(programFolder +
                           QStringLiteral("/" MRV508_DOC_FROM_PROGRAM "/guide.html")))
{}

void GuidePage::show() const
{
    std::string text;
    if (!QFileInfo::exists(page))
        text = Message::GuideMissing + ("\n" + page.toStdString()) +
               "\n操作ガイドの原本はソースの docs/guide.md です。";
    else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
        text = Message::GuideNotOpened + ("\n" + page.toStdString());
    else
        return;
    Boxes().show(
        {text, Caption::Program, BoxIcon::Warning, BoxSound::SimpleBeep, BoxOwner::MainWindow});
}
