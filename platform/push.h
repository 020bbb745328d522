#ifndef KESTREL_PLATFORM_PUSH_H
#define KESTREL_PLATFORM_PUSH_H

#include <QList>
#include <QMetaType>
#include <QString>

namespace Aurora {
namespace PushNotifications {

// One push as the push service delivers it: the application's payload, then what a
// notification would show.
struct Push
{
    QString data;
    QString title;
    QString message;
};

typedef QList<Push> PushList;

} // namespace PushNotifications
} // namespace Aurora

Q_DECLARE_METATYPE(Aurora::PushNotifications::Push)

#endif // KESTREL_PLATFORM_PUSH_H
