// The window's top bar: the logo, Open, Recent (its list opens from the arrow beside it), Save
// and Save as on the left; the title in the centre; the image action with its chooser, "What
// is..." and the window buttons on the right. The space between the groups is left to the
// window, which drags itself by it. Save, Save as, the image actions and "What is..." wait for
// the first file to open.
import QtQuick 2.15
import QtQuick.Controls 2.15

Rectangle {
    id: root
    readonly property real unit: resoving

    property string fileName: ""
    property string imageSaveText: "Save Vector Image"
    property string imageSaveIcon: "qrc:/assets/svg_icon1.png"
    // Where the pop-ups under the bar line up; kept current on every change of size.
    property int imageSavePosition: 1482
    property int recentFilePosition: 0
    property bool fileOpened: false

    signal closeWindows()
    signal whatIs()
    signal maxSize()
    signal hideApp()
    signal imageSaveMode()
    signal saveImage()
    signal open()
    signal save(int type)
    signal closePopupMenu()
    signal recentFile()
    signal openFile()

    implicitWidth: 1280 * unit
    implicitHeight: 40 * unit
    color: "#ffffff"

    function updatePositions() {
        recentFilePosition = recentButton.mapToItem(root, 0, 0).x
        imageSavePosition = imageButton.mapToItem(root, 0, 0).x
    }

    onOpenFile: fileOpened = true
    onWidthChanged: updatePositions()
    onHeightChanged: updatePositions()

    Rectangle {
        anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
        height: 1
        color: "#dde3e8"
    }

    Image {
        x: 18 * root.unit
        anchors.verticalCenter: parent.verticalCenter
        width: 28 * root.unit
        height: 28 * root.unit
        source: "qrc:/assets/logo.png"
        smooth: true
        mipmap: true
    }

    Row {
        id: fileGroup
        x: 60 * root.unit
        height: parent.height - 1
        onXChanged: root.updatePositions()

        MenuBarButton {
            objectName: "openButton"
            unit: root.unit
            width: 86 * root.unit
            height: parent.height
            text: qsTr("Open")
            iconSource: "qrc:/assets/menu_open.png"
            onClicked: { root.open(); root.closePopupMenu() }
        }
        MenuBarButton {
            id: recentButton
            objectName: "recentButton"
            unit: root.unit
            width: 86 * root.unit
            height: parent.height
            text: qsTr("Recent")
            iconSource: "qrc:/assets/menu_recent.png"
            onClicked: root.closePopupMenu()
        }
        MenuBarButton {
            objectName: "recentArrow"
            unit: root.unit
            width: 32 * root.unit
            height: parent.height
            iconSource: "qrc:/assets/menu_dropdown.png"
            iconSize: 16 * root.unit
            onClicked: { root.recentFile(); root.closePopupMenu() }
        }
        MenuBarButton {
            objectName: "saveButton"
            unit: root.unit
            width: 77 * root.unit
            height: parent.height
            enabled: root.fileOpened
            text: qsTr("Save")
            iconSource: "qrc:/assets/menu_save.png"
            onClicked: { root.save(1); root.closePopupMenu() }
        }
        MenuBarButton {
            objectName: "saveAsButton"
            unit: root.unit
            width: 96 * root.unit
            height: parent.height
            enabled: root.fileOpened
            text: qsTr("Save as")
            iconSource: "qrc:/assets/menu_saveas.png"
            onClicked: { root.save(2); root.closePopupMenu() }
        }
    }

    Text {
        objectName: "title"
        anchors.centerIn: parent
        width: Math.max(0, Math.min(parent.width - 2 * (fileGroup.x + fileGroup.width), 600 * root.unit))
        horizontalAlignment: Text.AlignHCenter
        elide: Text.ElideMiddle
        text: root.fileName
        font.family: "Roboto"
        font.pixelSize: 12 * root.unit
        color: "#333333"
    }

    Row {
        id: actionGroup
        anchors { right: windowGroup.left; rightMargin: 16 * root.unit }
        height: parent.height - 1
        onXChanged: root.updatePositions()

        MenuBarButton {
            id: imageButton
            objectName: "imageButton"
            unit: root.unit
            width: 150 * root.unit
            height: parent.height
            enabled: root.fileOpened
            text: root.imageSaveText
            iconSource: root.imageSaveIcon
            onClicked: { root.saveImage(); root.closePopupMenu() }
        }
        MenuBarButton {
            objectName: "imageArrow"
            unit: root.unit
            width: 24 * root.unit
            height: parent.height
            enabled: root.fileOpened
            iconSource: "qrc:/assets/menu_dropdown.png"
            iconSize: 16 * root.unit
            onClicked: { root.imageSaveMode(); root.closePopupMenu() }
        }
        MenuBarButton {
            objectName: "whatIsButton"
            unit: root.unit
            width: 100 * root.unit
            height: parent.height
            enabled: root.fileOpened
            text: qsTr("What is...")
            iconSource: "qrc:/assets/menu_whatis.png"
            onClicked: { root.whatIs(); root.closePopupMenu() }
        }
    }

    Row {
        id: windowGroup
        anchors { right: parent.right; rightMargin: 5; verticalCenter: parent.verticalCenter }
        spacing: 5

        MenuBarButton {
            objectName: "minimiseButton"
            unit: root.unit
            width: 32 * root.unit
            height: 32 * root.unit
            iconSource: "qrc:/assets/window_minimise.png"
            onClicked: { root.hideApp(); root.closePopupMenu() }
        }
        MenuBarButton {
            objectName: "restoreButton"
            unit: root.unit
            width: 32 * root.unit
            height: 32 * root.unit
            iconSource: "qrc:/assets/window_restore.png"
            onClicked: { root.maxSize(); root.closePopupMenu() }
        }
        MenuBarButton {
            objectName: "closeButton"
            unit: root.unit
            width: 32 * root.unit
            height: 32 * root.unit
            iconSource: "qrc:/assets/window_close.png"
            onClicked: { root.closeWindows(); root.closePopupMenu() }
        }
    }
}
