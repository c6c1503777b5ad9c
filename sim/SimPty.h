#pragma once

#include <string>

// A pseudo-terminal whose slave side stands for the device's serial port, and optionally a
// symlink to that slave. The simulator keeps the slave open itself, so the master sees no hang-up
// while the tool closes and reopens the port.
class SimPty
{
public:
    SimPty(); // throws std::system_error
    ~SimPty();
    SimPty(const SimPty&) = delete;
    SimPty& operator=(const SimPty&) = delete;

    // Points path at the slave, replacing a symlink already there; throws std::system_error.
    void link(const std::string& path);

    // Bytes sent to the slave side that nobody has read yet.
    int unreadBySlave() const;

    int master() const { return m_master; }
    const std::string& slavePath() const { return m_slavePath; }

private:
    void open();
    void close();

    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
    std::string m_link;
};
