#include "app/Text.h"

int CopyText(char* target, size_t size, const char* source)
{
    if (size == 0) return 0;
    size_t i = 0;
    for (; i + 1 < size && source[i] != '\0'; ++i) target[i] = source[i];
    target[i] = '\0';
    return source[i] == '\0';
}

int AppendText(char* target, size_t size, const char* source)
{
    size_t length = 0;
    while (length < size && target[length] != '\0') ++length;
    if (length == size) return 0;
    return CopyText(target + length, size - length, source);
}
