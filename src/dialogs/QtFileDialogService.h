#pragma once
#include "platform/FileDialogService.h"

// Shows requests as QFileDialogs (the desktop's own dialog where Qt has one).
class QtFileDialogService : public FileDialogService {
protected:
    FileDialogResult exec(const FileDialogRequest &request) override;
};
