#pragma once

#include "editors/CValueEditorDlg.h"

class PreviewFrame;

// The white level of each picture of each channel: the picture list picks the picture whose
// level the level list edits, and the preview above shows the 32 levels of the current channel.
class CWhiteLevelDlg final : public CValueEditorDlg
{
    Q_OBJECT

public:
    explicit CWhiteLevelDlg(QWidget* owner);

protected:
    int& value(int channel) override;
    std::optional<std::string> MakeCommand() override;
    void DrawPreview() override;

private:
    PreviewFrame* m_preview = nullptr;
};
