#pragma once

#include "link/PortSurvey.h"
#include "platform/Profile.h"

#include <QDialog>
#include <array>
#include <string>

class QComboBox;
class QLabel;

// The device behind each of COM 1..COM 6, written to the profile's [Ports] on OK: only the rows
// the operator changed, and an emptied row gives the port its default back.
class CPortAssignDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CPortAssignDlg(QWidget* owner);

protected:
    void accept() override;

private:
    void OnInitDialog();
    void OnRefresh();
    void fillChoices(int row);
    void showState(int row);
    std::string rowPath(int row) const;

    std::array<QComboBox*, ComPortCount> combos = {};
    std::array<QLabel*, ComPortCount> states = {};
    std::array<std::string, ComPortCount> stored; // [Ports] as the dialog found it
    PortSurvey survey;
};
