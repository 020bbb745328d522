#include "app/pushnotificationsmodel.h"

#include "accounts/datastorage.h"
#include "app/pushreceiverservice.h"

#include <notification.h>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QVariant>

namespace {
const QString PUSH_KIND_KEY = QStringLiteral("mtype");
const QString SILENT_PUSH_KIND = QStringLiteral("action");
const QString FEEDBACK_HINT = QStringLiteral("x-nemo-feedback");
const QString FEEDBACK_VALUE = QStringLiteral("sms_exists");
const QString DEFAULT_ACTION_NAME = QStringLiteral("default");

// Cuts a text to at most `length` UTF-16 units without splitting a surrogate pair.
QString bounded(const QString &text, int length)
{
    if (text.size() <= length) {
        return text;
    }
    if (text.at(length - 1).isHighSurrogate()) {
        --length;
    }
    return text.left(length);
}
} // namespace

PushNotificationsModel::PushNotificationsModel(QObject *parent)
    : QObject(parent)
{
}

void PushNotificationsModel::handlePushes(const Aurora::PushNotifications::PushList &pushes)
{
    for (const Aurora::PushNotifications::Push &push : pushes) {
        insertPush(push);
        if (pushKind(push.data) == SILENT_PUSH_KIND) {
            continue;
        }
        showNotification(push);
    }
}

QString PushNotificationsModel::pushKind(const QString &payload)
{
    if (payload.size() > MAX_PAYLOAD_PARSE_SIZE) {
        return QString();
    }
    return QJsonDocument::fromJson(payload.toUtf8()).object().value(PUSH_KIND_KEY).toString();
}

void PushNotificationsModel::insertPush(const Aurora::PushNotifications::Push &push)
{
    Aurora::PushNotifications::Push kept = push;
    kept.data = bounded(push.data, MAX_PAYLOAD_KEPT);
    kept.title = bounded(push.title, MAX_SUMMARY_LENGTH);
    kept.message = bounded(push.message, MAX_BODY_LENGTH);
    m_pushes.prepend(kept);
    while (m_pushes.size() > MAX_PUSHES) {
        m_pushes.removeLast();
    }
    emit newpush();
}

void PushNotificationsModel::onRegistrationIdChanged(const QString &registrationId)
{
    if (registrationId.isEmpty()) {
        return;
    }
    DataStorage *storage = DataStorage::Instance();
    // The platform delivers the id again at every start, so a failed write costs nothing stored.
    storage->SaveRegistrationId(registrationId);
    // In a windowless start nothing has loaded the accounts yet; changing and saving an empty
    // collection would replace them all.
    storage->LoadData();
    storage->m_accountsData.UpdateRegistrationId(registrationId);
    // A failure is kept for the accounts list to show, and the storage retries.
    storage->SaveData();
}

void PushNotificationsModel::showNotification(const Aurora::PushNotifications::Push &push)
{
    static const QVariant defaultAction = Notification::remoteAction(
        DEFAULT_ACTION_NAME, QCoreApplication::translate("ApplicationController", "Open app"),
        PushReceiverService::notifyDBusService(), PushReceiverService::notifyDBusPath(),
        PushReceiverService::notifyDBusIface(), PushReceiverService::notifyDBusMethod(), QVariantList());

    Notification notification;
    notification.setAppName(QCoreApplication::translate("ApplicationController", "Kestrel 2FA"));
    notification.setSummary(bounded(push.title, MAX_SUMMARY_LENGTH));
    notification.setBody(bounded(push.message, MAX_BODY_LENGTH));
    notification.setIsTransient(false);
    notification.setItemCount(1);
    notification.setHintValue(FEEDBACK_HINT, FEEDBACK_VALUE);
    notification.setRemoteActions(QVariantList{defaultAction});
    notification.publish();
}
