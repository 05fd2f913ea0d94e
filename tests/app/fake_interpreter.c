/* Stands in for the command interpreter (COMSPEC) in the window's help test
   on Windows: appends its arguments, the command line after the program's
   own name, as one line to the file TARVELO_FAKE_INTERPRETER_RECORD names. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

int main(void) {
    const char* line = GetCommandLineA();
    /* Skip the program's name, quoted or not, and the blanks after it. */
    if (*line == '"') {
        ++line;
        while (*line != '\0' && *line != '"')
            ++line;
        if (*line == '"')
            ++line;
    } else {
        while (*line != '\0' && *line != ' ' && *line != '\t')
            ++line;
    }
    while (*line == ' ' || *line == '\t')
        ++line;
    const char* record = getenv("TARVELO_FAKE_INTERPRETER_RECORD");
    FILE* file = record != NULL ? fopen(record, "ab") : NULL;
    if (file == NULL)
        return 1;
    fprintf(file, "%s\n", line);
    return fclose(file) == 0 ? 0 : 1;
}
