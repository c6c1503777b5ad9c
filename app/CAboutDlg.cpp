#include "app/CAboutDlg.h"

#include "platform/DialogBuilder.h"

CAboutDlg::CAboutDlg(QWidget* owner) : QDialog(owner)
{
    BuildDialog(*this, AboutDialogTemplate());
}
