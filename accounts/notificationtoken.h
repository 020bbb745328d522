#ifndef KESTREL_ACCOUNTS_NOTIFICATIONTOKEN_H
#define KESTREL_ACCOUNTS_NOTIFICATIONTOKEN_H

#include <QString>

// The record a push-authentication account sends to its server with every token update.
struct NotificationToken
{
    QString tokenUID;
    QString registrationId = QString("");
    QString platformOS = QString("");
    QString language = QStringLiteral("ru");
    int timeZoneOffset = 3;
    QString appVersion = QString("");
    // Sent with the record but never set or stored.
    QString hmac;
    // The server has acknowledged the current values.
    bool saved = false;
};

#endif // KESTREL_ACCOUNTS_NOTIFICATIONTOKEN_H
