#pragma once

#include "editors/COffsetDlg.h"

// The screen vertical offset of each channel, sent as a "VER" line.
class CVerticalOffsetDlg : public COffsetDlg
{
public:
    explicit CVerticalOffsetDlg(QWidget* owner);
};
