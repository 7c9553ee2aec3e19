// The one way to the drive: MCI command strings, and reading their answers.
#ifndef DORVANE_MCI_H
#define DORVANE_MCI_H

#include <windows.h>

enum {
    MCI_ANSWER_SIZE = 20,         // most status queries
    MCI_MEDIA_ANSWER_SIZE = 50,   // the poller's "media present"
    MCI_TRACK_ANSWER_SIZE = 100   // the track lines' queries
};

// Sends `command`; 1 on success. The answer buffer, when given, is emptied
// first, so a failed query reads as empty. With `report` a failure is shown
// to the user, in MCI's own words when `useMciText` is set.
int SendMciCommand(const char* command, char* answer, UINT answerSize, HWND notifyWindow, int report, int useMciText);

// A yes/no answer ("media present"): upper-cased in place, yes only for
// exactly "TRUE".
int MciAnswerIsTrue(char* answer);

// Appends characters [from, from + count) of `answer` to `text` (`size`
// bytes), stopping early at the answer's end: a short answer shows what it
// has and is never read past.
void AppendMciField(char* text, size_t size, const char* answer, int from, int count);

#endif
