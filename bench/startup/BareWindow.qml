import QtQuick 2.15

// The reference of the start-up benchmark: a bare Qt Quick window with one rectangle.
Rectangle {
    color: "white"
}
