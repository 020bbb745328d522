#include "ui/clipboardproxy.h"

#include <QClipboard>
#include <QGuiApplication>

ClipboardProxy::ClipboardProxy(QObject *parent)
    : QObject(parent)
{
}

void ClipboardProxy::setText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

QString ClipboardProxy::text() const
{
    return QGuiApplication::clipboard()->text();
}
