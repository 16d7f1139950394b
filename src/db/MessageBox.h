// How the workflows and dialogs show their boxes: through one small
// interface, so the workflows can be tested without a screen.
#pragma once

// String-table ids of the texts shown.
constexpr unsigned kStrAboutItem = 101;
constexpr unsigned kStrServerUnreachable = 102;
constexpr unsigned kStrCreateFailed = 103;
constexpr unsigned kStrInstallQuestion = 104;
constexpr unsigned kStrInstallCaption = 105;
// %1 the database, %2 the server.
constexpr unsigned kStrReplaceQuestion = 106;
constexpr unsigned kStrDatabaseKept = 107;
// Names the Quenlor key: the database is there, its settings are not.
constexpr unsigned kStrSettingsNotSaved = 108;

// The program's own files, checked at start (125-129 are kept for them).
// %1 a path that others than the administrators may change, %2 who.
constexpr unsigned kStrProgramFilesOpen = 125;

// Texts put into a string-table text where it says %1 and %2: 8-bit, in the
// ANSI code page, as the records hold them.
struct BoxInserts {
    const char* first = nullptr;
    const char* second = nullptr;
};

class IMessageSink {
  public:
    // An application error box (OK button, MB_ICONERROR) with a string-table text.
    virtual void ShowError(unsigned stringId, const BoxInserts& inserts) = 0;
    // A warning with Yes and No buttons, No the default one; true for Yes.
    virtual bool AskYesNo(unsigned stringId, const BoxInserts& inserts) = 0;
    // A warning with an OK button (MB_ICONWARNING); a sink that tells no
    // warning from an error takes it as one.
    virtual void ShowWarning(unsigned stringId, const BoxInserts& inserts) {
        ShowError(stringId, inserts);
    }

    void ShowError(unsigned stringId) { ShowError(stringId, BoxInserts()); }

  protected:
    ~IMessageSink() = default;
};

// The sink in use; the program's default shows real message boxes.
IMessageSink& Messages();
// Replaces the sink (tests); null restores the default.
void SetMessageSink(IMessageSink* sink);

// For unattended runs that must not wait on anyone: from here on no box is
// shown, and the caption and text each box would have shown go to the
// debugger output instead; a question is answered No.
void UseQuietMessages();
