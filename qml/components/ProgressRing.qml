import QtQuick 2.15

// Remaining validity of a time-based code, in percent, as a ring.
Canvas {
    id: ring

    property int percent: 100
    property color color: "#2e7d32"
    property color trackColor: "#22000000"

    implicitWidth: 36
    implicitHeight: 36
    onPercentChanged: requestPaint()
    onColorChanged: requestPaint()

    onPaint: {
        const ctx = getContext("2d")
        const r = Math.min(width, height) / 2 - 3
        ctx.reset()
        ctx.lineWidth = 4
        ctx.strokeStyle = trackColor
        ctx.beginPath()
        ctx.arc(width / 2, height / 2, r, 0, 2 * Math.PI)
        ctx.stroke()
        ctx.strokeStyle = color
        ctx.lineCap = "round"
        ctx.beginPath()
        ctx.arc(width / 2, height / 2, r, -Math.PI / 2, -Math.PI / 2 + 2 * Math.PI * Math.max(0, Math.min(100, percent)) / 100)
        ctx.stroke()
    }
}
