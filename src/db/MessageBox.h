// How the workflows and dialogs show their error boxes: through one small
// interface, so the workflows can be tested without a screen.
#pragma once

// String-table ids of the texts shown.
constexpr unsigned kStrAboutItem = 101;
constexpr unsigned kStrServerUnreachable = 102;
constexpr unsigned kStrCreateFailed = 103;
constexpr unsigned kStrInstallQuestion = 104;
constexpr unsigned kStrInstallCaption = 105;

class IMessageSink {
  public:
    // An application error box (OK button, MB_ICONERROR) with a string-table text.
    virtual void ShowError(unsigned stringId) = 0;

  protected:
    ~IMessageSink() = default;
};

// The sink in use; the program's default shows real message boxes.
IMessageSink& Messages();
// Replaces the sink (tests); null restores the default.
void SetMessageSink(IMessageSink* sink);

// For unattended runs that must not wait on anyone: from here on no box is
// shown, and the caption and text each box would have shown go to the
// debugger output instead.
void UseQuietMessages();
