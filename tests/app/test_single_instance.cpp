#include <QTemporaryDir>
#include <QTest>

#include "app/single_instance.h"

using namespace quotaplan;

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void secondCopyIsRefusedUntilTheFirstEnds() {
        QTemporaryDir folder;
        auto first = std::make_unique<SingleInstanceGuard>(folder.path());
        QVERIFY(first->Acquire());
        SingleInstanceGuard second(folder.path());
        QVERIFY(!second.Acquire());
        first.reset();
        QVERIFY(second.Acquire());
    }

    void oldLockOfALiveCopyStillHolds() {
        QTemporaryDir folder;
        SingleInstanceGuard first(folder.path());
        QVERIFY(first.Acquire());
        // Make the lock look a day old: age alone must not make it stale.
        QFile lock(first.LockPath());
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addDays(-1),
                                 QFileDevice::FileModificationTime));
        lock.close();
        SingleInstanceGuard second(folder.path());
        QVERIFY(!second.Acquire());
    }

    void lockOfADeadCopyIsTakenOver() {
        QTemporaryDir folder;
        const QString path = QDir(folder.path()).filePath("quotaplan-4.lock");
        QFile lock(path);
        QVERIFY(lock.open(QIODevice::WriteOnly));
        // pid, application name, host name: a process that cannot exist.
        lock.write("2147483000\nquotaplan\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        lock.close();
        SingleInstanceGuard guard(folder.path());
        QVERIFY(guard.Acquire());
    }

    void message() {
        QCOMPARE(QString::fromStdString(AlreadyRunningMessage()),
                 QString("Quotaplan 4 è già in esecuzione"));
    }
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "test_single_instance.moc"
