#pragma once
// Message boxes. Every message the program shows goes through the one
// MessageService installed in Platform, so tests can read what was shown and
// script the answer, and the command-line tool can print messages instead.

#include <QString>

class QObject;

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgResult { Ok, Cancel, Yes, No };

// The title of every message box that names no title of its own.
inline const QString kAppTitle = QStringLiteral("Ardenox");

struct MessageRequest {
    QString text;
    QString title = kAppTitle;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    // The window the box belongs to and is centred over; without one, the
    // active window.
    QObject *owner = nullptr;
};

class MessageService {
public:
    virtual ~MessageService() = default;
    virtual MsgResult show(const MessageRequest &request) = 0;
};

// Writes each message to standard error and gives the first button's answer
// (OK, or Yes). Used where there is no window, e.g. by ardeno-tool.
class ConsoleMessageService : public MessageService {
public:
    MsgResult show(const MessageRequest &request) override;
};

