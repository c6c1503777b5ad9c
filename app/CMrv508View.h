#pragma once

#include <QBasicTimer>
#include <QWidget>

// The view shows nothing; it is the switchboard of the commands and the home of link
// supervision. Constructing it resets the settings and starts the link.
class CMrv508View : public QWidget
{
    Q_OBJECT

public:
    explicit CMrv508View(QWidget* parent);

    // Runs the handler of a command; false for a command the view does not handle.
    bool OnCommand(int command);

    void OnDraw();
    void OnTimer();
    void ShutdownLink();
    // Nobody is there to answer (a signal): unsaved settings go to the recovery file, and the
    // program ends as Exit does.
    void OnEndRequest();
    // Unsaved settings go to the recovery file, as the desktop session may end the program next.
    void KeepForRecovery();
    // At start: offers the settings that the last run could not save.
    void OfferRecovery();

    void OnDataNew();
    void OnDataOpen();
    void OnDataSave();
    void OnDataSaveAs();
    void OnDataExit();
    // Exit's question: true when the program may end; on No it saves instead and stays.
    bool MayEnd();
    void OnTitle();
    void OnTitleTable();
    void OnWhiteLevel();
    void OnVerticalOffset();
    void OnHorizontalOffset();
    void OnPictureNo();
    void OnCommSetting();

signals:
    void commandHandled(int command);

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void LoadSettingsFromFile();
    void SaveToCurrentFile();
    void SaveUnderNewName();
    // Save, or Save As while there is no current file.
    void SaveSettings();

    QBasicTimer supervisionTimer;
    bool closing = false;      // "No Connect" is on its way; later ticks must not report it again
    bool endRequested = false; // ended from outside: nothing may ask or save any more
};
