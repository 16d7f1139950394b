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

// What a create checks before it changes anything. %1 the file's name.
constexpr unsigned kStrScriptNotReady = 109;
// The Quenlor key, its view: missing or not writable.
constexpr unsigned kStrKeyNotWritable = 110;
// %1 the name typed, refused before any statement.
constexpr unsigned kStrNameRefused = 111;
// Oracle: %1 the user, %2 the server; the schema is never emptied.
constexpr unsigned kStrSchemaHoldsTables = 112;
// /check: %1 the database, %2 the server.
constexpr unsigned kStrCheckWouldCreate = 113;
constexpr unsigned kStrCheckWouldReplace = 114;
constexpr unsigned kStrCheckExists = 115;
// The switches, for /?.
constexpr unsigned kStrUsage = 116;
// %1 batches refused of %2.
constexpr unsigned kStrBatchesRefused = 117;
// %1 the script file: it decrypts to something that is not a script.
constexpr unsigned kStrScriptDamaged = 118;
// The main dialog: %1 the field whose text is longer than its 31 bytes.
constexpr unsigned kStrValueTooLong = 119;
// After a create: %1 the database, %2 where its leftover data files now lie.
constexpr unsigned kStrLeftoversKept = 122;

// A run refused before it starts: another one holds the machine, or the
// switches do not fit the parser's working copy, or (%1 why) the command
// line asks for what cannot be done as asked.
constexpr unsigned kStrAlreadyRunning = 120;
constexpr unsigned kStrCommandLineTooLong = 121;
constexpr unsigned kStrCommandLineRefused = 123;

// The unattended patch (/patch) failed, or would (/patch /check).
constexpr unsigned kStrPatchFailed = 124;
// /patch /check: %1 the database, %2 the server.
constexpr unsigned kStrPatchCheckPasses = 131;

// An existing database: %1 the database (the user, on Oracle), %2 the server.
// Yes/No: the program's own unfinished database, to be made again.
constexpr unsigned kStrReplaceUnfinished = 132;
// Yes/No after No to replacing: keep it, save its settings and patch it.
constexpr unsigned kStrKeepQuestion = 133;
// Yes/No on Oracle: the user's schema holds tables; keep and patch it.
constexpr unsigned kStrKeepOracleSchema = 134;
// /check /keep: it would be kept, its settings saved and patched.
constexpr unsigned kStrCheckWouldKeep = 135;

// The program's own files, checked at start (125-129 are kept for them).
// %1 a path that others than the administrators may change, %2 who: the
// start is refused.
constexpr unsigned kStrProgramFilesOpen = 125;
// %1 the /log: folder others may change, %2 who: the start is refused.
constexpr unsigned kStrLogFolderOpen = 126;
// After a create: %1 the OpenSSL folder (or program) others may change, %2 who.
constexpr unsigned kStrOpenSslFolderOpen = 127;
// After a create: %1 who besides the administrators may read the Quenlor key.
constexpr unsigned kStrPasswordReadable = 128;
// %1 the run log's path, or its folder, that is a link or a file's second
// name: the start is refused.
constexpr unsigned kStrLogIsLink = 129;

// Texts put into a string-table text where it says %1 and %2: 8-bit, in the
// ANSI code page, as the records hold them.
struct BoxInserts {
    const char* first = nullptr;
    const char* second = nullptr;
};

// The icon of an OK box that reports no failure.
enum class NoticeKind { Warning, Information };

class IMessageSink {
  public:
    // An application error box (OK button, MB_ICONERROR) with a string-table text.
    virtual void ShowError(unsigned stringId, const BoxInserts& inserts) = 0;
    // A warning with Yes and No buttons, No the default one; true for Yes.
    virtual bool AskYesNo(unsigned stringId, const BoxInserts& inserts) = 0;
    // An OK box with a warning or an information icon; shown as an error
    // box by sinks that tell no icons apart.
    virtual void ShowNotice(NoticeKind, unsigned stringId, const BoxInserts& inserts) {
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
