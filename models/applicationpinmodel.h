#pragma once

#include <QObject>
#include <QString>

// The application PIN as the screens set, read and clear it. The PIN is kept exactly as entered;
// comparing an entry with it is the screens' business.
class ApplicationPinModel : public QObject
{
    Q_OBJECT

public:
    explicit ApplicationPinModel(QObject *parent = nullptr);

    Q_INVOKABLE void onSetPinCode(QString pinCode);
    Q_INVOKABLE void resetPinCode();
    Q_INVOKABLE QString getPinCode();
    Q_INVOKABLE bool isPinCodePresent();

private:
    QString m_pinCode;
};
