#ifndef KESTREL_UI_CLIPBOARDPROXY_H
#define KESTREL_UI_CLIPBOARDPROXY_H

#include <QObject>
#include <QString>

// Qt Quick has no clipboard type of its own; the accounts list copies codes through this one.
class ClipboardProxy : public QObject
{
    Q_OBJECT

public:
    explicit ClipboardProxy(QObject *parent = nullptr);

    Q_INVOKABLE void setText(const QString &text);
    Q_INVOKABLE QString text() const;
};

#endif // KESTREL_UI_CLIPBOARDPROXY_H
