#pragma once
// What the editor's entry area does with the test, between the panels and
// the controller: add the question typed into it, show a question picked
// from the list for editing, store or remove the one being edited. Each step
// reads the panels, asks the controller, and raises the system's messages
// when a question cannot be read, shown or stored.

#include "document/QuestionKind.h"

#include <QObject>
#include <QString>

class EditorController;
class MediaPreviewPanel;
class QLabel;
class QuestionEntryPanel;
class QuestionListPanel;

class QuestionEntryFlow : public QObject {
    Q_OBJECT

public:
    QuestionEntryFlow(EditorController &controller, QuestionEntryPanel &entry, QuestionListPanel &list,
                      MediaPreviewPanel &media, QLabel &number, QObject *parent = nullptr);

    // "Add This Question": the typed question of the chosen type.
    void add();
    // The list's question `listIndex` (from 0) into the entry area, for
    // editing; asks first when a typed question would be lost.
    void pick(int listIndex);
    // "Save This Question" and "Remove This Question".
    void update();
    void remove();
    // A type option: its frame on screen, the media preview emptied.
    void showType(QuestionKind type);

    bool AddMultipleChoice() { return addEntered(QuestionKind::MultipleChoice); }
    bool AddTrueFalse() { return addEntered(QuestionKind::TrueFalse); }
    bool LoadMultipleChoice(const QString &record) { return load(QuestionKind::MultipleChoice, record); }
    bool LoadTrueFalse(const QString &record) { return load(QuestionKind::TrueFalse, record); }
    // `position` counts from 0: -1 when no question is picked.
    bool UpdateMultipleChoice(int position) { return updateEdited(QuestionKind::MultipleChoice, position); }
    bool UpdateTrueFalse(int position) { return updateEdited(QuestionKind::TrueFalse, position); }

private:
    bool addEntered(QuestionKind type);
    bool load(QuestionKind type, const QString &record);
    bool updateEdited(QuestionKind type, int position);
    void focusQuestionPicker();

    EditorController &m_controller;
    QuestionEntryPanel &m_entry;
    QuestionListPanel &m_list;
    MediaPreviewPanel &m_media;
    QLabel &m_number;
};
