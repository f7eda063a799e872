#include "editorwindow.h"
#include "topiccatalog.h"
#include "topicmodel.h"
#include "topictables.h"
#include "trainerform.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <QTimer>
#include <QToolBar>
#include <sys/stat.h>

// The editor driven as a teacher drives it: clicks on the table and the toolbar.
class TestTopicEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void openShowsThePairs();
    void editAddUndoSave();
    void refusalWritesNothing();
    void changedOnDisk_data();
    void changedOnDisk();
    void undoAfterSave();
    void interruptedSaveAtOpen_data();
    void interruptedSaveAtOpen();
    void savedAsTopic_data();
    void savedAsTopic();
    void newTopicAsksItsName();
    void classFolderMissing_data();
    void classFolderMissing();
    void pastedRows_data();
    void pastedRows();
    void linesIntoOneCell_data();
    void linesIntoOneCell();
    void importedTopic();
    void importExportWithoutWindow();

private:
    // The next message box gets this button pressed; its text is kept.
    void answerNextBox(const QString &button, QString *shown, int tries = 100);
    QByteArray bytesOf(const char *name);
    void click(EditorWindow &window, const char *action);
    void editCell(EditorWindow &window, int row, int column, const QString &text);

    QTemporaryDir m_dir;
    QTemporaryDir m_home; // the settings' folders are looked up once per process
};

void TestTopicEditor::initTestCase()
{
    qputenv("XDG_DATA_HOME", m_home.filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_CONFIG_DIRS", m_home.filePath(QStringLiteral("etc")).toUtf8());
}

void TestTopicEditor::init()
{
    // A fresh copy of the shipped topic for every test.
    for (const QString &name : QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(m_dir.filePath(name));
    for (const char *name : {"test.txt", "test1.txt"})
        QVERIFY(QFile::copy(QStringLiteral(TESMORA_DATA_DIR "/") + QLatin1String(name),
                            m_dir.filePath(QLatin1String(name))));
}

void TestTopicEditor::click(EditorWindow &window, const char *action)
{
    QWidget *button = nullptr;
    for (QToolBar *bar : window.findChildren<QToolBar *>())
        button = button ? button : bar->widgetForAction(window.action(QLatin1String(action)));
    QVERIFY(button && button->isVisible()); // on a toolbar row, not in an overflow menu
    QTest::mouseClick(button, Qt::LeftButton);
}

void TestTopicEditor::editCell(EditorWindow &window, int row, int column, const QString &text)
{
    QTableView *table = window.table();
    table->scrollTo(table->model()->index(row, column));
    const QRect cell = table->visualRect(table->model()->index(row, column));
    // A real double-click, as the window system delivers it, opens the cell.
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {}, table->viewport()->mapTo(&window, cell.center()));
    QLineEdit *editor = nullptr; // the open one: closed editors wait to be deleted
    for (QLineEdit *open : table->viewport()->findChildren<QLineEdit *>())
        editor = open->isVisible() ? open : editor;
    QVERIFY(editor);
    if (!editor)
        QFAIL("no cell editor");
    editor->selectAll();
    // Key by key with its text, as a Russian keyboard layout delivers it.
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(editor, &press);
        QApplication::sendEvent(editor, &release);
    }
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the delegate hands the text in from the event loop
}

void TestTopicEditor::answerNextBox(const QString &button, QString *shown, int tries)
{
    QTimer::singleShot(tries < 100 ? 10 : 0, this, [this, button, shown, tries] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box && tries > 0)
            return answerNextBox(button, shown, tries - 1); // a box the window asks in a moment
        QVERIFY(box);
        *shown = box->text();
        for (QAbstractButton *b : box->buttons()) {
            if (b->text() == button)
                return b->click();
        }
        box->reject();
    });
}

QByteArray TestTopicEditor::bytesOf(const char *name)
{
    QFile file(m_dir.filePath(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestTopicEditor::openShowsThePairs()
{
    EditorWindow window(m_dir.path());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.model()->rowCount(), 18);
    QCOMPARE(window.model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Вопрос"));
    QCOMPARE(window.model()->cell(7, 0), QStringLiteral("Что такое массив, если говорить коротко?"));
    QVERIFY(window.messages()->isHidden());
    QCOMPARE(window.encoding(), TopicFile::Encoding::Windows1251);
    // Row 17 is read but never asked: it looks different from row 16.
    const auto colour
        = [&window](int row) { return window.model()->data(window.model()->index(row, 0), Qt::BackgroundRole); };
    QVERIFY(!colour(16).isValid());
    QVERIFY(colour(17).isValid());
}

void TestTopicEditor::editAddUndoSave()
{
    EditorWindow window(m_dir.path());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QString question = QStringLiteral("Что такое ключ, если говорить о сортировке?");
    const QString answer = QStringLiteral("Поле, по которому упорядочивают");

    window.table()->setCurrentIndex(window.model()->index(17, 0));
    click(window, "add");
    QCOMPARE(window.model()->rowCount(), 19);
    editCell(window, 18, 0, question);
    editCell(window, 18, 1, QStringLiteral("  ") + answer + QStringLiteral("  "));
    QCOMPARE(window.model()->cell(18, 0), question);
    QCOMPARE(window.model()->cell(18, 1), answer); // blanks at the ends dropped
    QVERIFY(window.isWindowModified());

    click(window, "undo");
    QCOMPARE(window.model()->cell(18, 1), QString());
    click(window, "redo");
    QCOMPARE(window.model()->cell(18, 1), answer);

    // Moving a row takes its pair along; undo puts it back.
    const QString fifth = window.model()->cell(5, 0);
    window.table()->setCurrentIndex(window.model()->index(5, 0));
    click(window, "down");
    QCOMPARE(window.model()->cell(6, 0), fifth);
    QCOMPARE(window.table()->currentIndex().row(), 6);
    click(window, "undo");
    QCOMPARE(window.model()->cell(5, 0), fifth);

    click(window, "save");
    QVERIFY(!window.isWindowModified());
    QVERIFY(QFile::exists(m_dir.filePath("test.txt.bak")));
    QFile saved(m_dir.filePath("test.txt"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    QVERIFY(bytes.endsWith("\r\n"));
    QVERIFY(bytes.contains("\"\xD7\xF2\xEE")); // the question with its comma, quoted, in Windows-1251

    // The trainer pairs them as the table showed them.
    TrainerForm tesmora(m_dir.path());
    tesmora.load();
    QCOMPARE(tesmora.trainer().questions()[18], question);
    QCOMPARE(tesmora.trainer().answers()[18], answer);
    QCOMPARE(tesmora.trainer().questions()[7], window.model()->cell(7, 0));
    QCOMPARE(tesmora.trainer().answers()[7], window.model()->cell(7, 1));
}

void TestTopicEditor::refusalWritesNothing()
{
    EditorWindow window(m_dir.path());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QFile before(m_dir.filePath("test1.txt"));
    QVERIFY(before.open(QIODevice::ReadOnly));
    const QByteArray old = before.readAll();
    editCell(window, 2, 1, QStringLiteral("Ответ с «ёлочками» и знаком ü"));
    // The refusal names the row and offers UTF-8; the test declines.
    QString shown;
    QTimer::singleShot(0, this, [&shown] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        shown = box->text();
        box->reject();
    });
    click(window, "save");
    QVERIFY2(shown.contains(QStringLiteral("Строка 2")), qPrintable(shown));
    QVERIFY(window.isWindowModified());
    QFile after(m_dir.filePath("test1.txt"));
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), old);
}

void TestTopicEditor::changedOnDisk_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("overwritten");
    QTest::addColumn<QString>("row2"); // what the table shows afterwards
    QTest::newRow("overwrite") << "Перезаписать" << true << "Мой ответ";
    QTest::newRow("reload") << "Загрузить заново" << false << "Ответ коллеги";
    QTest::newRow("cancel") << "Отмена" << false << "Мой ответ";
}

void TestTopicEditor::changedOnDisk()
{
    QFETCH(QString, button);
    QFETCH(bool, overwritten);
    QFETCH(QString, row2);
    EditorWindow window(m_dir.path());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    editCell(window, 2, 1, QStringLiteral("Мой ответ"));
    // A colleague saves the same topic meanwhile.
    TopicFile::Loaded theirs = TopicFile::read(m_dir.path());
    theirs.pairs[2].answer = QStringLiteral("Ответ коллеги");
    QVERIFY(TopicFile::save(m_dir.path(), theirs.pairs, TopicFile::Encoding::Windows1251).saved);
    const QByteArray theirBytes = bytesOf("test1.txt");
    QString shown;
    answerNextBox(button, &shown);
    click(window, "save");
    QVERIFY2(shown.contains(QStringLiteral("изменились")), qPrintable(shown));
    QCOMPARE(bytesOf("test1.txt") != theirBytes, overwritten);
    QCOMPARE(window.model()->cell(2, 1), row2);
    QCOMPARE(window.isWindowModified(), !overwritten && button != "Загрузить заново");
}

void TestTopicEditor::undoAfterSave()
{
    EditorWindow window(m_dir.path());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QByteArray before = bytesOf("test1.txt");
    const QString old = window.model()->cell(3, 1);
    editCell(window, 3, 1, QStringLiteral("По ошибке"));
    // The step reads right after the verb, and the button keeps its short caption.
    QCOMPARE(window.action("undo")->toolTip(), QStringLiteral("Отменить правку строки 3 (Ctrl+Z)"));
    QCOMPARE(window.action("undo")->text(), QStringLiteral("Отменить"));
    click(window, "save");
    QVERIFY(!window.isWindowModified());
    // The mistaken save is undone and saved again.
    click(window, "undo");
    QCOMPARE(window.model()->cell(3, 1), old);
    QVERIFY(window.isWindowModified());
    click(window, "save");
    QCOMPARE(bytesOf("test1.txt"), before);
    click(window, "redo");
    QCOMPARE(window.model()->cell(3, 1), QStringLiteral("По ошибке"));
}

void TestTopicEditor::interruptedSaveAtOpen_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("whole"); // a whole pair in the table afterwards
    QTest::newRow("finish") << "Закончить сохранение" << true;
    QTest::newRow("previous pair") << "Вернуть прежнюю пару" << true;
    QTest::newRow("decide later") << "Отмена" << false;
}

void TestTopicEditor::interruptedSaveAtOpen()
{
    QFETCH(QString, button);
    QFETCH(bool, whole);
    const QVector<TopicPair> shipped = TopicFile::read(m_dir.path()).pairs;
    // A save killed between its two renames: new questions, old answers.
    QCOMPARE(TopicTables::saveKilledAt(QStringLiteral(TOPICSAVE_CHILD), m_dir.path(), "renameat", 2), 137);
    QString shown;
    answerNextBox(button, &shown);
    EditorWindow window(m_dir.path());
    QVERIFY2(shown.contains(QStringLiteral("пары перепутаны")), qPrintable(shown));
    const QVector<TopicPair> pairs = window.model()->pairs();
    QCOMPARE(pairs == shipped || pairs == TopicTables::newPairs(), whole);
    if (button == "Закончить сохранение")
        QCOMPARE(pairs, TopicTables::newPairs());
    if (whole)
        return;
    // Left undecided, the window says so above rows all marked, and saving there is refused.
    QVERIFY(window.messages()->text().contains(QStringLiteral("пары перепутаны")));
    QVERIFY(window.model()->data(window.model()->index(0, 0), Qt::BackgroundRole).isValid());
    answerNextBox("Отмена", &shown);
    QVERIFY(!window.saveTo(m_dir.path()));
    QVERIFY2(shown.contains(QStringLiteral("не закончено")), qPrintable(shown));
}

void TestTopicEditor::savedAsTopic_data()
{
    QTest::addColumn<bool>("classFolder");
    QTest::newRow("the account's own topics") << false;
    QTest::newRow("the class topics folder") << true;
}

// A topic saved under a name is where the trainer finds it, without an administrator.
void TestTopicEditor::savedAsTopic()
{
    QFETCH(bool, classFolder);
    QTemporaryDir &home = m_home;
    for (const char *folder : {"data", "config", "class"})
        QVERIFY(QDir(home.filePath(QLatin1String(folder))).removeRecursively());
    const QString classTopics = home.filePath(QStringLiteral("class"));
    if (classFolder) {
        QVERIFY(QDir().mkpath(classTopics) && QDir().mkpath(home.filePath(QStringLiteral("config/tesmora"))));
        QFile conf(home.filePath(QStringLiteral("config/tesmora/class.conf")));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("[class]\ntopics=" + classTopics.toUtf8() + "\n");
        // Shared by the teachers' group: what is saved there stays theirs to correct.
        QCOMPARE(::chmod(QFile::encodeName(classTopics).constData(), 02775), 0);
    }
    EditorWindow window(m_dir.path());
    window.show();
    QStringList names = {QStringLiteral("../Выход"), QStringLiteral("Физика 7Б")};
    QString refused;
    QStringList offered;
    // The first name is refused with a message, the second taken.
    std::function<void()> answer = [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *input = qobject_cast<QInputDialog *>(modal)) {
            offered << input->textValue();
            input->setTextValue(names.takeFirst());
            input->accept();
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            refused = box->text();
            box->accept();
        }
        if (!names.isEmpty() || refused.isEmpty())
            QTimer::singleShot(0, this, answer);
    };
    QTimer::singleShot(0, this, answer);
    click(window, "saveTopic");
    QVERIFY(refused.contains(QStringLiteral("не может содержать")));
    // No name is made up from a folder that is no topic; a refused one is offered again to mend.
    QCOMPARE(offered, QStringList({QString(), QStringLiteral("../Выход")}));
    const QString expected = (classFolder ? classTopics : home.filePath(QStringLiteral("data/tesmora/topics")))
        + QStringLiteral("/Физика 7Б");
    const std::optional<TopicCatalog::Topic> found
        = TopicCatalog::named(QStringLiteral("Физика 7Б"), classFolder ? classTopics : QString());
    QVERIFY(found);
    QCOMPARE(found->folder, expected);
    QFile saved(expected + QStringLiteral("/test.txt"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), bytesOf("test.txt"));
    QVERIFY(!QDir(home.filePath(QStringLiteral("Выход"))).exists());
    if (classFolder) {
        struct stat st
        {
        };
        QCOMPARE(::stat(QFile::encodeName(expected).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 02070), 02070);
        QCOMPARE(::stat(QFile::encodeName(expected + QStringLiteral("/test.txt")).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 0060), 0060);
    }
}

// A new topic starts as an empty table that belongs to no folder; saving it asks its name.
void TestTopicEditor::newTopicAsksItsName()
{
    EditorWindow window(m_dir.path());
    window.show();
    click(window, "newTopic");
    QCOMPARE(window.model()->rowCount(), 0);
    QVERIFY(window.folder().isEmpty());
    QString asked;
    QTimer::singleShot(0, this, [&asked] {
        if (auto *input = qobject_cast<QInputDialog *>(QApplication::activeModalWidget())) {
            asked = input->labelText();
            input->reject();
        }
    });
    click(window, "save");
    QVERIFY2(asked.startsWith(QStringLiteral("Название темы")), qPrintable(asked));
    QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("test.txt")))); // the topic left stays as it was
}

void TestTopicEditor::classFolderMissing_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("saved"); // in the account's own topics
    QTest::newRow("saved where only the teacher sees it") << "Сохранить в своей папке" << true;
    QTest::newRow("not saved") << "Отмена" << false;
}

// A mistyped class folder is said in the window, and a topic saved as the
// class's goes nowhere else without the teacher's word.
void TestTopicEditor::classFolderMissing()
{
    QFETCH(QString, button);
    QFETCH(bool, saved);
    QTemporaryDir &home = m_home;
    QVERIFY(QDir(home.filePath(QStringLiteral("data"))).removeRecursively());
    QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("config/tesmora"))));
    QFile conf(home.filePath(QStringLiteral("config/tesmora/class.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write("[class]\ntopics=" + home.filePath(QStringLiteral("tpoics")).toUtf8() + "\n");
    conf.close();
    EditorWindow window(m_dir.path());
    window.show();
    const QString problem = QStringLiteral("Папка тем класса не найдена: ") + home.filePath(QStringLiteral("tpoics"));
    QTRY_COMPARE(window.classLine()->text(), problem);
    QVERIFY(window.classLine()->isVisible());
    QString shown;
    answerNextBox(button, &shown);
    QTimer::singleShot(50, this, [] {
        if (auto *input = qobject_cast<QInputDialog *>(QApplication::activeModalWidget())) {
            input->setTextValue(QStringLiteral("Физика 7Б"));
            input->accept();
        }
    });
    click(window, "saveTopic");
    QVERIFY2(shown.startsWith(problem) && shown.contains(QStringLiteral("ученики её там не увидят")),
             qPrintable(shown));
    QCOMPARE(QFile::exists(home.filePath(QStringLiteral("data/tesmora/topics/Физика 7Б/test.txt"))), saved);
    QVERIFY(!QDir(home.filePath(QStringLiteral("tpoics"))).exists());
    QVERIFY(QFile::remove(conf.fileName()));
}

using Pairs = QVector<TopicPair>;

void TestTopicEditor::pastedRows_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<int>("row"); // the current one; the column is the question's unless said
    QTest::addColumn<int>("column");
    QTest::addColumn<Pairs>("first"); // the table's first rows after the paste
    QTest::addColumn<int>("rows");
    const Pairs shipped = TopicFile::read(QStringLiteral(TESMORA_DATA_DIR)).pairs;
    const TopicPair a{QStringLiteral("Массив"), QStringLiteral("набор элементов")};
    const TopicPair b{QStringLiteral("Индекс"), QStringLiteral("номер «элемента»")}; // as the trainer reads it
    QTest::newRow("two columns over the first rows")
        << "Массив\tнабор элементов\r\nИндекс\t\"номер \"\"элемента\"\"\"\r\n"
        << 0 << 0 << Pairs{a, b} << int(shipped.size());
    QTest::newRow("past the end: rows added")
        << " Массив \tнабор элементов\nИндекс\tномер \"элемента\"\n"
        << int(shipped.size()) - 1 << 1 << shipped.mid(0, shipped.size() - 1) + Pairs{a, b} << int(shipped.size()) + 1;
    QTest::newRow("one column: the answers alone")
        << "один\nдва\n"
        << 0 << 1 << Pairs{{shipped[0].question, QStringLiteral("один")}, {shipped[1].question, QStringLiteral("два")}}
        << int(shipped.size());
    QTest::newRow("a spreadsheet's cell with a line break: one row")
        << "\"Что такое\nмассив\"\tнабор\n"
        << 0 << 0 << Pairs{{QStringLiteral("Что такое массив"), "набор"}} << int(shipped.size());
}

// Ctrl+V on the table puts rows copied from a spreadsheet in; one undo takes them out.
void TestTopicEditor::pastedRows()
{
    QFETCH(QString, clipboard);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(Pairs, first);
    QFETCH(int, rows);
    EditorWindow window(m_dir.path());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const Pairs before = window.model()->pairs();
    window.table()->setCurrentIndex(window.model()->index(row, column));
    QGuiApplication::clipboard()->setText(clipboard);
    QTest::keyClick(window.table(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(window.model()->rowCount(), rows);
    QCOMPARE(window.model()->pairs().mid(0, first.size()), first);
    QVERIFY(window.isWindowModified());
    QTest::keyClick(window.table(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(window.model()->pairs(), before);
}

void TestTopicEditor::linesIntoOneCell_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("asRows");
    QTest::addColumn<bool>("menu"); // the cell's context menu, not Ctrl+V
    QTest::newRow("pasted as rows") << "Вставить строками" << true << false;
    QTest::newRow("not pasted") << "Отмена" << false << false;
    QTest::newRow("the menu's paste, as rows") << "Вставить строками" << true << true;
}

// Lines pasted into one open cell are never run into one entry: offered as rows.
void TestTopicEditor::linesIntoOneCell()
{
    QFETCH(QString, button);
    QFETCH(bool, asRows);
    QFETCH(bool, menu);
    EditorWindow window(m_dir.path());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const Pairs before = window.model()->pairs();
    QTableView *table = window.table();
    const QRect cell = table->visualRect(window.model()->index(2, 0));
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {}, table->viewport()->mapTo(&window, cell.center()));
    QLineEdit *editor = nullptr;
    for (QLineEdit *open : table->viewport()->findChildren<QLineEdit *>())
        editor = open->isVisible() ? open : editor;
    QVERIFY(editor);
    QGuiApplication::clipboard()->setText(QStringLiteral("первый\tone\nвторой\ttwo\nтретий\tthree"));
    QString shown;
    answerNextBox(button, &shown);
    if (menu) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, editor->rect().center(),
                                editor->mapToGlobal(editor->rect().center()));
        QCoreApplication::sendEvent(editor, &event);
        QMenu *popup = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            popup = qobject_cast<QMenu *>(w) && w->isVisible() ? qobject_cast<QMenu *>(w) : popup;
        QVERIFY(popup);
        const QString paste = QCoreApplication::translate("QLineEdit", "&Paste");
        QAction *chosen = nullptr;
        for (QAction *action : popup->actions())
            chosen = action->text().section(QLatin1Char('\t'), 0, 0) == paste ? action : chosen;
        QVERIFY(chosen);
        chosen->trigger();
    } else {
        QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    }
    QTRY_VERIFY(!shown.isEmpty());
    QVERIFY2(shown.contains(QStringLiteral("3 строки текста")) && shown.contains(QStringLiteral("со строки 2")),
             qPrintable(shown));
    QCoreApplication::processEvents();
    Pairs expected = before;
    if (asRows) {
        expected[2] = {QStringLiteral("первый"), QStringLiteral("one")};
        expected[3] = {QStringLiteral("второй"), QStringLiteral("two")};
        expected[4] = {QStringLiteral("третий"), QStringLiteral("three")};
    }
    QCOMPARE(window.model()->pairs(), expected);
    QCOMPARE(window.isWindowModified(), asRows);
    // Ctrl+Z, where the keys now go, takes the rows out again.
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window, Qt::Key_Z,
                    Qt::ControlModifier);
    QCOMPARE(window.model()->pairs(), before);
}

// A GIFT file becomes a new topic, not yet saved; what was left out is listed.
void TestTopicEditor::importedTopic()
{
    EditorWindow window(m_dir.path());
    window.show();
    QString said;
    QString details;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        said = box->text() + QLatin1Char('|') + box->informativeText();
        details = box->detailedText();
        box->accept();
    });
    QVERIFY(window.importFile(QStringLiteral(TOPICIMPORT_DATA "/all-kinds.gift")));
    QVERIFY2(said.startsWith(QStringLiteral("Взято пар: 25.|Не взято: 7 (подробности ниже).")), qPrintable(said));
    QVERIFY(details.contains(QStringLiteral("«Сочинение»: эссе, нет ответа")));
    QCOMPARE(window.model()->rowCount(), 25);
    QVERIFY(window.folder().isEmpty());
    QVERIFY(window.isWindowModified());
    QVERIFY(!TopicFile::check(window.model()->pairs(), TopicFile::Encoding::Utf8)); // savable as it stands
}

// --import then --export-gift, and that export imported again: the same pairs saved.
void TestTopicEditor::importExportWithoutWindow()
{
    QTemporaryDir dir;
    const auto run = [](const QStringList &args, QByteArray *out = nullptr) {
        QProcess p;
        p.start(QStringLiteral(TESMORA_EDITOR), args);
        p.waitForFinished(20000);
        if (out)
            *out = p.readAllStandardOutput();
        return p.exitCode();
    };
    const QString first = dir.filePath(QStringLiteral("Массивы"));
    QCOMPARE(run({QStringLiteral("--import"), QStringLiteral(TOPICIMPORT_DATA "/all-kinds.gift"),
                  QStringLiteral("--to"), first}),
             0);
    QByteArray gift;
    QCOMPARE(run({QStringLiteral("--export-gift"), first}, &gift), 0);
    QVERIFY(gift.startsWith("::Массивы 1::"));
    QFile file(dir.filePath(QStringLiteral("back.gift")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(gift) == gift.size());
    file.close();
    const QString back = dir.filePath(QStringLiteral("back"));
    QCOMPARE(run({QStringLiteral("--import"), file.fileName(), QStringLiteral("--to"), back}), 0);
    const Pairs saved = TopicFile::read(first).pairs;
    QCOMPARE(saved.size(), 25);
    QCOMPARE(TopicFile::read(back).pairs, saved);
    QCOMPARE(run({QStringLiteral("--import"), dir.filePath(QStringLiteral("none.csv")), QStringLiteral("--to"), back}),
             2);
}

QTEST_MAIN(TestTopicEditor)
#include "tst_topiceditor.moc"
