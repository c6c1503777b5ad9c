#pragma once

#include <QString>

// The operator's guide as a web page, rendered from docs/guide.md at build time. It lies at the
// same place beside the program whether installed or in a build folder.
class GuidePage
{
public:
    explicit GuidePage(const QString& programFolder);

    const QString& path() const { return page; }
    // Opens the page in the desktop's browser, or says where the guide is when that fails.
    void show() const;

private:
    QString page;
};
