#pragma once
// Reads the editor's unsaved work into an EditorSnapshot and puts a snapshot
// back, through the editor's public operations and its named controls (the
// same names the tests address). Used by the recovery copy only.

#include "document/RecoverySnapshot.h"

class frmCreate;

namespace EditorFields {
EditorSnapshot capture(const frmCreate &editor);

// Shows the snapshot as the editor's test: the questions, the title and
// class/teacher line, the file name in the caption (remembered for Save),
// and the entry area as it was, including a question being edited. For an
// editor that has just started.
void restore(frmCreate &editor, const EditorSnapshot &work);
}
