#pragma once
// While the object lives, every message of the tool (and of the library) is recorded
// instead of shown, and the program's end throws ProgramEnded instead of exiting.

#include <QString>
#include <QStringList>

#include "Messages.h"

struct ProgramEnded {};

class RecordedMessages {
public:
    RecordedMessages()
        : previousMessages_(
              quorvan::SetMessageHandler([this](const QString& text) { messages << text; })),
          previousEnd_(quorvan::SetEndHandler([] { throw ProgramEnded{}; })) {}
    ~RecordedMessages() {
        quorvan::SetMessageHandler(previousMessages_);
        quorvan::SetEndHandler(previousEnd_);
    }
    RecordedMessages(const RecordedMessages&) = delete;
    RecordedMessages& operator=(const RecordedMessages&) = delete;

    QStringList messages;

private:
    quorvan::MessageHandler previousMessages_;
    quorvan::EndHandler previousEnd_;
};
