// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "model/Localization.h"
#include "ui/desktop/AutostartEntry.h"
#include "ui/shell/AppMenu.h"
#include "ui/shell/UpdateNotice.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using tallyfin::ui::AppMenu;
using tallyfin::ui::AutostartEntry;

// The application menu and Start at Login, against a private XDG_CONFIG_HOME.
class AutostartTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;
    QString entryPath() const {
        return m_config.filePath(u"autostart/org.tallyfin.Tallyfin.desktop"_s);
    }
    QByteArray entry() const {
        QFile file(entryPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private Q_SLOTS:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        tallyfin::installTranslations(*qApp, {u"en"_s});
    }

    void execIsQuotedAndEscaped() {
        const QString text = AutostartEntry::entryText(u"id"_s, u"/opt/My Apps/a$b\"c\\d/100%"_s);
        QVERIFY2(text.contains(u"\nExec=\"/opt/My Apps/a\\\\$b\\\\\"c\\\\\\\\d/100%%\"\n"_s),
                 qPrintable(text));
    }

    void menuItemFollowsTheEntry() {
        AppMenu menu(u"About"_s, {});
        QAction* item = menu.startAtLoginAction();
        QVERIFY(item->isCheckable() && !item->isChecked());
        item->trigger();
        QVERIFY(item->isChecked());
        QVERIFY(entry().contains(
            QByteArray("\nExec=" + QFile::encodeName(qApp->applicationFilePath()) + '\n')));

        // Switched off in the desktop's own settings: the mark follows when the menu opens.
        QFile file(entryPath());
        QVERIFY(file.open(QIODevice::Append) && file.write("Hidden=true\n") > 0);
        file.close();
        Q_EMIT menu.menu().aboutToShow();
        QVERIFY(!item->isChecked());
        item->trigger();
        QVERIFY(item->isChecked() && !entry().contains("Hidden"));
        item->trigger();
        QVERIFY(!item->isChecked() && !QFile::exists(entryPath()));
    }

    // GLib looks for the program with "%%" still doubled and drops the entry ("gio launch": unable
    // to load): none is written, and the reason names the path.
    void percentInThePathWritesNoDeadEntry() {
        AutostartEntry autostart(u"org.tallyfin.Tallyfin"_s, u"/opt/100%/tallyfin"_s);
        const auto error = autostart.setEnabled(true);
        QVERIFY(error && error->contains(u"/opt/100%/tallyfin"_s) && !QFile::exists(entryPath()));
    }

    // The menu as the user reads it (about and the update check first, Quit last), and the
    // answers of a check: the newer version first, then the running one.
    void menuOrderAndUpdateNotices() {
        QCOMPARE(tallyfin::installTranslations(*qApp, {u"en"_s}), u"en"_s);
        AppMenu menu(u"About"_s, {});
        QStringList items;
        for (const QAction* action : menu.menu().actions()) {
            if (action->isVisible() && !action->isSeparator()) {
                items.append(action->text());
            }
        }
        QCOMPARE(items, (QStringList{u"About Tallyfin"_s, u"Check for Updates…"_s,
                                     u"Start at Login"_s, u"Quit Tallyfin"_s}));
        QVERIFY(!menu.checkForUpdatesAction()->isEnabled());

        using Outcome = tallyfin::update::UpdateCheckResult::Outcome;
        const QUrl page(u"https://example.org/1.3"_s);
        const auto notice = [&](Outcome outcome, const QString& latest, const QString& error) {
            const auto text = tallyfin::ui::updateNoticeText(
                {outcome, u"1.2.3"_s, u"1.3.0"_s, latest, page, {}, error});
            return QStringList{text.title, text.text, text.downloadPage.toString()};
        };
        QCOMPARE(notice(Outcome::updateAvailable, u"1.3"_s, {}),
                 (QStringList{u"A new version of Tallyfin is available"_s,
                              u"Tallyfin 1.3 is available; you have 1.2.3."_s, page.toString()}));
        QCOMPARE(notice(Outcome::updateAvailable, {}, {}).at(1),
                 u"Tallyfin 1.3.0 is available; you have 1.2.3."_s);
        QCOMPARE(notice(Outcome::upToDate, {}, {}),
                 (QStringList{u"You're up to date"_s,
                              u"Tallyfin 1.2.3 is the newest version available."_s, QString()}));
        QCOMPARE(notice(Outcome::failed, {}, u"No answer."_s),
                 (QStringList{u"Update check failed"_s,
                              u"Tallyfin could not check for updates: No answer."_s, QString()}));
    }

    void failuresSayWhyAndKeepTheEntry() {
        AutostartEntry autostart(u"org.tallyfin.Tallyfin"_s, u"/usr/bin/tallyfin"_s);
        QVERIFY(QDir().mkpath(entryPath() + u"/x"_s)); // a folder in the entry's place
        const auto error = autostart.setEnabled(false);
        QVERIFY(error && error->contains(entryPath()) && QFileInfo::exists(entryPath()));
        QVERIFY(autostart.setEnabled(true).has_value() && !autostart.isEnabled());
    }
};

QTEST_MAIN(AutostartTest)
#include "tst_autostart.moc"
