#include "editors/CHorizontalOffsetDlg.h"

CHorizontalOffsetDlg::CHorizontalOffsetDlg(QWidget* owner)
    : COffsetDlg(HorizontalOffsetDialogTemplate(), DeviceSettings.hOffset, "HOR", owner)
{}
