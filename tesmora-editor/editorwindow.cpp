#include "editorwindow.h"

#include "celldelegate.h"
#include "classsettings.h"
#include "core/russianplural.h"
#include "editcellcommand.h"
#include "folderproblem.h"
#include "giftformat.h"
#include "insertrowcommand.h"
#include "moverowcommand.h"
#include "removerowcommand.h"
#include "replacepairscommand.h"
#include "resultswindow.h"
#include "savejournal.h"
#include "storage/workerthreads.h"
#include "tabletext.h"
#include "topiccatalog.h"
#include "topicimport.h"
#include "topicmodel.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

EditorWindow::EditorWindow(const QString &folder, QWidget *parent)
    : QMainWindow(parent)
    , m_model(new TopicModel(this))
{
    setObjectName(QStringLiteral("editorWindow"));
    setWindowIcon(QIcon(QStringLiteral(":/tesmora-editor/tesmora-editor-32.png")));
    buildCentre();
    buildActions();
    resize(900, 640);
    connect(&m_undo, &QUndoStack::cleanChanged, this, &EditorWindow::showState);
    // What the status bar said of the last step is not true of the next.
    connect(&m_undo, &QUndoStack::indexChanged, statusBar(), &QStatusBar::clearMessage);
    connect(m_model, &TopicModel::cellEdited, this, [this](int row, int column, const QString &text) {
        m_undo.push(new EditCellCommand(m_model, row, column, text));
    });
    openFolder(folder);
    lookAtClassFolders();
}

void EditorWindow::lookAtClassFolders()
{
    // Asked off the window's thread: the folders are on a server that may hang.
    QtConcurrent::run(WorkerThreads::pool(), [] {
        const ClassSettings settings = ClassSettings::load();
        QStringList problems{FolderProblem::ofTopics(settings.topicsFolder()),
                             FolderProblem::ofResults(settings.resultsFolder(), FolderProblem::Need::Read)};
        problems.removeAll(QString());
        return problems;
    }).then(this, [this](const QStringList &problems) {
        m_classProblem = problems.join(QLatin1Char('\n'));
        m_classLine->setText(m_classProblem);
        m_classLine->setVisible(!problems.isEmpty());
    });
}

EditorWindow::~EditorWindow()
{
    // The undo stack goes after this window has become a plain widget; it
    // must not call back into it then.
    disconnect(&m_undo, nullptr, this, nullptr);
}

void EditorWindow::buildCentre()
{
    auto *centre = new QWidget(this);
    auto *layout = new QVBoxLayout(centre);
    m_place = new QLabel(centre);
    m_messages = new QLabel(centre);
    m_messages->setObjectName(QStringLiteral("messages"));
    m_messages->setWordWrap(true);
    m_messages->setStyleSheet(QStringLiteral("color: #a01010;"));
    m_classLine = new QLabel(centre);
    m_classLine->setObjectName(QStringLiteral("classProblem"));
    m_classLine->setWordWrap(true);
    m_classLine->setStyleSheet(m_messages->styleSheet());
    m_classLine->hide();
    auto *hint = new QLabel(QStringLiteral("Режимы тренажёра задают строки 0–16; строки 17–30 (серые) он читает, "
                                           "но не задаёт. Запятая внутри записи сохраняется в кавычках."),
                            centre);
    hint->setWordWrap(true);
    m_table = new QTableView(centre);
    m_table->setObjectName(QStringLiteral("pairs"));
    m_table->setAccessibleName(QStringLiteral("Пары: вопрос и ответ"));
    m_table->setModel(m_model);
    auto *cells = new CellDelegate(m_table);
    m_table->setItemDelegate(cells);
    connect(cells, &CellDelegate::linesPasted, this, &EditorWindow::offerLinesAsRows);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                             | QAbstractItemView::AnyKeyPressed);
    auto *top = new QHBoxLayout;
    top->addWidget(m_place, 1);
    auto *encodingLabel = new QLabel(QStringLiteral("Кодировка файлов:"), centre);
    m_encoding = new QComboBox(centre);
    m_encoding->setObjectName(QStringLiteral("encoding"));
    m_encoding->setAccessibleName(encodingLabel->text());
    // Windows-1251 first: the computers with older copies of the trainer read only it.
    m_encoding->addItem(QStringLiteral("Windows-1251"));
    m_encoding->addItem(QStringLiteral("UTF-8"));
    encodingLabel->setBuddy(m_encoding);
    top->addWidget(encodingLabel);
    top->addWidget(m_encoding);
    layout->addLayout(top);
    for (QWidget *w : std::initializer_list<QWidget *>{m_classLine, m_messages, hint, m_table})
        layout->addWidget(w);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 8);
    setCentralWidget(centre);
}

QAction *EditorWindow::addAction(const QString &name, const QString &text, const QKeySequence &key)
{
    auto *action = new QAction(text, this);
    action->setObjectName(name);
    action->setShortcut(key);
    action->setToolTip(text + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) + QLatin1Char(')'));
    // Insert and Delete belong to the table, so that a cell being edited keeps them.
    action->setShortcutContext(key == QKeySequence(Qt::Key_Insert) || key == QKeySequence(Qt::Key_Delete)
                                   ? Qt::WidgetWithChildrenShortcut
                                   : Qt::WindowShortcut);
    return action;
}

void EditorWindow::buildActions()
{
    QToolBar *bar = addToolBar(QStringLiteral("Действия"));
    bar->setObjectName(QStringLiteral("actions"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QAction *open = addAction(QStringLiteral("open"), QStringLiteral("Открыть…"), QKeySequence(Qt::CTRL | Qt::Key_O));
    QAction *save = addAction(QStringLiteral("save"), QStringLiteral("Сохранить"), QKeySequence(Qt::CTRL | Qt::Key_S));
    QAction *saveAs = addAction(QStringLiteral("saveAs"), QStringLiteral("Сохранить в папку…"),
                                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    QAction *undo = nullptr;
    QAction *redo = nullptr;
    buildUndoActions(undo, redo);
    QAction *add = addAction(QStringLiteral("add"), QStringLiteral("Добавить строку"), QKeySequence(Qt::Key_Insert));
    QAction *remove
        = addAction(QStringLiteral("remove"), QStringLiteral("Удалить строку"), QKeySequence(Qt::Key_Delete));
    QAction *up = addAction(QStringLiteral("up"), QStringLiteral("Выше"), QKeySequence(Qt::CTRL | Qt::Key_Up));
    QAction *down = addAction(QStringLiteral("down"), QStringLiteral("Ниже"), QKeySequence(Qt::CTRL | Qt::Key_Down));
    bar->addActions({open, save, saveAs});
    bar->addSeparator();
    bar->addActions({undo, redo});
    bar->addSeparator();
    bar->addActions({add, remove, up, down});
    // The class's topics and results on a row of their own, so that neither
    // row runs into the overflow menu at the window's usual width.
    addToolBarBreak();
    QToolBar *classBar = addToolBar(QStringLiteral("Класс"));
    classBar->setObjectName(QStringLiteral("class"));
    classBar->setMovable(false);
    classBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QAction *fresh
        = addAction(QStringLiteral("newTopic"), QStringLiteral("Новая тема"), QKeySequence(Qt::CTRL | Qt::Key_N));
    QAction *topic
        = addAction(QStringLiteral("openTopic"), QStringLiteral("Тема…"), QKeySequence(Qt::CTRL | Qt::Key_T));
    QAction *saveTopic = addAction(QStringLiteral("saveTopic"), QStringLiteral("Сохранить как тему…"), QKeySequence());
    QAction *results
        = addAction(QStringLiteral("results"), QStringLiteral("Результаты…"), QKeySequence(Qt::CTRL | Qt::Key_R));
    QAction *import = addAction(QStringLiteral("import"), QStringLiteral("Импорт…"), QKeySequence());
    QAction *exportGift = addAction(QStringLiteral("exportGift"), QStringLiteral("Экспорт в GIFT…"), QKeySequence());
    classBar->addActions({fresh, topic, saveTopic, import, exportGift, results});
    connect(import, &QAction::triggered, this, &EditorWindow::importTopic);
    connect(exportGift, &QAction::triggered, this, &EditorWindow::exportGift);
    // Rows copied from a spreadsheet or a word processor's table; a cell
    // being edited takes its own paste first.
    QAction *paste = addAction(QStringLiteral("paste"), QStringLiteral("Вставить строки"), QKeySequence::Paste);
    paste->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_table->addAction(paste);
    connect(paste, &QAction::triggered, this, [this] {
        const QModelIndex at = m_table->currentIndex();
        pasteText(QGuiApplication::clipboard()->text(), at.isValid() ? at.row() : int(m_model->pairs().size()),
                  std::max(0, at.column()));
    });
    connect(fresh, &QAction::triggered, this, [this] {
        if (settleChanges())
            newTopic();
    });
    connect(topic, &QAction::triggered, this, &EditorWindow::chooseTopic);
    connect(saveTopic, &QAction::triggered, this, &EditorWindow::saveAsTopic);
    connect(results, &QAction::triggered, this, &EditorWindow::showResults);
    m_table->addActions({add, remove});
    for (QToolBar *b : {bar, classBar}) {
        for (QAction *a : b->actions()) {
            if (QWidget *button = b->widgetForAction(a))
                button->setAccessibleName(a->text());
        }
    }

    connect(open, &QAction::triggered, this, &EditorWindow::chooseFolder);
    connect(save, &QAction::triggered, this, &EditorWindow::save);
    connect(saveAs, &QAction::triggered, this, &EditorWindow::saveElsewhere);
    connect(add, &QAction::triggered, this, &EditorWindow::addRow);
    connect(remove, &QAction::triggered, this, &EditorWindow::removeRow);
    connect(up, &QAction::triggered, this, [this] { moveCurrent(-1); });
    connect(down, &QAction::triggered, this, [this] { moveCurrent(1); });
}

void EditorWindow::buildUndoActions(QAction *&undo, QAction *&redo)
{
    // The buttons keep their short captions, so that a long step does not
    // push the others off the toolbar; the step itself is in the tooltip.
    undo = addAction(QStringLiteral("undo"), QStringLiteral("Отменить"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo = addAction(QStringLiteral("redo"), QStringLiteral("Повторить"),
                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(undo, &QAction::triggered, &m_undo, &QUndoStack::undo);
    connect(redo, &QAction::triggered, &m_undo, &QUndoStack::redo);
    connect(&m_undo, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(&m_undo, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    connect(&m_undo, &QUndoStack::undoTextChanged, undo, [undo](const QString &step) { describeStep(undo, step); });
    connect(&m_undo, &QUndoStack::redoTextChanged, redo, [redo](const QString &step) { describeStep(redo, step); });
}

void EditorWindow::describeStep(QAction *action, const QString &step)
{
    // "Отменить правку строки 16 (Ctrl+Z)": the steps are named to follow the verb.
    action->setToolTip(
        QStringLiteral("%1 %2 (%3)").arg(action->text(), step, action->shortcut().toString(QKeySequence::NativeText)));
}

QAction *EditorWindow::action(const QString &name) const
{
    return findChild<QAction *>(name);
}

TopicFile::Encoding EditorWindow::encoding() const
{
    return m_encoding->currentIndex() == 1 ? TopicFile::Encoding::Utf8 : TopicFile::Encoding::Windows1251;
}

void EditorWindow::setEncoding(TopicFile::Encoding encoding)
{
    m_encoding->setCurrentIndex(encoding == TopicFile::Encoding::Utf8 ? 1 : 0);
}

int EditorWindow::currentRow() const
{
    return m_table->currentIndex().isValid() ? m_table->currentIndex().row() : -1;
}

void EditorWindow::selectRow(int row)
{
    if (row >= 0 && row < m_model->rowCount())
        m_table->setCurrentIndex(m_model->index(row, 0));
}

void EditorWindow::addRow()
{
    const int rows = int(m_model->pairs().size());
    const int row = currentRow() < 0 ? rows : qBound(0, currentRow() + 1, rows);
    m_undo.push(new InsertRowCommand(m_model, row));
    selectRow(row);
}

void EditorWindow::removeRow()
{
    const int row = currentRow();
    if (row < 0 || row >= m_model->pairs().size())
        return;
    m_undo.push(new RemoveRowCommand(m_model, row));
    selectRow(qMin(row, int(m_model->pairs().size()) - 1));
}

void EditorWindow::moveCurrent(int by)
{
    const int row = currentRow();
    const int to = row + by;
    const int rows = int(m_model->pairs().size());
    if (row < 0 || row >= rows || to < 0 || to >= rows)
        return;
    m_undo.push(new MoveRowCommand(m_model, row, to));
    selectRow(to);
}

void EditorWindow::openFolder(const QString &folder)
{
    const QString interrupted = settleInterruptedSave(folder);
    const TopicFile::Loaded loaded = TopicFile::read(folder);
    m_folder = folder;
    m_stamp = TopicFile::stamp(folder);
    QSet<int> marked = loaded.markedRows;
    // A pair cut in two by a crash is never shown as if it were whole.
    for (int row = 0; !interrupted.isEmpty() && row < loaded.pairs.size(); ++row)
        marked.insert(row);
    m_model->reset(loaded.pairs, marked);
    m_undo.clear();
    setEncoding(loaded.encoding);
    showMessages(interrupted.isEmpty() ? loaded.messages : QStringList{interrupted} + loaded.messages);
    showState();
}

void EditorWindow::showMessages(QStringList messages)
{
    if (QFileInfo(m_folder).isDir() && !QFileInfo(m_folder).isWritable())
        messages << closedFolderHint();
    m_messages->setText(messages.join(QLatin1Char('\n')));
    m_messages->setVisible(!messages.isEmpty());
}

QString EditorWindow::settleInterruptedSave(const QString &folder)
{
    const SaveJournal::Finding finding = SaveJournal::inspect(folder);
    std::optional<QString> error;
    switch (finding.state) {
    case SaveJournal::State::None:
        return QString();
    case SaveJournal::State::Replaced:
        error = SaveJournal::finish(folder);
        return error.value_or(QString());
    case SaveJournal::State::Stale:
        error = SaveJournal::discard(folder);
        return error.value_or(QString());
    case SaveJournal::State::Interrupted:
        break;
    }
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Редактор темы"),
                    finding.description
                        + QStringLiteral("\n\n«Закончить сохранение» поставит на место новую пару, «Вернуть прежнюю "
                                         "пару» — ту, что была до сохранения."),
                    QMessageBox::Cancel, this);
    QPushButton *finish
        = finding.canFinish ? box.addButton(QStringLiteral("Закончить сохранение"), QMessageBox::AcceptRole) : nullptr;
    QPushButton *revert
        = finding.canRevert ? box.addButton(QStringLiteral("Вернуть прежнюю пару"), QMessageBox::AcceptRole) : nullptr;
    QPushButton *leave = !finish && !revert
        ? box.addButton(QStringLiteral("Оставить файлы как есть"), QMessageBox::DestructiveRole)
        : nullptr;
    box.exec();
    if (box.clickedButton() && box.clickedButton() == finish)
        error = SaveJournal::finish(folder);
    else if (box.clickedButton() && box.clickedButton() == revert)
        error = SaveJournal::revert(folder);
    else if (box.clickedButton() && box.clickedButton() == leave)
        error = SaveJournal::discard(folder);
    else
        error = finding.description
            + QStringLiteral(" Пока вы не решите (откройте папку заново), сохранить в неё нельзя.");
    return error.value_or(QString());
}

void EditorWindow::newTopic()
{
    statusBar()->clearMessage();
    m_folder.clear();
    m_stamp = {};
    m_model->reset({}, {});
    m_undo.clear();
    showMessages({});
    showState();
}

void EditorWindow::showState()
{
    const QString place
        = m_folder.isEmpty() ? QStringLiteral("новая тема, ещё не сохранена") : QDir::toNativeSeparators(m_folder);
    m_place->setText(QStringLiteral("Папка темы: %1").arg(place));
    setWindowTitle(QStringLiteral("Редактор темы — %1[*]").arg(place));
    setWindowModified(!m_undo.isClean());
}

bool EditorWindow::settleChanges()
{
    if (m_undo.isClean())
        return true;
    const auto answer
        = QMessageBox::question(this, windowTitle(), QStringLiteral("Сохранить изменения темы?"),
                                QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save)
        return m_folder.isEmpty() ? saveAsTopic() : saveTo(m_folder);
    return answer == QMessageBox::Discard;
}

void EditorWindow::chooseFolder()
{
    if (!settleChanges())
        return;
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Папка темы"), m_folder);
    if (!folder.isEmpty())
        openFolder(folder);
}

void EditorWindow::chooseTopic()
{
    if (!settleChanges())
        return;
    // The same list, in the same order, as the trainer offers its pupils.
    const QList<TopicCatalog::Topic> topics = TopicCatalog::find(ClassSettings::load().topicsFolder());
    QStringList names;
    for (const TopicCatalog::Topic &t : topics)
        names << t.name;
    bool chosen = false;
    const QString name
        = QInputDialog::getItem(this, QStringLiteral("Выбор темы"), QStringLiteral("Тема:"), names, 0, false, &chosen);
    if (!chosen)
        return;
    for (const TopicCatalog::Topic &t : topics) {
        if (t.name == name)
            openFolder(t.folder);
    }
}

QString EditorWindow::topicsFolderForSaving()
{
    // The class's shared folder when there is one; the account's own only
    // when there is none, or the teacher agrees, knowing no pupil sees it.
    QString classTopics = ClassSettings::load().topicsFolder();
    if (classTopics.isEmpty())
        return TopicCatalog::userFolder();
    const QString problem = FolderProblem::ofTopics(classTopics, FolderProblem::Need::Write);
    if (problem.isEmpty())
        return classTopics;
    QMessageBox box(QMessageBox::Warning, windowTitle(),
                    problem
                        + QStringLiteral("\n\nТему можно сохранить в вашей папке %1, но ученики её там не увидят.")
                              .arg(QDir::toNativeSeparators(TopicCatalog::userFolder())),
                    QMessageBox::Cancel, this);
    QPushButton *own = box.addButton(QStringLiteral("Сохранить в своей папке"), QMessageBox::AcceptRole);
    box.exec();
    return box.clickedButton() == own ? TopicCatalog::userFolder() : QString();
}

QString EditorWindow::topicNameProblem(const QString &name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("Введите название темы.");
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || name.startsWith(QLatin1Char('.')))
        return QStringLiteral("Название темы не может содержать / или \\ и начинаться с точки.");
    if (name.size() > 100)
        return QStringLiteral("Название темы длиннее 100 знаков.");
    return QString();
}

bool EditorWindow::saveAsTopic()
{
    const QString base = topicsFolderForSaving();
    if (base.isEmpty())
        return false;
    // A topic's own name is offered; a folder that is no topic of that
    // place (the trainer's own, say) gives none.
    const QFileInfo current(m_folder);
    QString proposed
        = !m_folder.isEmpty() && QDir(current.absolutePath()) == QDir(base) ? current.fileName() : QString();
    for (;;) {
        bool given = false;
        const QString name = QInputDialog::getText(this, QStringLiteral("Сохранить как тему"),
                                                   QStringLiteral("Название темы (сохраняется в %1):").arg(base),
                                                   QLineEdit::Normal, proposed, &given)
                                 .trimmed();
        proposed = name;
        if (!given)
            return false;
        if (const QString problem = topicNameProblem(name); !problem.isEmpty()) {
            QMessageBox::warning(this, windowTitle(), problem);
            continue;
        }
        const QString folder = base + QLatin1Char('/') + name;
        if (QFileInfo(folder + QLatin1Char('/') + TopicFile::QuestionsName).exists()
            && QMessageBox::question(this, windowTitle(),
                                     QStringLiteral("Тема «%1» уже есть в %2. Заменить её?").arg(name, base))
                != QMessageBox::Yes)
            continue;
        const bool made = !QFileInfo(folder).isDir();
        if (const QString why = TopicSave::makeFolder(folder); !why.isEmpty()) {
            QMessageBox::warning(this, windowTitle(), why);
            return false;
        }
        if (saveTo(folder))
            return true;
        // A save not made leaves no empty topic folder behind.
        if (made)
            QDir().rmdir(folder);
        return false;
    }
}

void EditorWindow::showResults()
{
    const ClassSettings settings = ClassSettings::load();
    QString folder = settings.resultsFolder();
    if (folder.isEmpty())
        folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Папка результатов"));
    if (folder.isEmpty())
        return;
    auto *window = new ResultsWindow(folder, settings.topicsFolder(), this);
    window->setWindowFlag(Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

void EditorWindow::save()
{
    if (m_folder.isEmpty())
        saveAsTopic();
    else
        saveTo(m_folder);
}

bool EditorWindow::saveElsewhere()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Сохранить тему в папку"), m_folder);
    return !folder.isEmpty() && saveTo(folder);
}

EditorWindow::OnDisk EditorWindow::confirmChangedOnDisk(const QString &folder)
{
    if (folder != m_folder || TopicFile::stamp(folder) == m_stamp)
        return OnDisk::Save;
    QMessageBox box(QMessageBox::Warning, windowTitle(),
                    QStringLiteral("Файлы темы в папке %1 изменились после того, как вы её открыли: их мог "
                                   "сохранить кто-то ещё. Перезаписать их вашей темой?")
                        .arg(QDir::toNativeSeparators(folder)),
                    QMessageBox::Cancel, this);
    QPushButton *overwrite = box.addButton(QStringLiteral("Перезаписать"), QMessageBox::DestructiveRole);
    QPushButton *reload = box.addButton(QStringLiteral("Загрузить заново"), QMessageBox::ResetRole);
    QPushButton *elsewhere = box.addButton(QStringLiteral("Сохранить в другую папку…"), QMessageBox::AcceptRole);
    box.exec();
    if (box.clickedButton() == overwrite)
        return OnDisk::Save;
    if (box.clickedButton() == reload)
        openFolder(m_folder);
    if (box.clickedButton() == elsewhere && saveElsewhere())
        return OnDisk::SavedElsewhere;
    return OnDisk::Stop;
}

bool EditorWindow::confirmFewPairs()
{
    const int pairs = int(m_model->pairs().size());
    if (pairs >= TopicFile::AskedPairs)
        return true;
    return QMessageBox::warning(this, windowTitle(),
                                QStringLiteral("Пар в теме: %1. Режимам тренажёра нужно %2: недостающие строки "
                                               "он покажет пустыми. Всё равно сохранить?")
                                    .arg(pairs)
                                    .arg(TopicFile::AskedPairs),
                                QMessageBox::Save | QMessageBox::Cancel, QMessageBox::Cancel)
        == QMessageBox::Save;
}

bool EditorWindow::handleRefusal(const TopicFile::Refusal &refusal)
{
    selectRow(refusal.row);
    QMessageBox box(QMessageBox::Warning, windowTitle(), refusal.message + QStringLiteral("\nНичего не записано."),
                    QMessageBox::Cancel, this);
    QPushButton *utf8
        = refusal.encoding ? box.addButton(QStringLiteral("Сохранить в UTF-8"), QMessageBox::AcceptRole) : nullptr;
    box.exec();
    if (utf8 && box.clickedButton() == utf8) {
        setEncoding(TopicFile::Encoding::Utf8);
        return true; // try again
    }
    return false;
}

bool EditorWindow::saveTo(const QString &folder)
{
    m_table->setFocus(); // an open cell editor hands its text in first
    while (const auto refusal = TopicFile::check(m_model->pairs(), encoding())) {
        if (!handleRefusal(*refusal))
            return false;
    }
    if (!confirmFewPairs())
        return false;
    if (const OnDisk onDisk = confirmChangedOnDisk(folder); onDisk != OnDisk::Save)
        return onDisk == OnDisk::SavedElsewhere;
    const TopicSave::Result result = TopicFile::save(folder, m_model->pairs(), encoding());
    if (!result.saved) {
        offerOtherFolder(result.message);
        return false;
    }
    // What was written, read back as the trainer reads it.
    const TopicFile::Loaded back = TopicFile::read(folder);
    const QVector<TopicPair> &shown = m_model->pairs();
    for (int row = 0; row < shown.size(); ++row) {
        if (!(back.pairs.value(row) == shown[row])) {
            offerOtherFolder(QStringLiteral("Строка %1 прочитана из сохранённых файлов не так, как показана. "
                                            "Прежняя пара лежит рядом в файлах .bak.")
                                 .arg(row));
            return false;
        }
    }
    m_folder = folder;
    m_stamp = TopicFile::stamp(folder);
    m_model->setMarks(back.markedRows);
    showMessages(back.messages);
    // Undo goes on past a save: a mistaken save can be undone and saved again.
    m_undo.setClean();
    showState();
    statusBar()->showMessage(QStringLiteral("Сохранено: %1 пар, %2").arg(shown.size()).arg(m_encoding->currentText()));
    if (!result.message.isEmpty())
        QMessageBox::warning(this, windowTitle(), result.message);
    return true;
}

void EditorWindow::offerOtherFolder(const QString &error)
{
    QString text = error;
    if (!QFileInfo(m_folder).isWritable())
        text += QStringLiteral("\n\n") + closedFolderHint();
    QMessageBox box(QMessageBox::Critical, windowTitle(), text, QMessageBox::Cancel, this);
    QPushButton *elsewhere = box.addButton(QStringLiteral("Сохранить в другую папку…"), QMessageBox::AcceptRole);
    box.exec();
    if (box.clickedButton() == elsewhere)
        saveElsewhere();
}

QString EditorWindow::closedFolderHint() const
{
    const QString hint = QStringLiteral("Папка %1 закрыта для записи (так установлен тренажёр для всех). Сохраните "
                                        "тему под своим названием кнопкой «Сохранить как тему…»")
                             .arg(QDir::toNativeSeparators(m_folder));
    // The pupils are offered it only where they look: the class folder that serves.
    return hint
        + (m_classProblem.isEmpty() ? QStringLiteral(": тренажёр предложит её ученикам среди других тем.")
                                    : QStringLiteral(". ") + m_classProblem);
}

void EditorWindow::closeEvent(QCloseEvent *event)
{
    if (settleChanges())
        event->accept();
    else
        event->ignore();
}

int EditorWindow::pasteText(const QString &text, int row, int column)
{
    QString body = text;
    while (body.endsWith(QLatin1Char('\n')) || body.endsWith(QLatin1Char('\r')))
        body.chop(1);
    if (body.isEmpty())
        return 0;
    const QVector<QStringList> rows = TableText::rows(body, QLatin1Char('\t'));
    const bool twoColumns = std::any_of(rows.cbegin(), rows.cend(), [](const QStringList &r) { return r.size() > 1; });
    const int start = std::clamp(row, 0, int(m_model->pairs().size()));
    if (rows.size() == 1 && !twoColumns) {
        // One line into one cell, as the cell's own paste would put it.
        if (start < m_model->pairs().size())
            m_undo.push(new EditCellCommand(m_model, start, column, TopicFile::clean(rows.front().value(0))));
        return 1;
    }
    // Two columns: questions and answers from the row on; one column: the
    // current column's cells, the other side as it was.
    QVector<TopicPair> pairs = m_model->pairs().mid(start, rows.size());
    pairs.resize(rows.size());
    for (qsizetype k = 0; k < rows.size(); ++k) {
        const QStringList &cells = rows[k];
        if (twoColumns)
            pairs[k] = {TopicFile::clean(cells.value(0)), TopicFile::clean(cells.value(1))};
        else
            (column == 0 ? pairs[k].question : pairs[k].answer) = TopicFile::clean(cells.value(0));
    }
    // A spreadsheet's cell may hold quotes and line breaks; the trainer's files cannot.
    ImportedPairs fitted{pairs, {}, {}};
    TopicImport::fitForTrainer(fitted);
    const int count = int(std::min<qsizetype>(rows.size(), m_model->pairs().size() - start));
    m_undo.push(new ReplacePairsCommand(m_model, start, count, fitted.pairs,
                                        QStringLiteral("вставка %1 строк с %2").arg(pairs.size()).arg(start)));
    selectRow(start);
    QStringList said
        = QStringList{QStringLiteral("Вставлено строк: %1, с %2-й").arg(pairs.size()).arg(start)} + fitted.changed;
    if (m_model->pairs().size() > TopicFile::MaxPairs)
        said << QStringLiteral("Строки с %1-й тренажёр не читает: удалите их или сохраните отдельной темой")
                    .arg(TopicFile::MaxPairs);
    statusBar()->showMessage(said.join(QStringLiteral(". ")));
    return int(pairs.size());
}

QString EditorWindow::linesText(qsizetype count)
{
    return RussianPlural::count(count, "строка", "строки", "строк");
}

void EditorWindow::offerLinesAsRows(const QModelIndex &cell, const QString &text)
{
    const qsizetype lines = TableText::rows(text, QLatin1Char('\t')).size();
    QMessageBox box(QMessageBox::Question, windowTitle(),
                    QStringLiteral("В буфере обмена %1 текста: в одну клетку их не вставить. Вставить их "
                                   "строками таблицы, начиная со строки %2?")
                        .arg(linesText(lines))
                        .arg(cell.row()),
                    QMessageBox::Cancel, this);
    QPushButton *asRows = box.addButton(QStringLiteral("Вставить строками"), QMessageBox::AcceptRole);
    box.exec();
    // The cell's line is gone: the window and its table take the keys again
    // (Ctrl+Z above all).
    activateWindow();
    m_table->setFocus();
    if (box.clickedButton() == asRows && cell.isValid())
        pasteText(text, cell.row(), cell.column());
}

void EditorWindow::importTopic()
{
    if (!settleChanges())
        return;
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Импорт темы"), QString(),
        QStringLiteral("Таблицы и вопросы Moodle (*.csv *.tsv *.txt *.gift);;Все файлы (*)"));
    if (!path.isEmpty())
        importFile(path);
}

bool EditorWindow::importFile(const QString &path)
{
    QString error;
    const ImportedPairs imported = TopicImport::read(path, &error);
    if (imported.pairs.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), error);
        return false;
    }
    // A new topic, not yet saved anywhere: saving it asks its name.
    newTopic();
    m_undo.push(new ReplacePairsCommand(m_model, 0, 0, imported.pairs,
                                        QStringLiteral("импорт из %1").arg(QFileInfo(path).fileName())));
    QString said = QStringLiteral("Взято пар: %1.").arg(imported.pairs.size());
    if (imported.pairs.size() > TopicFile::MaxPairs)
        said += QStringLiteral(" Тренажёр читает не больше %1: лишние строки удалите или сохраните их отдельной темой.")
                    .arg(TopicFile::MaxPairs);
    QMessageBox box(QMessageBox::Information, windowTitle(), said, QMessageBox::Ok, this);
    if (!imported.skipped.isEmpty() || !imported.changed.isEmpty()) {
        QStringList lines = imported.changed;
        if (!imported.skipped.isEmpty())
            lines.prepend(QStringLiteral("Не взято: %1 (подробности ниже).").arg(imported.skipped.size()));
        box.setInformativeText(lines.join(QLatin1Char('\n')));
        box.setDetailedText(imported.skipped.join(QLatin1Char('\n')));
    }
    box.exec();
    return true;
}

void EditorWindow::exportGift()
{
    m_table->setFocus(); // an open cell editor hands its text in first
    const QString title = m_folder.isEmpty() ? QStringLiteral("Тема") : QFileInfo(m_folder).fileName();
    const QString path
        = QFileDialog::getSaveFileName(this, QStringLiteral("Экспорт в GIFT"), title + QStringLiteral(".gift"),
                                       QStringLiteral("Вопросы Moodle (*.gift)"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const QByteArray text = GiftFormat::write(m_model->pairs(), title).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("Не удалось записать %1: %2").arg(path, file.errorString()));
        return;
    }
    statusBar()->showMessage(QStringLiteral("Записано для Moodle: %1").arg(QDir::toNativeSeparators(path)));
}
