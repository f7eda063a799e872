// Random-event runs of the three programs through their real handlers: clicks
// on whatever is offered, list rows that exist and rows that do not, the
// window, double-clicks, resizes, hostile dialog replies and clock jumps.
// After every event the program's invariants are checked.
//
//   MONKEY_SECONDS  how long each program runs (default 5)
//   MONKEY_EVENTS   stop after this many events instead (default: no limit)
//   MONKEY_SEED     replay a run exactly (default: drawn from the clock)
//   MONKEY_TRACE    write each event and a digest of what the window shows
//                   after it to this file: two builds that behave alike
//                   write the same trace for the same seed
#include "core/randomsource.h"
#include "doloranform.h"
#include "forms/appsetup.h"
#include "forms/formtimer.h"
#include "forms/inputprovider.h"
#include "forms/listbox.h"
#include "forms/printsurface.h"
#include "formundertest.h"
#include "manualclock.h"
#include "pelmarform.h"
#include "stepwindow.h"
#include "trainerform.h"

#include <QAbstractButton>
#include <QCryptographicHash>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <functional>
#include <random>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

QStringList g_events;
quint32 g_seed = 0;

void dumpEvents()
{
    std::fprintf(stderr, "monkey: seed %u, %lld events; replay with MONKEY_SEED=%u MONKEY_EVENTS=%lld\n", g_seed,
                 qlonglong(g_events.size()), g_seed, qlonglong(g_events.size()));
    for (qsizetype e = 0; e < g_events.size(); ++e)
        std::fprintf(stderr, "  %lld %s\n", qlonglong(e + 1), qPrintable(g_events[e]));
}

// Replies a pupil might type, friendly and hostile; no value means cancelled.
const QList<std::optional<QString>> &replies()
{
    static const QList<std::optional<QString>> table = {QString(),
                                                        std::nullopt,
                                                        QStringLiteral("abc"),
                                                        QStringLiteral(" 7 "),
                                                        QStringLiteral("7,5"),
                                                        QStringLiteral("1e10"),
                                                        QStringLiteral("-32768"),
                                                        QStringLiteral("32768"),
                                                        QStringLiteral("99999999999"),
                                                        QStringLiteral("0x10"),
                                                        QString(100000, QLatin1Char('9')),
                                                        QStringLiteral("Привет"),
                                                        QStringLiteral("1"),
                                                        QStringLiteral("0"),
                                                        QStringLiteral("2"),
                                                        QStringLiteral("3"),
                                                        QStringLiteral("30"),
                                                        QStringLiteral("-1"),
                                                        QStringLiteral("40"),
                                                        QStringLiteral("1abc"),
                                                        QStringLiteral("0.5"),
                                                        QStringLiteral("-3")};
    return table;
}

class HostileInput : public InputProvider
{
public:
    explicit HostileInput(std::mt19937 &engine)
        : m_engine(engine)
    {}
    std::optional<QString> ask(QWidget *, const QString &prompt) override
    {
        const auto &table = replies();
        const int pick = int(m_engine() % table.size());
        g_events << QStringLiteral("    dialog \"%1\" -> %2")
                        .arg(prompt, table[pick] ? QStringLiteral("reply %1").arg(pick) : QStringLiteral("cancel"));
        return table[pick];
    }

private:
    std::mt19937 &m_engine;
};

class Monkey
{
public:
    Monkey(Form &form, ManualClock &clock, FormTimer *timer, std::function<QString()> invariants)
        : m_form(form)
        , m_clock(clock)
        , m_timer(timer)
        , m_invariants(std::move(invariants))
        , m_engine(g_seed)
        , m_input(m_engine)
    {
        m_form.setInputProvider(&m_input);
    }

    qint64 run(int seconds, qint64 maxEvents)
    {
        g_events.clear();
        QElapsedTimer elapsed;
        elapsed.start();
        qint64 count = 0;
        while ((maxEvents > 0 ? count < maxEvents : elapsed.elapsed() < seconds * 1000LL)) {
            const qsizetype logged = g_events.size();
            step();
            ++count;
            trace(logged);
            const QString broken = m_invariants();
            if (!broken.isEmpty()) {
                dumpEvents();
                qFatal("monkey: invariant broken after event %lld: %s", count, qPrintable(broken));
            }
            if (!m_form.isVisible()) {
                dumpEvents();
                qFatal("monkey: the window went away");
            }
            // Keep the log bounded on long runs; the seed replays everything.
            if (g_events.size() > 20000)
                g_events.remove(0, 10000);
            if (count % 100000 == 0)
                std::fprintf(stderr, "monkey: %lld events\n", count);
        }
        return count;
    }

private:
    int draw(int n) { return int(m_engine() % quint32(n)); }

    // The printed items with their colours and fonts, the print state, and
    // every control's state and text.
    QByteArray shown() const
    {
        QByteArray state = QJsonDocument::fromVariant(m_form.findChild<PrintSurface *>()->items()).toJson();
        const PrintState print = m_form.printState();
        state += QByteArray::number(print.color) + ' ' + QByteArray::number(print.size) + ' '
            + QByteArray::number(print.bold) + QByteArray::number(print.italic) + QByteArray::number(print.underline)
            + '\n';
        for (const QWidget *w : m_form.findChildren<QWidget *>()) {
            state += w->objectName().toUtf8() + ' ' + QByteArray::number(w->isVisible())
                + QByteArray::number(w->isEnabled());
            if (const auto *b = qobject_cast<const QAbstractButton *>(w))
                state += QByteArray::number(b->isChecked()) + b->text().toUtf8();
            if (const auto *e = qobject_cast<const QLineEdit *>(w))
                state += e->text().toUtf8();
            if (const auto *l = qobject_cast<const QListWidget *>(w)) {
                for (int row = 0; row < l->count(); ++row)
                    state += '|' + l->item(row)->text().toUtf8();
            }
            state += '\n';
        }
        return state;
    }

    void trace(qsizetype logged)
    {
        static const QString path = qEnvironmentVariable("MONKEY_TRACE");
        if (path.isEmpty())
            return;
        QFile file(path);
        if (!file.open(QIODevice::Append))
            qFatal("monkey: cannot write %s", qPrintable(path));
        for (qsizetype e = qMin(logged, g_events.size()); e < g_events.size(); ++e)
            file.write(g_events[e].toUtf8() + '\n');
        file.write("  " + QCryptographicHash::hash(shown(), QCryptographicHash::Sha1).toHex() + '\n');
    }

    void step()
    {
        switch (draw(10)) {
        case 0:
        case 1:
        case 2:
        case 3:
            clickControl();
            break;
        case 4:
        case 5:
            clickRow();
            break;
        case 6:
            clickWindow(draw(4) == 0);
            break;
        case 7:
            resize();
            break;
        case 8:
            jumpClock();
            break;
        default:
            g_events << QStringLiteral("tick");
            emit m_timer->Timer();
            break;
        }
    }

    void clickControl()
    {
        QList<QAbstractButton *> offered;
        for (QAbstractButton *b : m_form.findChildren<QAbstractButton *>()) {
            // "Выход" ends the program, and a program saved would be a file
            // written where the test runs; everything else is fair game.
            if (b->isVisible() && b->isEnabled() && b->text() != QStringLiteral("Выход")
                && b->objectName() != QStringLiteral("saveButton"))
                offered << b;
        }
        if (offered.isEmpty())
            return clickWindow(false);
        QAbstractButton *b = offered[draw(int(offered.size()))];
        g_events << QStringLiteral("click %1").arg(b->objectName());
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(qMin(6, b->width() - 1), b->height() / 2));
    }

    void clickRow()
    {
        QList<ListBox *> lists;
        for (ListBox *l : m_form.findChildren<ListBox *>()) {
            if (l->isVisible() && l->isEnabled())
                lists << l;
        }
        if (lists.isEmpty())
            return clickControl();
        ListBox *list = lists[draw(int(lists.size()))];
        const int row = draw(list->count() + 4) - 1; // also rows that do not exist
        g_events << QStringLiteral("row %1 of %2").arg(row).arg(list->objectName());
        if (row >= 0 && row < list->count()) {
            list->scrollToItem(list->item(row));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
        } else {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, list->viewport()->height() - 1));
        }
    }

    void clickWindow(bool twice)
    {
        const QPoint at(draw(qMax(1, m_form.width())), draw(qMax(1, m_form.height())));
        g_events << QStringLiteral("%1 window at %2,%3").arg(twice ? "double-click" : "click").arg(at.x()).arg(at.y());
        if (twice)
            QTest::mouseDClick(m_form.surface(), Qt::LeftButton, {}, at);
        else
            QTest::mouseClick(m_form.surface(), Qt::LeftButton, {}, at);
    }

    void resize()
    {
        static const QSize sizes[] = {{1, 1}, {10, 10}, {60, 40}, {200, 150}, {783, 605}, {4000, 3000}};
        QSize size = sizes[draw(6)];
        if (draw(3) == 0)
            size = QSize(1 + draw(1600), 1 + draw(1200));
        g_events << QStringLiteral("resize %1x%2").arg(size.width()).arg(size.height());
        m_form.resize(size);
    }

    void jumpClock()
    {
        static const qint64 jumps[] = {1, 999, 1000, 59900, 60000, 61000, 120000, 300000, 3600000, 39600000};
        if (draw(5) == 0) {
            const QTime late(23, 59, 58, draw(1000));
            m_clock.setNow(QDateTime(m_clock.now().date(), late));
            g_events << QStringLiteral("clock to %1").arg(late.toString("HH:mm:ss.zzz"));
        } else {
            const qint64 jump = jumps[draw(10)];
            m_clock.advance(jump);
            g_events << QStringLiteral("clock +%1 ms").arg(jump);
        }
        emit m_timer->Timer();
    }

    Form &m_form;
    ManualClock &m_clock;
    FormTimer *m_timer;
    std::function<QString()> m_invariants;
    std::mt19937 m_engine;
    HostileInput m_input;
};

int envNumber(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

QString outside(const char *what, int value, int low, int high)
{
    return value < low || value > high ? QStringLiteral("%1 = %2").arg(what).arg(value) : QString();
}

} // namespace

class TestMonkey : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void trainer();
    void doloran();
    void pelmar();

private:
    template <class F>
    void runOn(F &form, ManualClock &clock, std::function<QString()> invariants);
    int m_seconds = 5;
    int m_events = 0;
};

void TestMonkey::initTestCase()
{
    AppSetup::installFontSubstitutes();
    m_seconds = envNumber("MONKEY_SECONDS", 5);
    m_events = envNumber("MONKEY_EVENTS", 0);
    g_seed = quint32(envNumber("MONKEY_SEED", int(QDateTime::currentMSecsSinceEpoch() & 0x7fffffff)));
    std::fprintf(stderr, "monkey: seed %u\n", g_seed);
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(dumpEvents);
#endif
}

template <class F>
void TestMonkey::runOn(F &form, ManualClock &clock, std::function<QString()> invariants)
{
    QVERIFY(FormUnderTest::start(form, form.Timer1, {&clock, nullptr, g_seed}));
    Monkey monkey(form, clock, form.Timer1, std::move(invariants));
    const qint64 events = monkey.run(m_seconds, m_events);
    std::fprintf(stderr, "monkey: %s: %lld events, seed %u\n", QTest::currentTestFunction(), events, g_seed);
    QVERIFY(events > 0);
}

void TestMonkey::trainer()
{
    QTemporaryDir dir;
    QFile q(dir.filePath("test.txt")), a(dir.filePath("test1.txt"));
    QVERIFY(q.open(QIODevice::WriteOnly) && a.open(QIODevice::WriteOnly));
    for (int k = 0; k < 20; ++k) {
        q.write("q" + QByteArray::number(k) + "\r\n");
        a.write("a" + QByteArray::number(k % 15) + "\r\n"); // some answers repeat
    }
    q.close();
    a.close();
    ManualClock clock;
    TrainerForm f(dir.path());
    runOn(f, clock, [&f]() {
        const Trainer &s = f.trainer();
        QStringList broken;
        broken << outside("answeredCount", s.answeredCount(), 0, 16)
               << outside("pickedQuestion", s.pickedQuestion(), 0, 20)
               << outside("pickedAnswer", s.pickedAnswer(), 0, 20) << outside("candidate", s.candidate(), 0, 16)
               << outside("correctCount", s.correctCount(), 0, 32767) << outside("errorCount", s.errorCount(), 0, 32767)
               << outside("matchCount", s.matchCount(), 0, 32767);
        for (qint16 flag : {s.questionPicked(), s.answerPicked(), s.controlsShown()})
            broken << outside("flag", flag, -1, 0);
        for (int r = 0; r < Trainer::Rows; ++r) {
            broken << outside("questionMap", s.questionMap()[r], 0, 20)
                   << outside("answerOrder", s.answerOrder()[r], 0, 30) << outside("drawn", s.drawn()[r], 0, 30);
        }
        broken.removeAll(QString());
        return broken.join(QStringLiteral(", "));
    });
}

static QString labInvariants(const LabForm &f)
{
    QStringList broken;
    broken << outside("m", f.arrays().m(), -32768, LabArrays::Bound)
           << outside("n", f.arrays().n(), -32768, LabArrays::Bound);
    if (const StepWindow *w = f.stepWindow(); w && (w->step() < 0 || w->step() > w->steps()))
        broken << QStringLiteral("step outside its run");
    broken.removeAll(QString());
    return broken.join(QStringLiteral(", "));
}

void TestMonkey::doloran()
{
    ManualClock clock;
    DoloranForm f;
    runOn(f, clock, [&f]() { return labInvariants(f); });
}

void TestMonkey::pelmar()
{
    ManualClock clock;
    PelmarForm f;
    runOn(f, clock, [&f]() { return labInvariants(f); });
}

QTEST_MAIN(TestMonkey)
#include "tst_monkey.moc"
