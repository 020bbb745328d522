import QtQuick 2.15

// Small line icons drawn in place, so the program needs no icon theme on the phone or desktop.
Canvas {
    id: icon

    property string name
    property color color: "#202020"
    property real lineWidth: Math.max(1.5, width / 12)

    implicitWidth: 24
    implicitHeight: 24
    onNameChanged: requestPaint()
    onColorChanged: requestPaint()
    onWidthChanged: requestPaint()
    onHeightChanged: requestPaint()

    onPaint: {
        const ctx = getContext("2d")
        const s = Math.min(width, height)
        ctx.reset()
        ctx.strokeStyle = color
        ctx.fillStyle = color
        ctx.lineWidth = lineWidth
        ctx.lineCap = "round"
        ctx.lineJoin = "round"
        ctx.translate((width - s) / 2, (height - s) / 2)
        ctx.scale(s / 24, s / 24)
        ctx.lineWidth = lineWidth * 24 / s
        ctx.beginPath()
        switch (name) {
        case "back":
            ctx.moveTo(19, 12); ctx.lineTo(5, 12); ctx.moveTo(11, 6); ctx.lineTo(5, 12); ctx.lineTo(11, 18)
            break
        case "close":
            ctx.moveTo(6, 6); ctx.lineTo(18, 18); ctx.moveTo(18, 6); ctx.lineTo(6, 18)
            break
        case "search":
            ctx.arc(10, 10, 6, 0, 2 * Math.PI); ctx.moveTo(14.5, 14.5); ctx.lineTo(20, 20)
            break
        case "folder":
            ctx.moveTo(3, 6); ctx.lineTo(9, 6); ctx.lineTo(11, 8); ctx.lineTo(21, 8); ctx.lineTo(21, 19)
            ctx.lineTo(3, 19); ctx.closePath()
            break
        case "file":
            ctx.moveTo(6, 3); ctx.lineTo(14, 3); ctx.lineTo(19, 8); ctx.lineTo(19, 21); ctx.lineTo(6, 21); ctx.closePath()
            ctx.moveTo(14, 3); ctx.lineTo(14, 8); ctx.lineTo(19, 8)
            break
        case "up":
            ctx.moveTo(12, 19); ctx.lineTo(12, 5); ctx.moveTo(6, 11); ctx.lineTo(12, 5); ctx.lineTo(18, 11)
            break
        case "lock":
            ctx.rect(5, 11, 14, 10); ctx.moveTo(8, 11); ctx.lineTo(8, 8); ctx.arc(12, 8, 4, Math.PI, 0); ctx.lineTo(16, 11)
            break
        case "shield":
            ctx.moveTo(12, 2.5); ctx.lineTo(20, 6); ctx.lineTo(20, 11); ctx.quadraticCurveTo(20, 18, 12, 21.5)
            ctx.quadraticCurveTo(4, 18, 4, 11); ctx.lineTo(4, 6); ctx.closePath()
            ctx.moveTo(8.5, 12); ctx.lineTo(11, 14.5); ctx.lineTo(15.5, 9.5)
            break
        }
        ctx.stroke()
    }
}
