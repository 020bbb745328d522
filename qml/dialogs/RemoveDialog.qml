import QtQuick 2.15
import QtQuick.Controls 2.15

QuestionDialog {
    property var app
    property int accountId: -1
    property int row: -1

    objectName: "removeDialog"
    title: qsTr("Удалить аккаунт?")
    onAccepted: {
        app.accounts.remove(accountId, row)
        app.showMessage(qsTr("Аккаунт удалён"))
    }
}
