#pragma once

#include "topicfile.h"

#include <QMainWindow>
#include <QUndoStack>

class QAction;
class QComboBox;
class QLabel;
class QTableView;
class TopicModel;

// The topic editor's window: the pairs side by side as the trainer will pair
// them, what the reader made of the files above them, and the toolbar.
class EditorWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit EditorWindow(const QString &folder, QWidget *parent = nullptr);
    ~EditorWindow() override;

    QString folder() const { return m_folder; }
    TopicModel *model() const { return m_model; }
    QTableView *table() const { return m_table; }
    QLabel *messages() const { return m_messages; }
    QLabel *classLine() const { return m_classLine; }
    QAction *action(const QString &name) const;

    TopicFile::Encoding encoding() const;
    void setEncoding(TopicFile::Encoding encoding);

    void openFolder(const QString &folder);
    // An empty table that belongs to no folder yet: saving asks its name.
    void newTopic();
    // False when nothing was written.
    bool saveTo(const QString &folder);
    // Lines copied from a spreadsheet (tab between the columns) from row
    // on, as one undo step; the rows put in.
    int pasteText(const QString &text, int row, int column);
    // A topic read from a table or GIFT file, as a new topic not yet saved.
    bool importFile(const QString &path);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildActions();
    void buildCentre();
    void lookAtClassFolders();
    QAction *addAction(const QString &name, const QString &text, const QKeySequence &key);
    void chooseFolder();
    void chooseTopic();
    void importTopic();
    void exportGift();
    void offerLinesAsRows(const QModelIndex &cell, const QString &text);
    // "1 строка", "3 строки", "17 строк".
    static QString linesText(qsizetype count);
    bool saveAsTopic();
    void showResults();
    QString topicsFolderForSaving();
    static QString topicNameProblem(const QString &name);
    void save();
    bool saveElsewhere();
    bool confirmFewPairs();
    enum class OnDisk { Save, Stop, SavedElsewhere };
    OnDisk confirmChangedOnDisk(const QString &folder);
    QString settleInterruptedSave(const QString &folder);
    void showMessages(QStringList messages);
    bool handleRefusal(const TopicFile::Refusal &refusal);
    void offerOtherFolder(const QString &error);
    QString closedFolderHint() const;
    bool settleChanges();
    int currentRow() const;
    void selectRow(int row);
    void addRow();
    void removeRow();
    void moveCurrent(int by);
    void buildUndoActions(QAction *&undo, QAction *&redo);
    static void describeStep(QAction *action, const QString &step);
    void showState();

    QString m_folder;
    QByteArray m_stamp; // the files as they were when read or saved
    TopicModel *m_model;
    QUndoStack m_undo; // every change of the table, marked clean where it was read or saved
    QTableView *m_table = nullptr;
    QComboBox *m_encoding = nullptr;
    QLabel *m_messages = nullptr;
    QLabel *m_place = nullptr;
    QLabel *m_classLine = nullptr; // what is wrong with the class folders
    QString m_classProblem;
};
