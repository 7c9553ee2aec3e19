/*
 * vcdsend: sends MCI command strings in a Wine prefix, one a line (arguments, or stdin without arguments),
 * and prints each answer: "ok TEXT" or "error N TEXT" with MCI's own description. All commands run in one
 * process, so a device opened by one line is still open for the next.
 */
#include <windows.h>
#include <mmsystem.h>

#include <stdio.h>
#include <string.h>

static void Send(const char* command)
{
    char answer[256] = "", text[256] = "";
    MCIERROR error = mciSendStringA(command, answer, sizeof(answer), NULL);
    if (error == 0) {
        printf("ok %s\n", answer);
    } else {
        if (!mciGetErrorStringA(error, text, sizeof(text))) text[0] = 0;
        printf("error %lu %s\n", error, text);
    }
    fflush(stdout);
}

int main(int argc, char** argv)
{
    if (argc > 1) {
        for (int i = 1; i < argc; i++) Send(argv[i]);
        return 0;
    }
    char line[512];
    while (fgets(line, sizeof(line), stdin)) {
        line[strcspn(line, "\r\n")] = 0;
        if (line[0]) Send(line);
    }
    return 0;
}
