// What the text file loader needs of the form that hosts it.
#pragma once

#include "platform/afx/cstring.h"

class LoaderHost {
public:
    virtual ~LoaderHost() = default;

    // The stored text and the stored file name (the text box and the file box).
    virtual CString& StoredText() = 0;
    virtual CString& StoredFile() = 0;
    // Copies the check boxes and the printer choice into their stored values,
    // so that a refresh shows them as the user left them.
    virtual void ReadChoices() = 0;
    // Shows every stored value in its control.
    virtual void RefreshForm() = 0;
};
