#pragma once

#include <QBasicTimer>
#include <functional>
#include <vector>

class QObject;
class QProgressBar;

// Titles sent one a tick, every 600 ms, as "全設定" sends them. While it runs allSetStep counts
// the titles sent, so that their "GO" replies show no box and the document commands wait; one
// "Success" box closes it once the last line is answered. An error reply, or a title too long to
// pad, ends it; a title the device cannot show is skipped with the warning.
class TitleBatch
{
public:
    struct Title
    {
        int channel;
        int position;
    };

    // The owner's timer events come to OnTimer; ended runs whenever the batch ends.
    TitleBatch(QObject& owner, QProgressBar& progress, std::function<void()> ended);

    void start(std::vector<Title> titles);
    void OnTimer();
    void end();
    bool running() const;
    bool ownsTimer(int timerId) const { return timer.timerId() == timerId; }

private:
    void closeWhenAnswered();

    QObject& owner;
    QProgressBar& progress;
    std::function<void()> ended;
    std::vector<Title> titles;
    QBasicTimer timer;
    bool stepRunning = false; // a tick's warning is open; later ticks wait for it
};
