#ifndef KESTREL_MODELS_APPLICATIONPINMODEL_H
#define KESTREL_MODELS_APPLICATIONPINMODEL_H

#include <QObject>
#include <QString>

// The application PIN as the screens set, read and clear it. The PIN is kept exactly as entered;
// comparing an entry with it is the screens' business. The copy held here is always the stored
// one: a PIN that could not be written is refused and reported through badreply. GUI thread.
class ApplicationPinModel : public QObject
{
    Q_OBJECT

public:
    explicit ApplicationPinModel(QObject *parent = nullptr);

    // Both return false, and change nothing, when the PIN file could not be written.
    Q_INVOKABLE bool onSetPinCode(QString pinCode);
    Q_INVOKABLE bool resetPinCode();
    Q_INVOKABLE QString getPinCode();
    Q_INVOKABLE bool isPinCodePresent();

signals:
    void badreply(QString msg);

private:
    bool store(const QString &pinCode);

    QString m_pinCode;
};

#endif // KESTREL_MODELS_APPLICATIONPINMODEL_H
