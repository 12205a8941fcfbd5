// Every QML view of the program's resources loads on its own, with its hosts' context
// properties, to a ready root and without a single warning.
#include "messagerecorder.h"
#include "qmlstandins.h"
#include "shell/appresources.h"
#include "shell/startup.h"
#include "testmain.h"

#include <QDirIterator>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWidget>

class TestQmlSmoke : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initAppResources();
        loadApplicationFonts();
    }

    void loads_data()
    {
        QTest::addColumn<QString>("path");
        QStringList paths;
        QDirIterator it(QStringLiteral(":/"), {QStringLiteral("*.qml")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (!path.startsWith(QLatin1String(":/qt-project.org/")))
                paths.append(path);
        }
        paths.sort();
        QVERIFY2(paths.contains(QStringLiteral(":/qml/SingleDialog.qml")), "the program's resources are not linked");
        for (const QString &path : paths)
            QTest::newRow(qPrintable(path)) << path;
    }

    void loads()
    {
        QFETCH(QString, path);
        LumaraTest::MessageRecorder recorder;
        {
            QQuickWidget view;
            view.setResizeMode(QQuickWidget::SizeRootObjectToView);
            view.rootContext()->setContextProperty(QStringLiteral("resoving"), 1.0);
            // Rows for every view first, then those of the view's own folder, which replace them.
            for (const QmlStandIn &standIn : qmlStandIns())
                if (standIn.folder.isEmpty())
                    view.rootContext()->setContextProperty(standIn.name, standIn.value());
            for (const QmlStandIn &standIn : qmlStandIns())
                if (!standIn.folder.isEmpty() && path.startsWith(standIn.folder))
                    view.rootContext()->setContextProperty(standIn.name, standIn.value());
            view.setSource(QUrl(QStringLiteral("qrc") + path));
            QCOMPARE(view.status(), QQuickWidget::Ready);
            QVERIFY(view.rootObject());
            view.resize(view.initialSize().expandedTo(QSize(16, 16)));
            view.show();
            QVERIFY(QTest::qWaitForWindowExposed(&view));
            QCoreApplication::processEvents();
            QVERIFY(!view.grabFramebuffer().isNull());
        }
        QCOMPARE(recorder.warnings(), QStringList());
    }
};

LUMARA_TEST_GUI_MAIN(TestQmlSmoke)
#include "tst_qmlsmoke.moc"
