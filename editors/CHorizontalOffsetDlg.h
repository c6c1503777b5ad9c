#pragma once

#include "editors/COffsetDlg.h"

// The screen horizontal offset of each channel, sent as a "HOR" line.
class CHorizontalOffsetDlg : public COffsetDlg
{
public:
    explicit CHorizontalOffsetDlg(QWidget* owner);
};
