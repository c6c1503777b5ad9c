#pragma once

#include "sim/SimViewState.h"

#include <QTimer>
#include <QWidget>
#include <optional>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QSocketNotifier;
class QTabBar;
class QTableWidget;
class QTableWidgetItem;
class SimViewFeed;

// The live view of the simulated devices: for the slave and channel picked, the titles, white
// levels, offsets and picture as received, and below them the last frames and their replies.
// What the last frame changed is highlighted for a moment. Closes itself when the line ends.
class SimWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int HighlightMs = 1500;

    explicit SimWindow(SimViewFeed& feed, QWidget* parent = nullptr);

private:
    void build();
    void takeFeed();
    void showState();
    void showLog();
    void mark(QTableWidgetItem* item, bool changed) const;
    void mark(QLabel* label, bool changed) const;
    bool highlighted(SimCommand::Kind kind, int position = 0) const;

    SimViewFeed& m_feed;
    SimViewState m_state;
    std::size_t m_shownLogEntries = 0;
    int m_highlightedFrame = 0;
    QTimer m_highlightTimer;
    QSocketNotifier* m_notifier = nullptr;
    QComboBox* m_slaveCombo = nullptr;
    QTabBar* m_channelTabs = nullptr;
    QTableWidget* m_titleTable = nullptr;
    QTableWidget* m_whiteLevelTable = nullptr;
    QLabel* m_vOffsetLabel = nullptr;
    QLabel* m_hOffsetLabel = nullptr;
    QLabel* m_pictureLabel = nullptr;
    QPlainTextEdit* m_frameLog = nullptr;
};
