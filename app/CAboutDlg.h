#pragma once

#include <QDialog>

// The version box.
class CAboutDlg : public QDialog
{
public:
    explicit CAboutDlg(QWidget* owner);
};
