#include "sim/SimDevice.h"

void SimDevice::apply(const SimCommand& command)
{
    Channel& channel = m_channels.at(command.channel);
    switch (command.kind) {
    case SimCommand::Kind::Title:
        channel.titles.at(command.position) = command.title;
        break;
    case SimCommand::Kind::WhiteLevel:
        channel.whiteLevels.at(command.position) = command.value;
        break;
    case SimCommand::Kind::VerticalOffset:
        channel.vOffset = command.value;
        break;
    case SimCommand::Kind::HorizontalOffset:
        channel.hOffset = command.value;
        break;
    case SimCommand::Kind::Picture:
        channel.picture = command.value;
        break;
    }
}
