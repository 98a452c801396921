// The radio panel of the real program on a real display: the whole program
// (form, handlers, Qt backend, the web plugin) with a local server standing
// in for the radio site. The server is the browser's HTTP proxy, so the page
// is asked for at the program's own radio address.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <QtEndian>
#include <QtTest>
#include <cmath>
#include <set>

#include "app/startup.h"
#include "config/urls.h"
#include "form/main_window.h"
#include "qt/music_panel.h"
#include "qt/qt_desktop.h"
#include "qt/qt_toolkit.h"
#include "qt_program.h"

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

constexpr int kLoadMs = 30000;

// The radio page. It paints the part the panel should show (x 336–617,
// y 160–320 of a 773×600 view) green and everything else red, plays a tone
// in a loop and reports to the server whether it could start without a
// click and, while it plays, that it is still playing. A transparent link
// for a new window lies inside the visible part.
const QByteArray kRadioPage = R"(<!doctype html>
<html><head><style>
html, body { margin: 0; padding: 0; overflow: hidden; background: #ff0000; }
#seen { position: absolute; left: 336px; top: 160px; width: 281px; height: 160px;
        background: #00ff00; }
#away { position: absolute; left: 20px; top: 60px; width: 60px; height: 30px; display: block; }
</style></head><body>
<div id="seen"><a id="away" href="/elsewhere/" target="_blank"></a></div>
<audio id="tone" src="/tone.wav" loop></audio>
<script>
function tell(path) { fetch(path + '?' + Date.now(), {cache: 'no-store'}).catch(function () {}); }
var tone = document.getElementById('tone');
tone.play().then(function () { tell('/played'); },
                 function (e) { tell('/blocked/' + e.name); });
setInterval(function () { if (!tone.paused && tone.currentTime > 0) tell('/playing'); }, 200);
</script></body></html>
)";

// Where a link for a new window leads: blue where the panel looks.
const QByteArray kElsewherePage = R"(<!doctype html>
<html><head><style>
html, body { margin: 0; padding: 0; overflow: hidden; background: #ff0000; }
#seen { position: absolute; left: 336px; top: 160px; width: 281px; height: 160px;
        background: #0000ff; }
</style></head><body><div id="seen"></div></body></html>
)";

QByteArray toneWave() {
    const int rate = 8000, samples = rate;  // one second, looped by the page
    QByteArray data;
    for (int i = 0; i < samples; ++i) {
        qint16 v = qToLittleEndian(static_cast<qint16>(8000 * std::sin(2 * M_PI * 440 * i / rate)));
        data.append(reinterpret_cast<const char*>(&v), 2);
    }
    QByteArray wave;
    auto u32 = [&wave](quint32 v) {
        v = qToLittleEndian(v);
        wave.append(reinterpret_cast<const char*>(&v), 4);
    };
    auto u16 = [&wave](quint16 v) {
        v = qToLittleEndian(v);
        wave.append(reinterpret_cast<const char*>(&v), 2);
    };
    wave.append("RIFF");
    u32(36 + data.size());
    wave.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    wave.append("data");
    u32(data.size());
    return wave + data;
}

// A minimal HTTP proxy that serves every address itself and counts the
// requests by path.
class RadioServer : public QObject {
  public:
    RadioServer() {
        QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { serve(s); });
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    bool listen() { return server_.listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return server_.serverPort(); }
    int count(const QString& path) const { return hits_.value(path); }
    int countStartingWith(const QString& prefix) const {
        int n = 0;
        for (auto it = hits_.cbegin(); it != hits_.cend(); ++it) {
            if (it.key().startsWith(prefix)) n += it.value();
        }
        return n;
    }
    QStringList hosts;

  private:
    void serve(QTcpSocket* s) {
        QByteArray& buffer = pending_[s];
        buffer += s->readAll();
        if (!buffer.contains("\r\n\r\n")) return;
        const QList<QByteArray> requestLine = buffer.left(buffer.indexOf("\r\n")).split(' ');
        pending_.remove(s);
        QUrl url(QString::fromLatin1(requestLine.value(1)));
        hosts << url.host();
        const QString path = url.path();
        ++hits_[path];
        QByteArray type = "text/html", body;
        if (path == "/radio/") {
            body = kRadioPage;
        } else if (path == "/elsewhere/") {
            body = kElsewherePage;
        } else if (path == "/tone.wav") {
            type = "audio/wav";
            body = wave_;
        }
        QByteArray status = body.isEmpty() ? "204 No Content" : "200 OK";
        s->write("HTTP/1.1 " + status + "\r\nContent-Type: " + type +
                 "\r\nCache-Control: no-store\r\nConnection: close\r\nContent-Length: " +
                 QByteArray::number(body.size()) + "\r\n\r\n" + body);
        s->disconnectFromHost();
    }

    QTcpServer server_;
    QHash<QString, int> hits_;
    QHash<QTcpSocket*, QByteArray> pending_;
    const QByteArray wave_ = toneWave();
};

struct Program : QtProgram {
    QWidget* panel() {
        return window()->findChild<QWidget*>(QStringLiteral("MusicWindow"),
                                             Qt::FindDirectChildrenOnly);
    }
    QWidget* view() {
        QWidget* p = panel();
        return p ? p->findChild<QWidget*>(QString::fromUtf8("超文本浏览框1")) : nullptr;
    }
    // Enabled states of 按钮8–按钮11 and 按钮10's caption.
    QString buttons() {
        QString s;
        for (const char* b : {"按钮8", "按钮9", "按钮10", "按钮11"}) {
            s += button(b)->isEnabled() ? QString::fromUtf8(b).mid(2) : QStringLiteral("-");
            s += ' ';
        }
        return s + button("按钮10")->text();
    }
};

QRgb pixel(QWidget* w, QPoint p) {
    return w->grab().toImage().pixel(p);
}

bool webEngineMapped() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6WebEngineCore");
}

// The engine's renderer processes below this one (through its zygote).
std::set<qint64> rendererProcesses() {
    std::set<qint64> found;
    const qint64 self = QCoreApplication::applicationPid();
    auto parentOf = [](qint64 pid) -> qint64 {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) return 0;
        QByteArray s = stat.readAll();
        QList<QByteArray> fields = s.mid(s.lastIndexOf(')') + 2).split(' ');
        if (fields.value(0) == "Z") return 0;  // ended, not yet reaped
        return fields.value(1).toLongLong();
    };
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number) continue;
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!cmdline.open(QIODevice::ReadOnly) || !cmdline.readAll().contains("--type=renderer")) {
            continue;
        }
        for (qint64 p = parentOf(pid); p > 1; p = parentOf(p)) {
            if (p == self) {
                found.insert(pid);
                break;
            }
        }
    }
    return found;
}

bool running(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return false;
    QByteArray s = stat.readAll();
    return s.mid(s.lastIndexOf(')') + 2, 1) != "Z";
}

constexpr QRgb kGreen = 0xff00ff00, kRed = 0xffff0000, kBlue = 0xff0000ff;

}  // namespace

class MusicPanelTest : public QObject {
    Q_OBJECT

    RadioServer server;
    BoxAnswerer boxes;
    std::unique_ptr<Program> p;
    QString pluginLink;

    void putPluginInPlace(bool present) {
        QFile::remove(pluginLink);
        if (present) {
            // The plugin is built beside the program; this test program lives
            // two folders further down.
            const QString built = QDir(QCoreApplication::applicationDirPath())
                                      .absoluteFilePath(QStringLiteral("../../plugins"));
            QVERIFY2(QFileInfo(built).isDir(), qPrintable(built));
            QVERIFY(QFile::link(built, pluginLink));
        }
    }

    void waitForPage(QRgb colour) {
        QTRY_VERIFY_WITH_TIMEOUT(
            p->panel() && p->panel()->isVisible() && pixel(p->panel(), {140, 80}) == colour,
            kLoadMs);
    }

    void openPanel() {
        p->click("按钮8");
        QTRY_VERIFY(p->panel());
        waitForPage(kGreen);
    }

    void stopPanel() {
        QPointer<QWidget> panel = p->panel();
        p->click("按钮11");
        QTRY_VERIFY(!panel);
    }

  private slots:
    void initTestCase() {
        QVERIFY(server.listen());
        // This test process only: the radio address is reached through the
        // local server, and the display has no desktop settings of its own.
        const QByteArray proxy = "http://127.0.0.1:" + QByteArray::number(server.port());
        qputenv("http_proxy", proxy);
        qunsetenv("no_proxy");
        qunsetenv("NO_PROXY");
        qunsetenv("XDG_CURRENT_DESKTOP");
        qunsetenv("DESKTOP_SESSION");
        qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
        qunsetenv("QTWEBENGINE_CHROMIUM_FLAGS");

        pluginLink = QFileInfo(qtui::webModulePath()).absolutePath();
        putPluginInPlace(true);
        p = std::make_unique<Program>();
        app::setUpMainWindow(p->session);
        p->w.window->setVisible(true);
        QVERIFY(QTest::qWaitForWindowExposed(p->window()));
        QTRY_COMPARE(boxes.titles.size(), 1);  // the greeting
        boxes.clear();
        QCOMPARE(p->buttons(), QStringLiteral("8 - - - 后台"));
        QVERIFY2(QUrl(QString::fromUtf8(config::kRadioUrl)).scheme() == "http", config::kRadioUrl);
    }

    // Every case starts with the panel closed and 按钮10 reading "后台",
    // whatever the case before it left behind.
    void init() {
#ifdef Q_OS_UNIX
        // Whoever starts the program as root may turn the sandbox off; this
        // test process does (one case below checks what happens otherwise).
        if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
        if (p->panel()) stopPanel();
        if (p->button("按钮10")->text() != QStringLiteral("后台") &&
            p->button("按钮8")->isEnabled()) {
            p->click("按钮8");
            p->click("按钮10");
            stopPanel();
        }
        QCOMPARE(p->buttons(), QStringLiteral("8 - - - 后台"));
        boxes.clear();
    }

    // The engine would end the whole program as root with its sandbox on:
    // the program says why instead, and nothing else happens.
    void refusesAsRootWithTheSandboxOn() {
#ifdef Q_OS_UNIX
        if (::geteuid() != 0) QSKIP("needs root");
#endif
        qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
        putPluginInPlace(true);
        p->click("按钮8");
        QTRY_COMPARE(boxes.titles.size(), 1);
        QCOMPARE(boxes.titles[0], QStringLiteral("信息："));
        QVERIFY2(boxes.texts[0].contains(QStringLiteral("root")), qPrintable(boxes.texts[0]));
        QVERIFY(!p->panel());
        QCOMPARE(p->buttons(), QStringLiteral("8 - - - 后台"));
        QVERIFY2(!webEngineMapped(), "the engine was loaded all the same");
    }

    void saysSoWhenTheBrowserPluginIsMissing() {
        putPluginInPlace(false);
        p->click("按钮8");
        QTRY_COMPARE(boxes.titles.size(), 1);
        QCOMPARE(boxes.titles[0], QStringLiteral("信息："));
        QVERIFY2(boxes.texts[0].contains(QStringLiteral("kestrune_web")),
                 qPrintable(boxes.texts[0]));
        QVERIFY(!p->panel());
        QCOMPARE(p->buttons(), QStringLiteral("8 - - - 后台"));
        putPluginInPlace(true);
    }

    // Over the log, above every control (the calendar included), with only
    // the cut-out of the page showing.
    void opensOverTheLogShowingTheCutOut() {
        QVERIFY2(!webEngineMapped(), "QtWebEngine was loaded before the first 听歌");
        p->click("按钮7");  // the calendar, where the two overlap
        QVERIFY(p->find<QWidget>("农历月历1")->isVisible());
        openPanel();
        QVERIFY(webEngineMapped());
        QCOMPARE(boxes.titles, QStringList());
        QCOMPARE(p->buttons(), QStringLiteral("- 9 10 11 后台"));

        QWidget* panel = p->panel();
        QVERIFY(!panel->isWindow());
        QCOMPARE(panel->geometry(), QRect(225, 195, 281, 160));
        QCOMPARE(p->view()->geometry(), QRect(-336, -160, 773, 600));
        const QObjectList siblings = p->window()->children();
        QWidget* top = nullptr;
        for (QObject* o : siblings) {
            if (auto* w = qobject_cast<QWidget*>(o); w && !w->isWindow() && w->isVisible()) top = w;
        }
        QCOMPARE(top, panel);
        // Where the calendar and the panel overlap, the panel takes the mouse.
        QWidget* hit = QApplication::widgetAt(p->window()->mapToGlobal(QPoint(300, 220)));
        QVERIFY(hit && (hit == panel || panel->isAncestorOf(hit)));

        // Every pixel of the panel is the page's visible part; none of the
        // rest leaks in at any edge.
        const QImage seen = panel->grab().toImage();
        QCOMPARE(seen.size(), QSize(281, 160));
        int wrong = 0;
        for (int y = 0; y < seen.height(); ++y) {
            for (int x = 0; x < seen.width(); ++x) wrong += seen.pixel(x, y) != kGreen;
        }
        QCOMPARE(wrong, 0);
        // Seen from the main window too: over the calendar and the log.
        const QImage whole = p->window()->grab().toImage();
        for (QPoint at : {QPoint(225, 195), QPoint(300, 220), QPoint(505, 354), QPoint(232, 351)}) {
            QCOMPARE(whole.pixel(at), kGreen);
        }
        QVERIFY(whole.pixel(224, 195) != kGreen && whole.pixel(506, 354) != kGreen);
        QCOMPARE(server.count("/radio/"), 1);
        QVERIFY2(server.hosts.contains(QUrl(QString::fromUtf8(config::kRadioUrl)).host()),
                 qPrintable(server.hosts.join(' ')));
        // The calendar shown again while the panel is open stays below it.
        p->click("按钮7");
        QVERIFY(!p->find<QWidget>("农历月历1")->isVisible());
        p->click("按钮7");
        QVERIFY(p->find<QWidget>("农历月历1")->isVisible());
        QCOMPARE(p->window()->grab().toImage().pixel(300, 220), kGreen);
        p->click("按钮7");
    }

    void playsWithoutAClick() {
        const int played = server.count("/played"), playing = server.count("/playing");
        const int blocked = server.countStartingWith("/blocked/");
        openPanel();
        QTRY_VERIFY_WITH_TIMEOUT(
            server.count("/played") + server.countStartingWith("/blocked/") > played + blocked,
            kLoadMs);
        QCOMPARE(server.countStartingWith("/blocked/"), blocked);
        QTRY_VERIFY_WITH_TIMEOUT(server.count("/playing") > playing, kLoadMs);
    }

    // Sent to the background before it was ever drawn, the radio still
    // starts and plays.
    void playsWhenHiddenAtOnce() {
        const int playing = server.count("/playing");
        p->click("按钮8");
        p->click("按钮10");
        QVERIFY(p->panel() && p->panel()->isHidden());
        QTRY_VERIFY_WITH_TIMEOUT(server.count("/playing") > playing, kLoadMs);
        QCOMPARE(p->buttons(), QStringLiteral("- 9 10 11 前台"));
    }

    void nextSongReloadsTheRadioPageEachTime() {
        openPanel();
        const int before = server.count("/radio/");
        p->click("按钮9");
        QTRY_COMPARE_WITH_TIMEOUT(server.count("/radio/"), before + 1, kLoadMs);
        waitForPage(kGreen);
        p->click("按钮9");
        QTRY_COMPARE_WITH_TIMEOUT(server.count("/radio/"), before + 2, kLoadMs);
        waitForPage(kGreen);
        QCOMPARE(p->buttons(), QStringLiteral("- 9 10 11 后台"));
    }

    // "后台" uncovers the log and the radio plays on; "前台" brings the same
    // page back without asking the server again.
    void backgroundAndForegroundKeepThePage() {
        openPanel();
        QPlainTextEdit* log = p->find<QPlainTextEdit>("编辑框1");
        p->w.编辑框1->appendText("\r\n盖住时写的一行");
        const int pages = server.count("/radio/");
        p->click("按钮10");
        QVERIFY(p->panel()->isHidden());
        QCOMPARE(p->buttons(), QStringLiteral("- 9 10 11 前台"));
        QCOMPARE(QApplication::widgetAt(log->mapToGlobal(log->rect().center())), log->viewport());
        QVERIFY(log->toPlainText().endsWith(QStringLiteral("盖住时写的一行")));
        const int playing = server.count("/playing");
        QTRY_VERIFY_WITH_TIMEOUT(server.count("/playing") > playing, 10000);

        p->click("按钮10");
        QVERIFY(p->panel()->isVisible());
        QCOMPARE(p->buttons(), QStringLiteral("- 9 10 11 后台"));
        waitForPage(kGreen);
        QTest::qWait(500);
        QCOMPARE(server.count("/radio/"), pages);
    }

    // A link meant for a new window opens inside the panel, and "切歌" then
    // reloads that page, not the radio address.
    void newWindowLinksStayInside() {
        openPanel();
        const QList<QWindow*> windowsBefore = QGuiApplication::topLevelWindows();
        QWidget* target = p->view()->focusProxy() ? p->view()->focusProxy() : p->view();
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(p->panel(), QPoint(50, 75)));
        QTRY_COMPARE_WITH_TIMEOUT(server.count("/elsewhere/"), 1, kLoadMs);
        waitForPage(kBlue);
        int visibleTopLevels = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) visibleTopLevels += w->isVisible();
        QCOMPARE(visibleTopLevels, 1);
        for (QWindow* w : QGuiApplication::topLevelWindows()) {
            if (!windowsBefore.contains(w)) QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
        }

        const int radio = server.count("/radio/");
        p->click("按钮9");
        QTRY_COMPARE_WITH_TIMEOUT(server.count("/elsewhere/"), 2, kLoadMs);
        QCOMPARE(server.count("/radio/"), radio);
    }

    // "停止" destroys the panel with its view, and the page's renderer
    // process ends: the sound is gone with it.
    void stopEndsThePage() {
        openPanel();
        const std::set<qint64> renderers = rendererProcesses();
        QVERIFY(!renderers.empty());
        QPointer<QWidget> view = p->view();
        stopPanel();
        QVERIFY(!view);
        QCOMPARE(p->buttons(), QStringLiteral("8 - - - 后台"));
        for (qint64 pid : renderers) QTRY_VERIFY_WITH_TIMEOUT(!running(pid), 15000);
        const int playing = server.count("/playing");
        QTest::qWait(1000);
        QCOMPARE(server.count("/playing"), playing);
    }

    // The caption decides, and "停止" leaves it alone: after a stop while
    // hidden, the next panel opens shown with "前台", and the first click
    // only turns the caption back.
    void buttonsThroughOpenHideStopOpen() {
        struct Step {
            const char* button;
            const char* buttons;
            const char* panel;  // "none", "shown", "hidden"
        };
        const Step steps[] = {
            {"按钮8", "- 9 10 11 后台", "shown"},  {"按钮10", "- 9 10 11 前台", "hidden"},
            {"按钮11", "8 - - - 前台", "none"},    {"按钮8", "- 9 10 11 前台", "shown"},
            {"按钮10", "- 9 10 11 后台", "shown"}, {"按钮10", "- 9 10 11 前台", "hidden"},
            {"按钮10", "- 9 10 11 后台", "shown"}, {"按钮11", "8 - - - 后台", "none"},
        };
        QPointer<QWidget> previous;
        for (const Step& s : steps) {
            const QByteArray where = QByteArray(s.button) + " → " + s.buttons;
            // The buttons that cannot be used take no click.
            for (const char* b : {"按钮8", "按钮9", "按钮10", "按钮11"}) {
                if (!p->button(b)->isEnabled()) p->click(b);
            }
            QPointer<QWidget> before = p->panel();
            p->click(s.button);
            QTRY_VERIFY2(QByteArray(s.panel) != "none" || !before, where.constData());
            QCOMPARE(p->buttons(), QString::fromUtf8(s.buttons));
            QWidget* panel = p->panel();
            if (QByteArray(s.panel) == "none") {
                QVERIFY2(!panel, where.constData());
                continue;
            }
            QVERIFY2(panel, where.constData());
            QCOMPARE(panel->isVisible(), QByteArray(s.panel) == "shown");
            if (QByteArray(s.button) == "按钮8") {
                QVERIFY2(panel != previous.data() || !previous, "a fresh panel");
                previous = panel;
            }
        }
        QCOMPARE(boxes.titles, QStringList());
    }

    // Esc in the page closes the panel only (not the program), and the
    // buttons go back as after "停止".
    void escClosesThePanelOnly() {
        openPanel();
        p->click("按钮10");
        p->click("按钮10");  // shown again, caption "后台"
        // Active, so that the main window's own Esc (which ends the program)
        // would act if the key reached it.
        p->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(p->window()));
        QWidget* target = p->view()->focusProxy() ? p->view()->focusProxy() : p->view();
        target->setFocus();
        QPointer<QWidget> panel = p->panel();
        QTest::keyClick(target, Qt::Key_Escape);
        QTRY_VERIFY(!panel);
        QVERIFY(p->window()->isVisible());
        QCOMPARE(p->buttons(), QStringLiteral("8 - - - 后台"));
        for (const char* b : {"按钮9", "按钮10", "按钮11"}) p->click(b);
        QCOMPARE(p->buttons(), QStringLiteral("8 - - - 后台"));
        openPanel();
    }

    void cleanupTestCase() {
        if (p && p->panel()) stopPanel();
        QFile::remove(pluginLink);
    }
};

QTEST_MAIN(MusicPanelTest)
#include "music_panel_xtest.moc"
