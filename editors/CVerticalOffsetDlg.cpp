#include "editors/CVerticalOffsetDlg.h"

CVerticalOffsetDlg::CVerticalOffsetDlg(QWidget* owner)
    : COffsetDlg(VerticalOffsetDialogTemplate(), DeviceSettings.vOffset, "VER", owner)
{}
